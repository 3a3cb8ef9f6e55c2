' Five different errors, each reported at its place in one run.
PRINT "start"
GOTO nowhere
x$ = 5
FOR i = 1 TO 3: PRINT i: NEXT i
NEXT j
FROBNICATE 1, 2
IF x THEN
  PRINT "no end"
