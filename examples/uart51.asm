;compiler: asem51
; UART echo: 9600 baud with an 11.0592 MHz crystal, every received byte is
; sent back; a carriage return is answered with CR LF.
$MOD51

CR       EQU    0DH
LF       EQU    0AH

         ORG    0
         LJMP   START

         ORG    100H
START:   MOV    SCON,#50H       ; mode 1, receiver on
         MOV    TMOD,#20H       ; timer 1, 8-bit auto-reload
         MOV    TH1,#0FDH       ; 9600 baud
         SETB   TR1
         MOV    DPTR,#HELLO
         CALL   PUTS
ECHO:    CALL   GETC
         CALL   PUTC
         CJNE   A,#CR,ECHO
         MOV    A,#LF
         CALL   PUTC
         SJMP   ECHO

GETC:    JNB    RI,$
         CLR    RI
         MOV    A,SBUF
         RET

PUTC:    CLR    TI
         MOV    SBUF,A
         JNB    TI,$
         RET

PUTS:    CLR    A
         MOVC   A,@A+DPTR
         JZ     PUTS_END
         CALL   PUTC
         INC    DPTR
         SJMP   PUTS
PUTS_END: RET

HELLO:   DB     'Echo ready', CR, LF, 0
         END
