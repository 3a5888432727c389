# The contacts class of the phone: build/lib/contacts.so, which phonesim init copies to
# \Windows\contacts.dll and registers under HKEY_CLASSES_ROOT.
brevalo_phone_library(brevalo_contacts_server contacts ${CMAKE_CURRENT_LIST_DIR}/contacts_server.cpp)
target_link_libraries(brevalo_contacts_server PRIVATE brevalo_contacts)

brevalo_test(contacts_server_test LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/contacts_server_test.cpp
  DEPS brevalo_com brevalo_contacts brevalo_kernel_testing)
target_compile_definitions(contacts_server_test PRIVATE
  BREVALO_CONTACTS_SERVER="$<TARGET_FILE:brevalo_contacts_server>")
add_dependencies(contacts_server_test brevalo_contacts_server)
