;compiler: asem51
; HD44780 character LCD in 4-bit mode on port 2 (D4..D7 = P2.4..P2.7,
; RS = P2.0, E = P2.1), driven through macros. Shows a text from a table.
$MOD51

LCD_PORT EQU    P2
LCD_RS   BIT    P2.0
LCD_E    BIT    P2.1

; Waits about COUNT * 0.5 ms at 12 MHz.
WAIT_MS  MACRO  COUNT
         LOCAL  OUTER, INNER
         MOV    R6,#COUNT
OUTER:   MOV    R5,#248
INNER:   DJNZ   R5,INNER
         DJNZ   R6,OUTER
         ENDM

; Sends the high nibble of A to the display.
NIBBLE   MACRO
         ANL    LCD_PORT,#0FH
         PUSH   ACC
         ANL    A,#0F0H
         ORL    LCD_PORT,A
         POP    ACC
         SETB   LCD_E
         NOP
         CLR    LCD_E
         ENDM

LCD_CMD  MACRO  CODE_BYTE
         MOV    A,#CODE_BYTE
         CALL   LCD_COMMAND
         ENDM

         ORG    0
         SJMP   INIT

         ORG    40H
INIT:    WAIT_MS 40
         LCD_CMD 33H            ; wake up, then switch to 4-bit mode
         LCD_CMD 32H
         LCD_CMD 28H            ; 2 lines, 5x8 font
         LCD_CMD 0CH            ; display on, no cursor
         LCD_CMD 01H            ; clear
         WAIT_MS 4
         MOV    DPTR,#TEXT
SHOW:    CLR    A
         MOVC   A,@A+DPTR
         JZ     $
         CALL   LCD_DATA
         INC    DPTR
         SJMP   SHOW

LCD_COMMAND:
         CLR    LCD_RS
         SJMP   LCD_SEND
LCD_DATA:
         SETB   LCD_RS
LCD_SEND:
         NIBBLE
         SWAP   A
         NIBBLE
         WAIT_MS 1
         RET

TEXT:    DB     'Hello, 8051!', 0
         END
