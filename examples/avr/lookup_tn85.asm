;compiler: avrasm
/*
 * Software PWM on PB0 of an ATtiny85 whose duty cycle follows a sine table:
 * the table index steps once per PWM period.
 */
.include "tn85def.inc"

.def    index   = r16
.def    duty    = r17
.def    phase   = r18
.def    temp    = r19

        .cseg
        .org    0x0000
        rjmp    reset

reset:  ldi     temp, low(RAMEND)
        out     SPL, temp
        sbi     DDRB, PB0
        clr     index
period: mov     temp, index
        andi    temp, 0x0F          // 16 entries
        ldi     ZL, low(sine << 1)
        ldi     ZH, high(sine << 1)
        add     ZL, temp
        clr     temp
        adc     ZH, temp
        lpm     duty, Z
        clr     phase
        sbi     PORTB, PB0
step:   cp      phase, duty
        brne    keep
        cbi     PORTB, PB0          ; the on part of the period is over
keep:   inc     phase
        brne    step
        inc     index
        rjmp    period

        .org    0x0200
; 128 + 127 * sin(2 pi i / 16), i = 0..15
sine:   .db     128, 177, 218, 245, 255, 245, 218, 177
        .db     128,  79,  38,  11,   1,  11,  38,  79
