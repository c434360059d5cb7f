#define F(a,b) ((a) SHL (b))
#if F(1,2) == 4
/* block
 comment */ MOV A,#F(1,3) // x
#else
 NOP
#endif
X SEGMENT CODE
V SEGMENT DATA BITADDRESSABLE
 RSEG V
W: DS 1
 RSEG X
 SETB W.3
 CSEG AT 7FEH
 JMP 900H
 CALL $
 BSEG AT 5
B1: DBIT 2
 USING 3
 PUSH AR7
 END
