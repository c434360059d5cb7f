;compiler: avrasm
; Blink an LED on PB5 of an ATmega328P with a software delay.
.include "m328Pdef.inc"

        .cseg
        .org    0x0000
        rjmp    reset

reset:  ldi     r16, high(RAMEND)
        out     SPH, r16
        ldi     r16, low(RAMEND)
        out     SPL, r16
        sbi     DDRB, 5         ; PB5 is an output
loop:   sbi     PINB, 5         ; toggle PB5
        rcall   delay
        rjmp    loop

delay:  ldi     r18, 0xFF
outer:  ldi     r17, 0xFF
inner:  dec     r17
        brne    inner
        dec     r18
        brne    outer
        ret
