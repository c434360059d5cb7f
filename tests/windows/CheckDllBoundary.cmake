# Checks a DLL's export and import tables as objdump -p prints them.
# Inputs: OBJDUMP, DLL.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()

# Export rows look like "\t[   0] +base[   1]  0000 ASEM51".
string(REGEX MATCHALL "\\[ *[0-9]+\\] \\+base\\[ *[0-9]+\\] +[0-9a-fA-F]+ [^\n]+" rows "${dump}")
set(names)
foreach(row IN LISTS rows)
  string(REGEX REPLACE ".* ([^ ]+)$" "\\1" name "${row}")
  list(APPEND names ${name})
endforeach()
list(SORT names)
if(NOT names STREQUAL "ASEM51;AVRASM")
  message(FATAL_ERROR "exports are '${names}', expected exactly ASEM51 and AVRASM")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(import IN LISTS imports)
  string(TOLOWER "${import}" lower)
  if(lower MATCHES "libstdc\\+\\+|libgcc|libwinpthread")
    message(FATAL_ERROR "the DLL depends on the compiler's runtime: ${import}")
  endif()
endforeach()
message(STATUS "exports: ${names}; imports: ${imports}")
