# Helpers shared by every folder, so that a folder's CMakeLists.txt names only its own files.

# brevalo_library(NAME SOURCES a.cpp b.cpp DEPS other_lib ...)
# A static library of the Qt-free core. Every such library is also linked into the fuzz targets
# and benchmarks, which therefore may use any of them.
function(brevalo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  set_property(GLOBAL APPEND PROPERTY BREVALO_CORE_LIBS ${name})
endfunction()

# brevalo_test(NAME LABEL unit|ui|e2e SOURCES a_test.cpp ... DEPS lib ...)
# A GoogleTest program; each of its tests becomes one ctest test carrying the label.
function(brevalo_test name)
  cmake_parse_arguments(ARG "" "LABEL" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    BREVALO_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
    BREVALO_LIB_DIR="${CMAKE_BINARY_DIR}/lib"
    BREVALO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set(env "QT_QPA_PLATFORM=offscreen")
  # Listing the tests when ctest runs, not when the program is linked, so that a build tree whose
  # programs are up to date but whose test lists are missing still runs every test.
  gtest_discover_tests(${name}
    PROPERTIES LABELS ${ARG_LABEL} ENVIRONMENT "${env}" TIMEOUT 300
    DISCOVERY_TIMEOUT 60 DISCOVERY_MODE PRE_TEST)
endfunction()
