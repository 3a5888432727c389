# The shell's notifications to the home screen.
brevalo_library(brevalo_shell
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/home_screen_shell.cpp
  DEPS brevalo_event_log)
