;compiler: avrasm
; Echo every byte received on the UART of an ATmega328P, 9600 baud at 16 MHz,
; after a greeting read from program memory.
.include "m328Pdef.inc"

.equ    F_CPU   = 16000000
.equ    BAUD    = 9600
.equ    UBRR    = F_CPU / 16 / BAUD - 1 ; 103

.def    temp    = r16
.def    char    = r17

        .cseg
        .org    0x0000
        rjmp    reset
        .org    INT_VECTORS_SIZE

reset:  ldi     temp, high(RAMEND)
        out     SPH, temp
        ldi     temp, low(RAMEND)
        out     SPL, temp
        ldi     temp, high(UBRR)
        sts     UBRR0H, temp
        ldi     temp, low(UBRR)
        sts     UBRR0L, temp
        ldi     temp, (1 << RXEN0) | (1 << TXEN0)
        sts     UCSR0B, temp
        ldi     temp, (1 << UCSZ01) | (1 << UCSZ00)   ; 8 data bits, 1 stop bit
        sts     UCSR0C, temp

        ldi     ZL, low(greeting << 1)
        ldi     ZH, high(greeting << 1)
next:   lpm     char, Z+
        tst     char
        breq    echo
        rcall   send
        rjmp    next

echo:   rcall   receive
        rcall   send
        rjmp    echo

; Waits for a received byte and returns it in char.
receive:
        lds     temp, UCSR0A
        sbrs    temp, RXC0
        rjmp    receive
        lds     char, UDR0
        ret

; Sends char once the transmit buffer is free.
send:   lds     temp, UCSR0A
        sbrs    temp, UDRE0
        rjmp    send
        sts     UDR0, char
        ret

        .org    0x0100
greeting:
        .db     "Echo ready", 13, 10, 0, 0
