' Errors and their handlers: RESUME NEXT inside a FUNCTION, RESUME to a
' label out of a procedure, RESUME retrying a mended statement, ERR, ERL
' of a numbered line, _ERRORLINE, a failing condition taking THEN, RETURN
' without GOSUB, ERROR n, ON ERROR GOTO 0.
10 ON ERROR GOTO 1000
20 PRINT "f ="; Risky(0)
30 CALL Deep(3)
40 PRINT "not reached"
50 PRINT "resumed at 50"
60 d = 0
70 PRINT "retry"; 10 / d
80 IF 1 / 0 THEN PRINT "then after error" ELSE PRINT "else"
90 ERROR 57
100 RETURN
110 PRINT "err after resume"; ERR
120 ON ERROR GOTO 0
130 PRINT "last"
140 SYSTEM
1000 PRINT "handler: err"; ERR; "erl"; ERL; "line"; _ERRORLINE
1010 IF ERR = 11 AND ERL = 70 THEN d = 2: RESUME
1020 IF ERR = 5 THEN RESUME 50
1030 RESUME NEXT

FUNCTION Risky (x)
  Risky = 1
  y = 1 / x
  Risky = 2
  PRINT "inside after error"
END FUNCTION

SUB Deep (n)
  IF n > 0 THEN CALL Deep(n - 1): EXIT SUB
  PRINT "bottom"
  ERROR 5
  PRINT "not at bottom"
END SUB
