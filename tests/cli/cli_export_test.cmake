# Runs torvane-cli export over the bundled examples and compares the bytes
# with the golden files; the date comes from SOURCE_DATE_EPOCH and the title
# is the source name as given, so the output does not depend on the machine.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(failures "")

foreach(example blink51.asm blink328p.asm)
  foreach(format rtf html)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
                            ${CLI} export --format ${format} ${example} ${WORK}/${example}.${format}
                    WORKING_DIRECTORY ${EXAMPLES} RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
      string(APPEND failures "\n${example} ${format}: exit ${rc}: ${err}")
      continue()
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/${example}.${format}
                            ${GOLDEN}/${example}.${format} RESULT_VARIABLE same)
    if(NOT same EQUAL 0)
      string(APPEND failures "\n${example} ${format}: differs from ${GOLDEN}/${example}.${format}")
    endif()
  endforeach()
endforeach()

# expect_exit(<name> <code> <args...>)
function(expect_exit name code)
  execute_process(COMMAND ${CLI} ${ARGN} RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL code)
    set(failures "${failures}\n${name}: exit ${rc} (expected ${code}), stderr '${err}'" PARENT_SCOPE)
  endif()
endfunction()

expect_exit(missing_source 1 export --format rtf ${WORK}/missing.asm ${WORK}/x.rtf)
expect_exit(unwritable_output 1 export --format html ${EXAMPLES}/blink51.asm ${WORK}/no/such/dir/x.html)
expect_exit(no_format 2 export ${EXAMPLES}/blink51.asm ${WORK}/x.rtf)
expect_exit(bad_format 2 export --format pdf ${EXAMPLES}/blink51.asm ${WORK}/x.pdf)
expect_exit(one_file 2 export --format rtf ${EXAMPLES}/blink51.asm)
expect_exit(unknown_option 2 export --format rtf --bogus ${EXAMPLES}/blink51.asm ${WORK}/x.rtf)

expect_exit(missing_scheme 1 export --format html --scheme ${WORK}/none.tsc ${EXAMPLES}/blink51.asm ${WORK}/x.html)

if(failures)
  message(FATAL_ERROR "torvane-cli export:${failures}")
endif()
