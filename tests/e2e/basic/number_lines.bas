' Writes numbers to a file and reads them back, building one long string
' from the lines, shows what it read, a DOUBLE as text and a blended pixel,
' then says "done" on standard output, waits for a key and ends.
$CONSOLE
folder$ = COMMAND$(1)
IF folder$ = "" THEN folder$ = "."
OPEN folder$ + "/numbers.txt" FOR OUTPUT AS #1
FOR i = 1 TO 2000: PRINT #1, i * .5!: NEXT: CLOSE #1
OPEN folder$ + "/numbers.txt" FOR INPUT AS #1
DO UNTIL EOF(1): LINE INPUT #1, l$: s$ = s$ + l$: n = n + 1: LOOP
PRINT "lines " + LTRIM$(STR$(n)) + " length " + LTRIM$(STR$(LEN(s$)))
PRINT "last " + l$
PRINT "third " + STR$(1# / 3)
img& = _NEWIMAGE(8, 8, 32): _DEST img&: _SOURCE img&: PSET (1, 1), &H90FF0000
h$ = HEX$(POINT(1, 1)): _DEST 0: PRINT "blend " + h$
_ECHO "done"
DO: _LIMIT 20: LOOP WHILE INKEY$ = ""
SYSTEM
