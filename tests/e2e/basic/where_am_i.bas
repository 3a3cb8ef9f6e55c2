' Reports where the program runs: the working directory, the launch
' directory and the command line, one per line on standard output. A file
' on standard output takes a path of any length on one line, where the
' console would wrap it at its width; each line ends in LF alone.
lf$ = CHR$(10)
OPEN "/dev/stdout" FOR OUTPUT AS #1
PRINT #1, "cwd="; _CWD$; lf$;
PRINT #1, "start="; _STARTDIR$; lf$;
PRINT #1, "command=["; COMMAND$; "]"; lf$;
' The count names the program itself too, as argv does.
PRINT #1, "count="; LTRIM$(STR$(_COMMANDCOUNT + 1)); lf$;
CLOSE #1
SYSTEM
