# Packs SAMPLE with each method, unpacks it again and compares; then checks
# that a damaged file fails with exit code 1 and bad usage with 2.
# Run as: cmake -DCLI=... -DWORK=... -DSAMPLE=... -P cli_roundtrip.cmake
file(MAKE_DIRECTORY ${WORK})

function(run expected_code)
  execute_process(COMMAND ${CLI} ${ARGN} RESULT_VARIABLE code ERROR_VARIABLE err OUTPUT_QUIET)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "torvane-cli ${ARGN}: exit ${code}, expected ${expected_code}\n${err}")
  endif()
  set(last_error "${err}" PARENT_SCOPE)
endfunction()

foreach(method block lzhuf auto)
  run(0 pack --method ${method} ${SAMPLE} ${WORK}/sample.${method})
  run(0 unpack ${WORK}/sample.${method} ${WORK}/sample.${method}.out)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SAMPLE} ${WORK}/sample.${method}.out
                  RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "round trip with --method ${method} changed the file")
  endif()
endforeach()

file(WRITE ${WORK}/damaged "ZLRW1234")
file(REMOVE ${WORK}/damaged.out)
run(1 unpack ${WORK}/damaged ${WORK}/damaged.out)
if(NOT last_error MATCHES "input stream contains no valid header")
  message(FATAL_ERROR "unexpected message for a damaged file: ${last_error}")
endif()
if(EXISTS ${WORK}/damaged.out)
  message(FATAL_ERROR "a failed unpack left an output file")
endif()

# A whole stream followed by anything else is not what pack wrote.
execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${WORK}/sample.block OUTPUT_FILE ${WORK}/trailing)
file(APPEND ${WORK}/trailing "x")
run(1 unpack ${WORK}/trailing ${WORK}/trailing.out)
if(NOT last_error MATCHES "data follows the end")
  message(FATAL_ERROR "unexpected message for trailing data: ${last_error}")
endif()

run(2 pack --method fast ${SAMPLE} ${WORK}/x)
run(2 unpack ${SAMPLE})
