.include "m000def.inc"
.include "macros.inc"
.def temp = r16
reset:  ldi temp, LOW(RAMEND)
        out SPL, temp
        pause
        rjmp reset
