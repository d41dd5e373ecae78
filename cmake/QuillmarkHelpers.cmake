include(GoogleTest)

# Runs a test command in a sandbox of its own with the leak suppressions (see the script).
set(QM_TEST_SANDBOX ${PROJECT_SOURCE_DIR}/tests/support/run-sandboxed)

# qm_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>]
#             [TIMEOUT <seconds per test case>] [PROPERTIES <ctest properties of each case>])
# Builds one GoogleTest executable and registers each of its test cases with ctest as
# <name>.<Suite>.<Case>, so a slow case holds up no other and `ctest -R <name>` runs a suite.
# Every run, the listing included, goes through tests/support/run-sandboxed: the offscreen
# platform, a home, settings and runtime folder of its own, and the leak suppressions.
function(qm_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  target_compile_definitions(${T_NAME} PRIVATE
    QM_SOURCE_DIR="${PROJECT_SOURCE_DIR}" QM_BINARY_DIR="${PROJECT_BINARY_DIR}")
  set_target_properties(${T_NAME} PROPERTIES CROSSCOMPILING_EMULATOR ${QM_TEST_SANDBOX})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(properties TIMEOUT ${T_TIMEOUT} ${T_PROPERTIES})
  if(T_LABELS)
    list(APPEND properties LABELS "${T_LABELS}")
  endif()
  gtest_discover_tests(${T_NAME}
    TEST_PREFIX ${T_NAME}.
    DISCOVERY_TIMEOUT 120
    NO_PRETTY_VALUES
    PROPERTIES ${properties})
endfunction()

# qm_add_panel(<target> <sources...>): one of the window's panels, widgets with state of their
# own on the platform layer, which the window wires to the session.
function(qm_add_panel name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC qm_platform qm_core Qt6::Widgets)
endfunction()
