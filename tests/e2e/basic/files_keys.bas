' Announces itself, then reads five keys with INPUT$(5) and prints their
' codes, then two more with INPUT$(2): an extended key gives it only its 0 byte.
$CONSOLE
_ECHO "ready"
k$ = INPUT$(5)
GOSUB report
k$ = INPUT$(2)
GOSUB report
SYSTEM

report:
r$ = "got"
FOR i = 1 TO LEN(k$)
  r$ = r$ + STR$(ASC(k$, i))
NEXT
_ECHO r$
RETURN
