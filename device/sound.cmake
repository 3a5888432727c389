# The phone's sound output (WAV files through libsndfile, played on ALSA's default device when
# the machine has one) and its vibrator; both also report to the device's event log.
find_package(ALSA REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)

brevalo_library(brevalo_sound
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/sound_player.cpp
    ${CMAKE_CURRENT_LIST_DIR}/vibrator.cpp
  DEPS brevalo_event_log ALSA::ALSA PkgConfig::SNDFILE Threads::Threads)
