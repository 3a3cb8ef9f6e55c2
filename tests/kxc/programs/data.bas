' Data: DIM in its forms, arrays of several dimensions, REDIM _PRESERVE,
' ERASE, bounds, records, fixed-length strings, CONST, DEFtype, DATA,
' READ and RESTORE, SWAP, and the implicit array of a name used with an index.
DEFINT I-K
DEFSTR S
CONST limit = 3, greeting$ = "hi"
TYPE point2
  x AS INTEGER
  y AS SINGLE
END TYPE
TYPE shape
  label AS STRING * 6
  corner AS point2
  sides AS LONG
END TYPE
DIM a(limit) AS DOUBLE, b(1 TO 2, -1 TO 1), c$(2)
DIM p AS point2, q AS point2, sh AS shape, many(1 TO 3) AS shape
DIM fixed AS STRING * 4
FOR i = 0 TO limit: a(i) = i / 2: NEXT
PRINT a(0); a(1); a(3); LBOUND(a); UBOUND(a)
b(2, -1) = 21: b(1, 1) = 11
PRINT b(2, -1); b(1, 1); b(1, 0); UBOUND(b, 1); LBOUND(b, 2); UBOUND(b, 2)
c$(0) = "zero": c$(2) = "two": PRINT c$(0); c$(1); c$(2); LEN(c$(1))
implicit(10) = 5: PRINT implicit(10); UBOUND(implicit)
REDIM d(1 TO 3) AS INTEGER
d(1) = 1: d(2) = 2: d(3) = 3
REDIM _PRESERVE d(1 TO 5) AS INTEGER
PRINT d(1); d(2); d(3); d(4); d(5); UBOUND(d)
REDIM d(2) AS INTEGER: PRINT d(1); UBOUND(d)
ERASE d: PRINT "erased"
ERASE a: PRINT a(1)
p.x = 3: p.y = 1.5: q = p: q.x = 4
PRINT p.x; p.y; q.x; q.y
sh.label = "square": sh.corner.x = 7: sh.sides = 4
PRINT sh.label; sh.corner.x; sh.sides; LEN(sh); LEN(p)
many(2).label = "tri": many(2).sides = 3
PRINT "["; many(2).label; "]"; many(2).sides; many(1).sides
fixed = "abcdefg": PRINT "["; fixed; "]"; LEN(fixed)
fixed = "x": PRINT "["; fixed; "]"
i = 7.6: s = "text": PRINT i; s
PRINT limit; greeting$
READ n1, n2$, n3#
PRINT n1; n2$; n3#
RESTORE second
READ w$: PRINT w$
RESTORE
READ n1: PRINT n1
m1 = 1: m2 = 2: SWAP m1, m2: PRINT m1; m2
t1$ = "left": t2$ = "right": SWAP t1$, t2$: PRINT t1$; " "; t2$
LET v = 5: PRINT v
PRINT a.b.c
a.b.c = 9: PRINT a.b.c
SYSTEM
DATA 10, "ten, quoted", 2.5
second:
DATA  spaced word  , 4
