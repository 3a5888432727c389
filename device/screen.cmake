# The screen's remote control (request protocol, line server, client) and the device's window
# directory: Qt-free, so that phonesim and the end-to-end tests drive the screen without Qt.
brevalo_library(brevalo_screen_remote
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/screen_remote_keys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/screen_remote_protocol.cpp
    ${CMAKE_CURRENT_LIST_DIR}/screen_remote_server.cpp
    ${CMAKE_CURRENT_LIST_DIR}/screen_remote_client.cpp
    ${CMAKE_CURRENT_LIST_DIR}/screen_remote_outline.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_directory.cpp
  DEPS brevalo_device nlohmann_json::nlohmann_json)

brevalo_test(screen_remote_test LABEL unit
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/screen_remote_protocol_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_directory_test.cpp
  DEPS brevalo_screen_remote brevalo_kernel_testing)
