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

# chronodeck_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [GUI] [XVFB])
# One executable per unit under test. GUI tests run on the offscreen platform;
# XVFB tests need a real X server with a window manager and are run through
# scripts/xvfb-test when it can start one.
function(chronodeck_add_test)
  cmake_parse_arguments(T "GUI;XVFB" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE chronodeck_options Qt6::Test ${T_LIBS})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(T_XVFB)
    add_test(NAME ${T_NAME}
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/xvfb-test $<TARGET_FILE:${T_NAME}>)
    set_tests_properties(${T_NAME} PROPERTIES SKIP_RETURN_CODE 77 LABELS "xvfb")
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    if(T_GUI)
      set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS "gui")
    endif()
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 120)
endfunction()
