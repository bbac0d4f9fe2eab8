# End-to-end scenarios: every tests/e2e/*.sh or *.py is one CTest test (label e2e) driving the
# real x86_64 Vantrel.exe under Wine from outside. The fixtures they use are in tests/e2e/lib/.
# A scenario may raise its time limit with a line "# e2e-timeout: <seconds>".
# Exit code 77 means a capability is missing (skipped; with CI=true scenarios fail instead).
file(GLOB VANTREL_E2E_SCENARIOS CONFIGURE_DEPENDS
     ${CMAKE_CURRENT_LIST_DIR}/*.sh ${CMAKE_CURRENT_LIST_DIR}/*.py)
find_program(VANTREL_BASH bash REQUIRED)
find_program(VANTREL_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT VANTREL_PYTHON3)
  find_program(VANTREL_PYTHON3 python3 REQUIRED)
endif()

foreach(scenario ${VANTREL_E2E_SCENARIOS})
  get_filename_component(name ${scenario} NAME_WE)
  get_filename_component(ext ${scenario} EXT)
  if(ext STREQUAL ".py")
    set(runner ${VANTREL_PYTHON3})
  else()
    set(runner ${VANTREL_BASH})
  endif()
  set(timeout 300)
  file(STRINGS ${scenario} timeout_line REGEX "^# e2e-timeout: *[0-9]+" LIMIT_COUNT 1)
  if(timeout_line)
    string(REGEX REPLACE "^# e2e-timeout: *([0-9]+).*" "\\1" timeout "${timeout_line}")
  endif()
  add_test(NAME e2e_${name} COMMAND ${runner} ${scenario})
  set_tests_properties(e2e_${name} PROPERTIES
    LABELS e2e
    RUN_SERIAL TRUE
    TIMEOUT ${timeout}
    SKIP_RETURN_CODE 77
    ENVIRONMENT "VANTREL_BUILD_DIR=${CMAKE_BINARY_DIR};VANTREL_EXE=$<TARGET_FILE:Vantrel>;VANTREL_SOURCE_DIR=${CMAKE_SOURCE_DIR};VANTREL_UPDATE_URL=${VANTREL_UPDATE_URL};E2E_ARTIFACTS=${CMAKE_BINARY_DIR}/e2e-artifacts;E2E_NAME=${name};E2E_TIMEOUT=${timeout};PYTHONDONTWRITEBYTECODE=1;PYTHONPATH=${CMAKE_CURRENT_LIST_DIR}/lib")
endforeach()
