;compiler: avrasm
; "Hello" on a HD44780 text LCD wired in 4-bit mode to an ATmega328P:
; D4..D7 on PD4..PD7, RS on PB0, E on PB1. The driver and its macros live in
; lib\lcd.inc, the wiring in Config.inc, written as a Windows user writes them.
.include <m328Pdef.inc>
.include "config.inc"

.def    temp    = r16
.def    arg     = r17
.def    count   = r18

        .cseg
        .org    0x0000
        rjmp    reset
        .org    INT_VECTORS_SIZE
.include "lib\lcd.inc"              ; its macros must come before their use

reset:  ldi     temp, high(RAMEND)
        out     SPH, temp
        ldi     temp, low(RAMEND)
        out     SPL, temp
        rcall   lcd_init
        lcd_cmd LCD_CLEAR
        lcd_text hello
stop:   rjmp    stop

        .org    0x0200
hello:  .db     "Hello", 0
