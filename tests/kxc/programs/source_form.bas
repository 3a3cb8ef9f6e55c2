' Source form: CR LF line ends, lower case keywords, labels and line
' numbers, ':' between statements, REM, metacommands, and $INCLUDE,
' whose lines reach the statement check with their own numbers.
'$CONSOLE:ONLY
on error goto handler
rem a remark: print "no"
print "lower"; : print " case" ' a comment
call helper(2)
call helper(0)
goto skip
print "skipped"
skip: print "after skip"
system
handler:
print "error"; err; "main line"; _errorline; "included line"; _inclerrorline; " "; _inclerrorfile$
resume next
'$INCLUDE: 'include/helper.bi'
