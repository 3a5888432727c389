# COM activation of in-process servers and module loading by name.
brevalo_library(brevalo_com
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/guid.cpp
    ${CMAKE_CURRENT_LIST_DIR}/module_loader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/com_runtime.cpp
    ${CMAKE_CURRENT_LIST_DIR}/home_plugin_host.cpp
  DEPS brevalo_device ${CMAKE_DL_LIBS})

# Two tiny shared objects the tests install on a throw-away device: an in-process server of one
# class, and a plain library with one entry point and no COM exports. They include only headers,
# as any server built for the device would.
add_library(brevalo_com_test_server SHARED ${CMAKE_CURRENT_LIST_DIR}/com_test_server.cpp)
target_include_directories(brevalo_com_test_server PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(brevalo_com_test_server PRIVATE ${CMAKE_DL_LIBS})

add_library(brevalo_com_test_module SHARED ${CMAKE_CURRENT_LIST_DIR}/com_test_module.cpp)
target_include_directories(brevalo_com_test_module PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(brevalo_com_test_module PRIVATE ${CMAKE_DL_LIBS})

brevalo_test(com_test LABEL unit
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/guid_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/com_ptr_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/module_loader_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/com_runtime_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/home_plugin_host_test.cpp
  DEPS brevalo_com brevalo_kernel_testing Threads::Threads)
target_compile_definitions(com_test PRIVATE
  BREVALO_COM_TEST_SERVER="$<TARGET_FILE:brevalo_com_test_server>"
  BREVALO_COM_TEST_MODULE="$<TARGET_FILE:brevalo_com_test_module>")
add_dependencies(com_test brevalo_com_test_server brevalo_com_test_module)
