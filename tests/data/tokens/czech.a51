;compiler: asem51
/* Blikání LED na P1.0 -- èasovaè 0 v reimu 1,
   krystal 11,0592 MHz; pøerušení kadıch 50 ms */
#include	"reg52.inc"	; registry 89C52

PRODLEVA	EQU	20		; poèet pøerušení na pùl sekundy
		ORG	0
		LJMP	start
		ORG	000Bh		; vektor èasovaèe 0
		LJMP	obsluha

start:		MOV	TMOD,#01h	; 16bitovı èítaè
		MOV	R7,#PRODLEVA
		SETB	ET0		// povolit pøerušení
		SETB	EA
		SETB	TR0
		SJMP	$

obsluha:	MOV	TH0,#HIGH(-46080)
		DJNZ	R7,konec
		CPL	P1.0		; zmìna stavu LED
		MOV	R7,#PRODLEVA
konec:		RETI

zprava:		DB	'luouèkı kùò', 0
		DB	"C:\LED", 0
		END
