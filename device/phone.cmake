# The phone's services: its message database, the MAPI-shaped message store over it, the
# emulated network, and the device libraries sms.dll, cellcore.dll and phone.dll that programs
# load by name.
brevalo_library(brevalo_phone
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/phone_database.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mapi_memory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mapi_entry_id.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mapi_properties.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mapi_objects.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mapi_session.cpp
    ${CMAKE_CURRENT_LIST_DIR}/network_faults.cpp
    ${CMAKE_CURRENT_LIST_DIR}/network_session.cpp
    ${CMAKE_CURRENT_LIST_DIR}/phone_library_device.cpp
  DEPS brevalo_device SQLite::SQLite3)

# The device libraries: build/lib/sms.so, cellcore.so and phone.so, which phonesim init copies
# to \Windows\sms.dll, cellcore.dll and phone.dll. Only their entry points are exported; the
# static code inside stays private, so it never meets the loading program's own copy.
function(brevalo_phone_library target name)
  add_library(${target} SHARED ${ARGN} ${CMAKE_CURRENT_LIST_DIR}/phone_library_export.cpp)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE brevalo_phone brevalo_event_log)
  target_link_options(${target} PRIVATE -Wl,--exclude-libs,ALL -Wl,--no-undefined)
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${name} PREFIX "" SUFFIX ".so"
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
endfunction()

brevalo_phone_library(brevalo_sms_library sms ${CMAKE_CURRENT_LIST_DIR}/sms_library.cpp)
brevalo_phone_library(brevalo_cellcore_library cellcore
  ${CMAKE_CURRENT_LIST_DIR}/cellcore_library.cpp)
brevalo_phone_library(brevalo_phone_library phone ${CMAKE_CURRENT_LIST_DIR}/phone_library.cpp)

brevalo_test(phone_database_test LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/phone_database_test.cpp
  DEPS brevalo_phone brevalo_kernel_testing)

brevalo_test(mapi_test LABEL unit
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/mapi_memory_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mapi_session_test.cpp
  DEPS brevalo_phone brevalo_kernel_testing)

brevalo_test(phone_libraries_test LABEL unit
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/network_faults_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sms_library_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cellcore_library_test.cpp
  DEPS brevalo_phone brevalo_event_log brevalo_kernel_testing dl)
add_dependencies(phone_libraries_test
  brevalo_sms_library brevalo_cellcore_library brevalo_phone_library)
