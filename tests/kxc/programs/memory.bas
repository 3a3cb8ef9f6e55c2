' _MEM values, PEEK and POKE, VARPTR and the bytes of variables and arrays.
DIM a(9) AS LONG
FOR i = 0 TO 9: a(i) = i * 1000: NEXT
DIM m AS _MEM
m = _MEM(a())
PRINT "array"; m.SIZE; m.ELEMENTSIZE; m.TYPE; _MEMGET(m, m.OFFSET + 8, LONG)
_MEMPUT m, m.OFFSET + 4, -7 AS LONG
PRINT "put"; a(1)
_MEMPUT m, m.OFFSET, 65 AS _UNSIGNED _BYTE
PRINT "byte"; a(0)
m2 = 0
DIM b AS _MEM
b = _MEMNEW(16)
PRINT "new"; b.SIZE; b.TYPE; b.ELEMENTSIZE; _MEMEXISTS(b)
_MEMFILL b, b.OFFSET, 16, 258 AS INTEGER
PRINT "fill"; _MEMGET(b, b.OFFSET + 2, INTEGER); _MEMGET(b, b.OFFSET + 15, _UNSIGNED _BYTE)
_MEMCOPY b, b.OFFSET, 8 TO m, m.OFFSET + 8
PRINT "copy"; a(2); a(3); a(4)
DIM x AS DOUBLE
_MEMGET b, b.OFFSET, x
PRINT "get"; x <> 0
t$ = "HELLO"
_MEMPUT b, b.OFFSET, t$
PRINT "string "; _MEMGET(b, b.OFFSET + 1, STRING * 3)
v = 5
DIM w AS _MEM
w = _MEM(v)
PRINT "scalar"; w.SIZE; w.TYPE; w.OFFSET = _OFFSET(v)
q = _MEMEXISTS(_MEMNEW(4))
PRINT "temporary"; q
_MEMFREE b
PRINT "freed"; _MEMEXISTS(b)
PRINT "message "; _ERRORMESSAGE$(308)
' A freed block is a critical error, which no handler traps.
ON ERROR GOTO oops
PRINT _MEMGET(b, b.OFFSET, LONG)
PRINT "not reached"
oops:
PRINT "not trapped"
