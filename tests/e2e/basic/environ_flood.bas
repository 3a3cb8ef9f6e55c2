' Changes its environment from the first statement on, while the window
' thread starts the toolkit and draws its first frames, both of which read
' the process environment: "many" sets 1,000 variables, "large" one of 1 MB
' and 20,000 others. Once the window exists it prints how many it set and
' the last one's value, and ends.
$CONSOLE
count& = 1000
IF COMMAND$ = "large" THEN
  ENVIRON "KX_FLOOD_LARGE=" + STRING$(1048576, "x")
  count& = 20000
END IF
FOR i& = 0 TO count& - 1
  n$ = LTRIM$(STR$(i&))
  ENVIRON "KX_FLOOD_" + n$ + "=" + n$
NEXT
DO WHILE _SCREENEXISTS = 0
  _DELAY 0.01
LOOP
v$ = ENVIRON$("KX_FLOOD_" + LTRIM$(STR$(count& - 1)))
IF v$ = "" THEN v$ = "none"
_ECHO "set" + STR$(count&) + ", last " + v$
SYSTEM
