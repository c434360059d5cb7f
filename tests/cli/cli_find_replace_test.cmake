# Runs torvane-cli find and replace over small files and checks what they
# print, their exit codes and the bytes of the replaced text.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
string(ASCII 13 CR)
string(ASCII 10 LF)
# Three kinds of line end; every stored line break is one character, so the
# offsets are: "mov a,b" 0, "movx a,@dptr" 8, "MOV c,d" 21, "mov" 29.
file(WRITE ${WORK}/in.asm "mov a,b${CR}${LF}movx a,@dptr${LF}MOV c,d${CR}mov")
file(WRITE ${WORK}/aaa.asm "aaa")
file(WRITE ${WORK}/regs.asm "mov a,r1${LF}mov b,r2${LF}")

set(failures "")

# expect(<name> <expected exit code> <expected stdout> <expected stderr> <args...>)
function(expect name rc_expected out_expected err_expected)
  execute_process(COMMAND ${CLI} ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc STREQUAL rc_expected OR NOT out STREQUAL out_expected OR NOT err STREQUAL err_expected)
    set(failures "${failures}\n${name}: exit ${rc} (expected ${rc_expected}), stdout '${out}' (expected '${out_expected}'), stderr '${err}' (expected '${err_expected}')" PARENT_SCOPE)
  endif()
endfunction()

# expect_bytes(<name> <expected exit code> <expected stdout as hex> <args...>)
function(expect_bytes name rc_expected hex_expected)
  execute_process(COMMAND ${CLI} ${ARGN} RESULT_VARIABLE rc OUTPUT_FILE ${WORK}/${name}.out ERROR_VARIABLE err)
  file(READ ${WORK}/${name}.out got HEX)
  if(NOT rc STREQUAL rc_expected OR NOT got STREQUAL hex_expected)
    set(failures "${failures}\n${name}: exit ${rc} (expected ${rc_expected}), bytes ${got} (expected ${hex_expected}), stderr '${err}'" PARENT_SCOPE)
  endif()
endfunction()

# ---- find ----------------------------------------------------------------------
expect(find_all 0 "0 3\n8 3\n21 3\n29 3\n" "" find mov ${WORK}/in.asm)
# Whole words skip movx; match case skips MOV; a word at the text end counts.
expect(find_word_case 0 "0 3\n29 3\n" "" find --word --case mov ${WORK}/in.asm)
expect(find_backwards 0 "29 3\n21 3\n8 3\n0 3\n" "" find --backwards mov ${WORK}/in.asm)
expect(find_from 0 "21 3\n29 3\n" "" find --from 9 mov ${WORK}/in.asm)
expect(find_backwards_from_start 1 "" "Search string \"mov\" not found.\n"
       find --backwards --from 0 mov ${WORK}/in.asm)
# "$" stands before a line break or at the text end and adds no length.
expect(find_regex 0 "6 1\n19 1\n27 1\n31 1\n" "" find --regex "[a-z]$" ${WORK}/in.asm)
expect(find_none 1 "" "Search string \"xyz\" not found.\n" find xyz ${WORK}/in.asm)
expect(find_pattern_error 2 "" "Nested repeat\na**\n  ^\n" find --regex "a**" ${WORK}/in.asm)
expect(find_group_error 2 "" "Unmatched parenthesis\n(ab\n   ^\n" find --regex "(ab" ${WORK}/in.asm)

execute_process(COMMAND ${CLI} find mov ${WORK}/missing.asm RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 2 OR NOT err STREQUAL "File '${WORK}/missing.asm' cannot be opened for reading\n")
  set(failures "${failures}\nfind_missing_file: exit ${rc}, stderr '${err}'")
endif()
foreach(bad "--bogus;mov" "--case" "--from;x;mov" "--from;-1;mov" "--from;99;mov")
  execute_process(COMMAND ${CLI} find ${bad} ${WORK}/in.asm RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 2 OR NOT err MATCHES "usage: torvane-cli find")
    set(failures "${failures}\nfind usage '${bad}': exit ${rc}, stderr '${err}'")
  endif()
endforeach()

# ---- replace --------------------------------------------------------------------
# Every line end comes out as CR LF; the last line keeps having none.
expect_bytes(replace_crlf 0 "6c6420612c620d0a6c647820612c40647074720d0a6c6420632c640d0a6c64"
             replace mov ld ${WORK}/in.asm)
expect_bytes(replace_word_case 0 "6c6420612c620d0a6d6f767820612c40647074720d0a4d4f5620632c640d0a6c64"
             replace --word --case mov ld ${WORK}/in.asm)
# Matches are collected before replacing: three a give six, not an endless run.
expect_bytes(replace_grows 0 "616161616161" replace a aa ${WORK}/aaa.asm)
# Pattern elements: [ab] is %1, "," %2, "r" %3, the digit %4.
expect_bytes(replace_regex 0 "6d6f762072312c610d0a6d6f762072322c620d0a"
             replace --regex "[ab],r[0-9]" "r%4,%1" ${WORK}/regs.asm)
# Nothing matched: exit 1 and the text unchanged, with CR LF line ends.
expect_bytes(replace_none 1 "6d6f7620612c72310d0a6d6f7620622c72320d0a" replace zz q ${WORK}/regs.asm)
expect(replace_pattern_error 2 "" "Nested repeat\na**\n  ^\n" replace --regex "a**" x ${WORK}/in.asm)
execute_process(COMMAND ${CLI} replace --backwards a b ${WORK}/aaa.asm RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 2 OR NOT err MATCHES "usage: torvane-cli replace")
  set(failures "${failures}\nreplace usage: exit ${rc}, stderr '${err}'")
endif()

if(failures)
  message(FATAL_ERROR "torvane-cli find/replace:${failures}")
endif()
