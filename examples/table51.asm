;compiler: asem51
; Lookup tables: a counter on P1 shown as a digit on a seven-segment display
; on P0 (common anode), and a squares table read with MOVC A,@A+PC.
$MOD51

         ORG    0
         MOV    R0,#0
NEXT:    MOV    A,R0
         CALL   SEGMENTS
         MOV    P0,A
         MOV    A,R0
         CALL   SQUARE
         MOV    P2,A
         INC    R0
         CJNE   R0,#10,NEXT
         MOV    R0,#0
         SJMP   NEXT

; A = digit 0..9 -> A = segment pattern
SEGMENTS:
         MOV    DPTR,#DIGITS
         MOVC   A,@A+DPTR
         RET

; A = 0..15 -> A = its square, from the table right behind the RET
SQUARE:  INC    A
         MOVC   A,@A+PC
         RET
         DB     0, 1, 4, 9, 16, 25, 36, 49, 64, 81, 100, 121, 144, 169, 196, 225

         ORG    200H
DIGITS:  DB     0C0H, 0F9H, 0A4H, 0B0H, 099H, 092H, 082H, 0F8H, 080H, 090H
         END
