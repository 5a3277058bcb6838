# Settings every Chronodeck library, program and test links to.
add_library(chronodeck_options INTERFACE)
target_compile_features(chronodeck_options INTERFACE cxx_std_20)
target_compile_definitions(chronodeck_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_KEYWORDS
  QT_USE_QSTRINGBUILDER)
target_compile_options(chronodeck_options INTERFACE
  -Wall -Wextra -Wpedantic -Wno-missing-field-initializers
  $<$<BOOL:${CHRONODECK_WERROR}>:-Werror>)
target_include_directories(chronodeck_options INTERFACE ${PROJECT_SOURCE_DIR}/src)

# A build for finding memory and undefined-behaviour faults: every object of
# the project, tests included, is instrumented. Kept in a build folder of its
# own (make test-sanitize), since its objects cannot be mixed with plain ones.
option(CHRONODECK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(CHRONODECK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  # Instrumented code runs several times slower: tests that time what a
  # user would feel as a freeze allow for it.
  add_compile_definitions(CHRONODECK_SANITIZED)
endif()

# libFuzzer targets under tests/fuzz (clang only): every object is built for
# coverage-guided fuzzing with AddressSanitizer (make fuzz).
option(CHRONODECK_FUZZ "Build the fuzz targets (needs clang)" OFF)
if(CHRONODECK_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The tests read the English source texts: a developer's own language must
# not load a translation into the programs they start.
function(chronodeck_english_test name)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT_MODIFICATION "LANG=set:C.UTF-8;LANGUAGE=unset:;LC_ALL=unset:;LC_MESSAGES=unset:")
endfunction()

# Tests that speak to desktop services run on a private session bus, and the
# services python3-dbusmock plays need the distribution's Python, whatever
# python3 comes first on the PATH.
find_program(DBUS_RUN_SESSION dbus-run-session)
find_program(CHRONODECK_TEST_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(CHRONODECK_TEST_PYTHON NAMES python3)

# chronodeck_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [GUI] [XVFB] [BUS])
# One executable per unit under test. GUI tests run on the offscreen platform;
# XVFB tests need a real X server with a window manager and are run through
# scripts/xvfb-test when it can start one; BUS tests run under their own
# session bus (callers check DBUS_RUN_SESSION first).
function(chronodeck_add_test)
  cmake_parse_arguments(T "GUI;XVFB;BUS" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE chronodeck_options Qt6::Test ${T_LIBS})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(CHRONODECK_SANITIZE)
    target_sources(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/sanitize/PooledThreadsAtExit.cpp)
  endif()
  set(bus)
  if(T_BUS)
    set(bus ${DBUS_RUN_SESSION} --)
  endif()
  if(T_XVFB)
    add_test(NAME ${T_NAME}
             COMMAND ${bus} ${PROJECT_SOURCE_DIR}/scripts/xvfb-test $<TARGET_FILE:${T_NAME}>)
    set_tests_properties(${T_NAME} PROPERTIES SKIP_RETURN_CODE 77 LABELS "xvfb")
  else()
    add_test(NAME ${T_NAME} COMMAND ${bus} $<TARGET_FILE:${T_NAME}>)
    if(T_GUI)
      set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS "gui")
    endif()
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 120)
  chronodeck_english_test(${T_NAME})
endfunction()

# A program that opens the Reports window loads it from the module
# chronodeck-reports (src/reports), which is resolved against the program's
# own functions: those of the namespace cdk (and the logging categories) are
# exported, nothing else, so the SQLite built in never stands in for another
# library's. The report functions are linked whole: the module uses them and
# nothing else in the program may.
function(chronodeck_host_reports_module target)
  set(list ${PROJECT_SOURCE_DIR}/cmake/exported-symbols.list)
  target_link_options(${target} PRIVATE
    "LINKER:--dynamic-list=${list}"
    "LINKER:--whole-archive" $<TARGET_FILE:cdk_reports> "LINKER:--no-whole-archive")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${list})
  add_dependencies(${target} chronodeck-reports)
endfunction()
