;compiler: asem51
$NOMOD51
$INCLUDE (8051.MCU)
; Sample for the 8051 scheme: every kind of token at least once.

COUNT   EQU   10h             ; loop counter
FLAG    BIT   20h.0
BUFFER  DATA  30h
        ORG   0
start:  MOV   SP,#5Fh
        MOV   R0,#BUFFER
        MOV   R7,#COUNT
loop:   MOV   A,@R0
        ADD   A,#0FFh
        ADDC  A,#00110011b
        ORL   A,#17o
        ANL   A,#HIGH 1234
        MOV   @R1,A
        MOVC  A,@A+DPTR
        MOVX  @DPTR,A
        SETB  C
        CLR   TR0
        JNB   P1.0,skip
        CPL   ACC.7
skip:   DJNZ  R7,loop
        SJMP  $
again_2:MOV   DPTR,#text
movers: NOP                   ; a label that starts like an instruction
        mov   a, b
        USING 0
text:   DB    'It''s 8051', 0
        DB    "double", 13, 10
        DW    start, loop
        DS    4
        END
