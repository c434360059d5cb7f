;compiler: asem51
; Timer 0 interrupt: toggles an LED on P1.7 every 50 ms (12 MHz crystal)
; while the main loop counts seconds on port 2.
$MOD51

LED      BIT    P1.7
TICKS    DATA   30H             ; 50 ms ticks within the current second
SECONDS  DATA   31H
RELOAD   EQU    65536 - 50000   ; 50 ms in machine cycles

         ORG    0000H
         JMP    MAIN
         ORG    000BH           ; timer 0 overflow
         JMP    T0_ISR

         ORG    0030H
MAIN:    MOV    SP,#5FH
         MOV    TICKS,#20
         MOV    SECONDS,#0
         MOV    TMOD,#01H       ; timer 0, 16-bit mode
         MOV    TH0,#HIGH RELOAD
         MOV    TL0,#LOW RELOAD
         SETB   ET0
         SETB   EA
         SETB   TR0
IDLE:    MOV    P2,SECONDS
         SJMP   IDLE

T0_ISR:  PUSH   PSW
         PUSH   ACC
         MOV    TH0,#HIGH RELOAD
         MOV    TL0,#LOW RELOAD
         CPL    LED
         DJNZ   TICKS,DONE
         MOV    TICKS,#20
         INC    SECONDS
DONE:    POP    ACC
         POP    PSW
         RETI
         END
