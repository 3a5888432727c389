# The phone's messaging service: rule clients activated through COM, incoming SMS put into the
# SMS store and offered to them, and the request socket through which phonesim's commands
# reach the running service. The contact list in vCard form lives here too, beside the store.
brevalo_library(brevalo_service
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/service_request.cpp
    ${CMAKE_CURRENT_LIST_DIR}/service_endpoint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/messaging_service.cpp
    ${CMAKE_CURRENT_LIST_DIR}/service_host.cpp
  DEPS brevalo_com brevalo_phone brevalo_event_log brevalo_screen_remote)

brevalo_library(brevalo_contacts
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/vcard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/phone_contacts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/contacts_objects.cpp
    ${CMAKE_CURRENT_LIST_DIR}/contacts_registration.cpp
  DEPS brevalo_device)

brevalo_test(service_test LABEL unit
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/service_request_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/vcard_test.cpp
  DEPS brevalo_service brevalo_contacts brevalo_kernel_testing)
