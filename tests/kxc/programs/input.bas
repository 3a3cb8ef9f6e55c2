' INPUT and LINE INPUT from standard input: prompts, several variables,
' quoted text with commas, characters a number cannot take, and the end of
' the input, which is error 62 for the handler.
ON ERROR GOTO ended
INPUT "Name"; n$
PRINT "Hello, "; n$
INPUT "Two numbers", a, b
PRINT "sum"; a + b
INPUT a%, q$
PRINT a%; "["; q$; "]"
LINE INPUT "Line: "; l$
PRINT "["; l$; "]"
LINE INPUT l$
PRINT "["; l$; "]"
INPUT x
PRINT "x ="; x
INPUT "more"; m$
PRINT "not reached"
SYSTEM
ended:
PRINT "error"; ERR
SYSTEM
