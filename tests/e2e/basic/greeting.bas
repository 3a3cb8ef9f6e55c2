' A translated program in its window: INPUT typed at the keyboard, PRINT
' on the text screen, and the close button, which it notices through _EXIT.
_TITLE "kxc greeting"
PRINT "Type a name:"
INPUT "Name"; n$
PRINT "Hello, "; n$; "!"
FOR i = 1 TO 3: PRINT i;: NEXT: PRINT
PRINT "Waiting for the close button"
DO
  _LIMIT 100
LOOP UNTIL _EXIT
SYSTEM
