;compiler: asem51
; A program in several files: board definitions and a delay routine come
; from include files, the device header from the assembler's own folder.
$NOMOD51
$INCLUDE(REG52.INC)
$INCLUDE(board.inc)

         CSEG   AT 0
         LJMP   MAIN

         CSEG   AT 100H
MAIN:    MOV    SP,#STACK_TOP
LOOP:    CPL    STATUS_LED
         MOV    R7,#BLINK_MS
         CALL   DELAY_MS
         JNB    BUTTON,LOOP
         SETB   BUZZER
         SJMP   LOOP

$INCLUDE(delay.inc)
         END
