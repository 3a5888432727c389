# Named kernel objects (mutexes, events, mappings) shared by the processes of one device, and the
# device's event log.
brevalo_library(brevalo_kernel
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/kernel_names.cpp
    ${CMAKE_CURRENT_LIST_DIR}/robust_lock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shared_segment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/named_mutex.cpp
    ${CMAKE_CURRENT_LIST_DIR}/named_event.cpp
    ${CMAKE_CURRENT_LIST_DIR}/named_mapping.cpp
  DEPS brevalo_device Threads::Threads rt)

brevalo_library(brevalo_event_log
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/event_log.cpp
  DEPS brevalo_device nlohmann_json::nlohmann_json)

# Throw-away devices and forked children for tests that cross processes; tests only.
add_library(brevalo_kernel_testing STATIC ${CMAKE_CURRENT_LIST_DIR}/kernel_test_support.cpp)
target_include_directories(brevalo_kernel_testing PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(brevalo_kernel_testing PUBLIC brevalo_device)

brevalo_test(kernel_objects_test LABEL unit
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/kernel_names_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/named_mutex_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/named_event_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/named_mapping_test.cpp
  DEPS brevalo_kernel brevalo_kernel_testing)

brevalo_test(event_log_test LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/event_log_test.cpp
  DEPS brevalo_event_log brevalo_kernel_testing)
