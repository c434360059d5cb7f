# Runs torvane-cli tokens: a bundled scheme by its short name, the style names
# it gives the runs, a Windows-1250 byte shown as UTF-8, and the exit codes.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
string(ASCII 13 CR)
string(ASCII 10 LF)
string(ASCII 232 c_caron) # "č" in Windows-1250
file(WRITE ${WORK}/in.a51 "loop:\tMOV\tA,#1\t; ${c_caron}${CR}${LF}")

execute_process(COMMAND ${CLI} tokens --scheme asm51 ${WORK}/in.a51
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(expected [=[> loop:\tMOV\tA,#1\t; č
  Label          "loop:"
  Default        "\t"
  Instruction    "MOV"
  Default        "\t"
  Register       "A"
  Default        ","
  Operator(12)   "#"
  Number         "1"
  Default        "\t"
  Comment        "; č"
  Default        "\n"
]=])
if(NOT rc EQUAL 0 OR NOT out STREQUAL expected)
  message(FATAL_ERROR "tokens --scheme asm51: rc ${rc} ${err}, output:\n${out}")
endif()

execute_process(COMMAND ${CLI} tokens ${WORK}/missing.a51 RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR NOT err MATCHES "missing.a51")
  message(FATAL_ERROR "missing source: rc ${rc}, message '${err}'")
endif()
foreach(args "" "${WORK}/in.a51;${WORK}/in.a51")
  execute_process(COMMAND ${CLI} tokens ${args} RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 2 OR NOT err MATCHES "usage: torvane-cli tokens")
    message(FATAL_ERROR "bad usage '${args}': rc ${rc}, message '${err}'")
  endif()
endforeach()
