' Writes two files and then ends by the road named in its first argument;
' the second argument is the folder for the files. The roads: "close"
' closes and idles, "end" ends with END, "system" with SYSTEM, "window"
' idles until the close button, "error" fails with an untrapped error 53.
$CONSOLE
road$ = COMMAND$(1)
folder$ = COMMAND$(2)
IF folder$ = "" THEN folder$ = "."
OPEN folder$ + "/data.bin" FOR BINARY AS #1
OPEN folder$ + "/text.txt" FOR OUTPUT AS #2
block$ = STRING$(100003, 0)
FOR i& = 0 TO 100002
  MID$(block$, i& + 1, 1) = CHR$((i& * 31 + 7) AND 255)
NEXT
PUT #1, , block$
FOR i = 1 TO 500
  PRINT #2, "line " + LTRIM$(STR$(i))
NEXT
SELECT CASE road$
  CASE "close"
    CLOSE
    _ECHO "closed"
  CASE "end"
    _ECHO "ending"
    END
  CASE "system"
    SYSTEM
  CASE "error"
    _ECHO "failing"
    ERROR 53
    _ECHO "continued"
    SYSTEM
  CASE ELSE
    _ECHO "waiting"
END SELECT
DO
  _DELAY 0.02
LOOP
