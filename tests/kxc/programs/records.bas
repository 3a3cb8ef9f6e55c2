' GET and PUT of records: RANDOM files of TYPEs, BINARY files of numbers,
' strings and whole arrays, and the file position they leave.
TYPE person
  name AS STRING * 8
  age AS INTEGER
  weight AS SINGLE
END TYPE
DIM p AS person, q AS person
OPEN "people.dat" FOR RANDOM AS #1 LEN = LEN(p)
p.name = "ADA": p.age = 36: p.weight = 55.5
PUT #1, 1, p
p.name = "GRACE": p.age = 85: p.weight = 60.25
PUT #1, 3, p
PRINT "records"; LOF(1); LOC(1)
GET #1, 1, q
PRINT q.name; q.age; q.weight; LOC(1)
GET #1, , q
PRINT "["; q.name; "]"; q.age
GET #1, , q
PRINT q.name; q.age; q.weight
CLOSE #1

OPEN "numbers.bin" FOR BINARY AS #2
i% = -2: l& = 100000: d# = 1 / 3: s$ = "TEXT"
PUT #2, , i%: PUT #2, , l&: PUT #2, , d#: PUT #2, , s$
PRINT "binary"; LOF(2); SEEK(2)
d# = 0: GET #2, 7, d#: t$ = SPACE$(3): GET #2, 15, t$
PRINT d#; "["; t$; "]"; SEEK(2)
DIM a(3) AS INTEGER
FOR k = 0 TO 3: a(k) = k * 11: NEXT
PUT #2, 1, a()
PRINT "array"; LOF(2); SEEK(2)
i% = 0: l& = 0: d# = 0
GET #2, 1, i%
GET #2, , l&
PRINT i%; l&; SEEK(2)
DIM b(1) AS INTEGER
GET #2, 3, b(0)
PRINT b(0); b(1)
LOCK #2, 1 TO 4
UNLOCK #2, 1 TO 4
CLOSE #2
OPEN "numbers.bin" FOR INPUT AS #3
ON ERROR GOTO oops
GET #3, 1, i%
CLOSE
KILL "people.dat": KILL "numbers.bin"
END
oops:
PRINT "error"; ERR
RESUME NEXT
