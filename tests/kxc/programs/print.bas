' PRINT on the console counts columns as an 80-column screen does: zones
' of 14, TAB, SPC, POS, long lines wrapping, numbers kept on one line; and
' PRINT USING and WRITE.
PRINT "a", "b", "c"
PRINT 1, -2, 3.5
PRINT "x";: PRINT "y"
PRINT "col"; POS(0)
PRINT TAB(10); "ten"; TAB(5); "five on the next line"
PRINT "s"; SPC(4); "after four"
PRINT "abc"; TAB(2); "tab back"
PRINT STRING$(79, "-"); "+"; "next"
PRINT STRING$(78, "="); 12345
PRINT STRING$(80, "#")
PRINT "end of eighty"
FOR i = 1 TO 6: PRINT i,: NEXT: PRINT
PRINT USING "###.##"; 3.14159; -2.5
PRINT USING "Name: &, age ##"; "Ann"; 31
PRINT USING "**$#,###.##"; 1234.5
PRINT USING "!"; "xyz"
WRITE 1, "two", 3.5, -4
WRITE
PRINT "done"; : PRINT POS(0)
SYSTEM
