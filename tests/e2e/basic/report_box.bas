' No error handler: the OPEN on line 18 fails with "File not found", and
' the runtime's box asks whether to go on. Answered Yes, the program says
' so on standard output and ends.
$CONSOLE
'
'
'
'
'
'
'
'
'
'
'
'
'
'
'
OPEN "missing.txt" FOR INPUT AS #1
_ECHO "continued"
SYSTEM
