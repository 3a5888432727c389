# The device basics: code pages, time, random keys, device paths, the registry and the device
# properties kept in it.
brevalo_library(brevalo_device
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/code_page.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf8_codec.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_case.cpp
    ${CMAKE_CURRENT_LIST_DIR}/system_time.cpp
    ${CMAKE_CURRENT_LIST_DIR}/random_key.cpp
    ${CMAKE_CURRENT_LIST_DIR}/device_paths.cpp
    ${CMAKE_CURRENT_LIST_DIR}/device_folder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registry_tree.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registry_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_replace.cpp
    ${CMAKE_CURRENT_LIST_DIR}/device_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/device_file_copy.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shortcut_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/device_program.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/date_picture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/device_properties.cpp)

brevalo_test(device_basics_test LABEL unit
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/code_page_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/system_time_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/device_paths_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/device_folder_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registry_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/date_picture_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shortcut_file_test.cpp
  DEPS brevalo_device brevalo_kernel_testing)
