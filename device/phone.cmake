# The phone's services: its message database, the MAPI-shaped message store over it, and the
# device libraries sms.dll, cellcore.dll and phone.dll that programs load by name.
brevalo_library(brevalo_phone
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/phone_database.cpp
  DEPS brevalo_device SQLite::SQLite3)

brevalo_test(phone_database_test LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/phone_database_test.cpp
  DEPS brevalo_phone brevalo_kernel_testing)
