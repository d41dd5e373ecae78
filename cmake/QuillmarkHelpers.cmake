# qm_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# Builds one GoogleTest executable and registers it with ctest. Window tests run on the
# offscreen platform with their own HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR so that no
# test ever touches the real settings of the person running them.
function(qm_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  target_compile_definitions(${T_NAME} PRIVATE
    QM_SOURCE_DIR="${PROJECT_SOURCE_DIR}" QM_BINARY_DIR="${PROJECT_BINARY_DIR}")
  set(sandbox ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}.home)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    LABELS "${T_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${sandbox};XDG_CONFIG_HOME=${sandbox}/.config;XDG_RUNTIME_DIR=${sandbox}/run;ASAN_OPTIONS=detect_leaks=0")
  file(MAKE_DIRECTORY ${sandbox}/.config ${sandbox}/run)
  # Qt refuses a runtime folder others may enter and would make its own under /tmp.
  file(CHMOD ${sandbox}/run PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()
