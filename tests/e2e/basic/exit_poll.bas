' Handles the close button itself: polls _EXIT, reports the request, and
' shows that the next poll no longer sees it. With the argument "end" it
' goes straight to END's key wait instead.
$CONSOLE
IF COMMAND$ = "end" THEN END
_ECHO "polling"
DO
  x = _EXIT
  IF x THEN
    _ECHO "exit request" + STR$(x)
    _ECHO "then" + STR$(_EXIT)
    SYSTEM
  END IF
  _DELAY 0.05
LOOP
