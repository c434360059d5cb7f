# Runs "torvane-cli scheme check SCRIPT" and fails unless it exits with
# EXIT_CODE and its output contains EXPECTED.
execute_process(COMMAND ${CLI} scheme check ${SCRIPT}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL EXIT_CODE)
  message(FATAL_ERROR "exit code ${status}, expected ${EXIT_CODE}: ${out}${err}")
endif()
string(FIND "${out}${err}" "${EXPECTED}" found)
if(found EQUAL -1)
  message(FATAL_ERROR "expected \"${EXPECTED}\" in: ${out}${err}")
endif()
