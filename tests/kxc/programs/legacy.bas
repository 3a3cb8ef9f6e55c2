' The legacy machine: a machine-code routine called with two variables, a
' mouse interrupt through a register record, the palette through its ports.
TYPE regtype
  ax AS INTEGER
  bx AS INTEGER
  cx AS INTEGER
  dx AS INTEGER
  bp AS INTEGER
  si AS INTEGER
  di AS INTEGER
  flags AS INTEGER
END TYPE
DIM r AS regtype
' The two arguments swapped: PUSH BP / MOV BP,SP / MOV SI,[BP+8] /
' MOV AX,[SI] / MOV DI,[BP+6] / MOV BX,[DI] / MOV [SI],BX / MOV [DI],AX /
' POP BP / RETF 4
DATA &H55,&H89,&HE5,&H8B,&H76,8,&H8B,4,&H8B,&H7E,6,&H8B,&H1D,&H89,&H1C,&H89,5,&H5D,&HCA,4,0
DEF SEG = &H2000
FOR i = 0 TO 20: READ b: POKE i, b: NEXT
first% = -5: second% = 21
CALL ABSOLUTE(first%, second%, 0)
DEF SEG
PRINT "absolute"; first%; second%
r.ax = 0
CALL INTERRUPT(&H33, r, r)
PRINT "mouse reset"; r.ax; r.bx
r.ax = 3
INTERRUPT &H33, r, r
PRINT "mouse buttons"; r.bx
OUT &H3C8, 1
OUT &H3C9, 10: OUT &H3C9, 20: OUT &H3C9, 30
OUT &H3C7, 1
PRINT "palette"; INP(&H3C9); INP(&H3C9); INP(&H3C9)
PRINT "colour "; HEX$(_PALETTECOLOR(1))
