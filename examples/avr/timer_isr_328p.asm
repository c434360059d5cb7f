;compiler: avrasm
// Toggle the LED on PB5 of an ATmega328P twice a second from the Timer1
// compare-match interrupt (16 MHz clock, prescaler 256, CTC mode).
.include <m328Pdef.inc>

.equ    F_CPU   = 16000000
.equ    TICKS   = F_CPU / 256 / 2 - 1   ; 31249: half a second

.def    temp    = r16

        .cseg
        .org    0x0000
        rjmp    reset
        .org    OC1Aaddr
        rjmp    timer1_compa
        .org    INT_VECTORS_SIZE

reset:  ldi     temp, high(RAMEND)
        out     SPH, temp
        ldi     temp, low(RAMEND)
        out     SPL, temp
        sbi     DDRB, PB5
        /* CTC on OCR1A, clock / 256 */
        ldi     temp, high(TICKS)
        sts     OCR1AH, temp        // the high byte goes first
        ldi     temp, low(TICKS)
        sts     OCR1AL, temp
        ldi     temp, (1 << WGM12) | (1 << CS12)
        sts     TCCR1B, temp
        ldi     temp, 1 << OCIE1A
        sts     TIMSK1, temp
        sei
idle:   sleep
        rjmp    idle

timer1_compa:
        sbi     PINB, PB5           ; writing 1 to PINx toggles the pin
        reti
