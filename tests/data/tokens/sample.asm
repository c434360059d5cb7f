;compiler: avrasm
; Sample for the AVR scheme, with CR LF line ends.
.include "m8def.inc"
.def    temp = r16
.equ    COUNT = 0x10    ; counter
.set    MASK = 0b1010
.cseg
.org    $0000
reset:  ldi   temp, low(RAMEND)
        out   SPL, temp
        ldi   ZL, low(table << 1)
        ldi   ZH, high(table << 1)
loop:   lpm   r0, Z+
        st    -X, r0
        ld    r1, Y+
        ldd   r2, Y+3
        sbiw  r24, 1
        brne  loop
        rjmp  reset
.macro  PAUSE
        nop
.endmacro
.if COUNT > 8
        PAUSE
.else
        nop
.endif
.dseg
buffer: .byte 16
.eseg
        .db   1, 2
.cseg
table:  .db   "Hi\n", '!', '\'', $0D, 0
        .dw   reset
