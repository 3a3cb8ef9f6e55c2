' Procedures: parameters by reference and BYVAL, whole arrays, recursion,
' STATIC, SHARED, DEF FN on one line and as a block, functions of every
' type, EXIT SUB and EXIT FUNCTION, CALL with and without the keyword.
DECLARE SUB Twice (n AS INTEGER)
DIM SHARED counter AS LONG
DIM numbers(1 TO 4) AS INTEGER
DEF FNsquare (x) = x * x
DEF FNlabel$ (n)
  IF n < 0 THEN FNlabel$ = "negative": EXIT DEF
  FNlabel$ = "n=" + LTRIM$(STR$(n))
END DEF
v% = 5
Twice v%
PRINT "v%="; v%
CALL Twice(v%)
PRINT "v%="; v%
Twice (v%)
PRINT "parenthesised, unchanged:"; v%
Twice 7
w! = 2.5: Twice (w!): PRINT "w!="; w!
ByValue v%: PRINT "after byval"; v%
FOR i = 1 TO 4: numbers(i) = i: NEXT
PRINT "sum"; Total(numbers())
Fill numbers(), 9: PRINT numbers(1); numbers(4)
PRINT Factorial(12); Fib(15)
CALL Count: Count: Count
PRINT "counter"; counter
PRINT FNsquare(4); FNlabel$(-1); " "; FNlabel$(42)
a$ = "abc": Change a$: PRINT a$
PRINT Upper$("mixed Case")
Early 1: Early 5
PRINT Half#(3); Whole&(2.5)
LocalArray 3: LocalArray 5
SYSTEM

SUB Twice (n AS INTEGER)
  n = n * 2
END SUB

SUB ByValue (BYVAL n AS INTEGER)
  n = 1000
  PRINT "inside byval"; n
END SUB

FUNCTION Total (arr() AS INTEGER)
  FOR k = LBOUND(arr) TO UBOUND(arr): t = t + arr(k): NEXT
  Total = t
END FUNCTION

SUB Fill (arr() AS INTEGER, value AS INTEGER)
  FOR k = LBOUND(arr) TO UBOUND(arr): arr(k) = value: NEXT
END SUB

FUNCTION Factorial# (n)
  IF n <= 1 THEN Factorial# = 1 ELSE Factorial# = n * Factorial#(n - 1)
END FUNCTION

FUNCTION Fib& (n AS INTEGER)
  IF n < 2 THEN Fib& = n: EXIT FUNCTION
  Fib& = Fib&(n - 1) + Fib&(n - 2)
END FUNCTION

SUB Count STATIC
  calls = calls + 1
  counter = counter + 1
  PRINT "call"; calls
END SUB

SUB Change (s$)
  s$ = s$ + "def"
END SUB

FUNCTION Upper$ (s$)
  Upper$ = UCASE$(s$)
END FUNCTION

SUB Early (n)
  IF n > 2 THEN EXIT SUB
  PRINT "early"; n
END SUB

FUNCTION Half# (x#)
  Half# = x# / 2
END FUNCTION

FUNCTION Whole& (x!)
  Whole& = x!
END FUNCTION

SUB LocalArray (n)
  DIM cells(1 TO n) AS INTEGER
  FOR k = 1 TO n: cells(k) = k * k: NEXT
  PRINT "local"; cells(n); UBOUND(cells)
END SUB
