# COM activation of in-process servers and module loading by name.
brevalo_library(brevalo_com
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/guid.cpp
    ${CMAKE_CURRENT_LIST_DIR}/module_loader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/com_runtime.cpp
  DEPS brevalo_device ${CMAKE_DL_LIBS})

