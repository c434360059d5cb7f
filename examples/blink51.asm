;compiler: asem51
; Blink an LED on P1.0 of an 8051 with a software delay.
        ORG     0000H
START:  CPL     P1.0            ; toggle the LED
        ACALL   DELAY
        SJMP    START

DELAY:  MOV     R7,#200         ; about 100 ms at 12 MHz
OUTER:  MOV     R6,#250
INNER:  DJNZ    R6,INNER
        DJNZ    R7,OUTER
        RET
        END
