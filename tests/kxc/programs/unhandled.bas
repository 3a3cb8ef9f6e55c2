' An error no handler takes ends a console-only program: the report goes
' to standard error and the exit status is 2.
PRINT "before"
PRINT SQR(-1)
PRINT "after"
