' Files: OUTPUT, APPEND and INPUT, PRINT # with zones and numbers, WRITE #
' read back by INPUT #, LINE INPUT #, EOF, LOF, FREEFILE, KILL, and the
' errors of a missing file and a closed channel.
ON ERROR GOTO trouble
f = FREEFILE
OPEN "kxc_files_test.txt" FOR OUTPUT AS #f
PRINT #f, "first line"
PRINT #f, 1; -2, "zone"
WRITE #f, "quoted, text", 42, 2.5
CLOSE #f
OPEN "kxc_files_test.txt" FOR APPEND AS #1
PRINT #1, "appended";
PRINT #1, " end"
CLOSE 1
OPEN "kxc_files_test.txt" FOR INPUT AS #2
PRINT "length"; LOF(2)
LINE INPUT #2, l$: PRINT "["; l$; "]"
LINE INPUT #2, l$: PRINT "["; l$; "]"
INPUT #2, t$, n, d#
PRINT t$; "|"; n; "|"; d#
LINE INPUT #2, l$: PRINT "["; l$; "]"
PRINT "eof"; EOF(2)
CLOSE
OPEN "kxc_files_test.txt" FOR INPUT AS #3
DO UNTIL EOF(3): LINE INPUT #3, l$: c = c + 1: LOOP
CLOSE #3
PRINT "lines"; c
KILL "kxc_files_test.txt"
OPEN "kxc_files_test.txt" FOR INPUT AS #4
PRINT #5, "closed"
PRINT "done"
SYSTEM
trouble:
PRINT "error"; ERR
RESUME NEXT
