$MOD51
$INCLUDE(defs.inc)
; main program
START:  LCALL DELAY
        MOV   A,#LIMIT
        SJMP  START
$INCLUDE(missing.inc)
$INCLUDE(timing.inc)
$INCLUDE(missing.inc)
        END
