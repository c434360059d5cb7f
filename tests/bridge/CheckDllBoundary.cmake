# Checks a DLL's export and import tables as objdump -p prints them.
# Inputs: OBJDUMP, DLL.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()

# The name table: "[Ordinal/Name Pointer] Table" and then rows "\t[   0] ASEM51".
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(\t\\[ *[0-9]+\\] [^\n]+\n)*" table "${dump}")
# Brackets would keep CMake from splitting the list: rows become "<   0> NAME".
string(REPLACE "[" "<" table "${table}")
string(REPLACE "]" ">" table "${table}")
string(REGEX MATCHALL "\t<[ 0-9]+> [^\n]+" rows "${table}")
set(names)
foreach(row IN LISTS rows)
  string(REGEX REPLACE "^\t<[ 0-9]+> " "" name "${row}")
  list(APPEND names ${name})
endforeach()
list(SORT names)
if(NOT names STREQUAL "ASEM51;AVRASM;CANCELRUN;SETLIMITS")
  message(FATAL_ERROR "exports are '${names}', expected exactly ASEM51, AVRASM, CANCELRUN and SETLIMITS")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(import IN LISTS imports)
  string(TOLOWER "${import}" lower)
  if(lower MATCHES "libstdc\\+\\+|libgcc|libwinpthread")
    message(FATAL_ERROR "the DLL depends on the compiler's runtime: ${import}")
  endif()
endforeach()
message(STATUS "exports: ${names}; imports: ${imports}")
