' Reads three lines with INPUT and LINE INPUT and reports the values on
' standard output, then waits for a key and ends. With the argument
' "graphics" it reads on a SCREEN 12 page.
$CONSOLE
IF COMMAND$ = "graphics" THEN SCREEN 12
_ECHO "ready"
INPUT "? ", a%, d#, s$
_ECHO "first " + LTRIM$(STR$(a%)) + " " + LTRIM$(STR$(d#)) + " " + s$
INPUT "? ", h&
_ECHO "second " + LTRIM$(STR$(h&))
LINE INPUT l$
_ECHO "line " + l$
DO: _LIMIT 20: LOOP WHILE INKEY$ = ""
SYSTEM
