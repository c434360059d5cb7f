;compiler: asem51
$MOD51

start:  mov   a,#10h      ; counter
loop:   djnz  acc,loop
        mov   P1,a
        sjmp  start
	db	"Ab", 0, x
label_2:cjne  a,#0FFh,loop+2
        end