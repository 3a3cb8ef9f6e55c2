_TITLE "HALCYONIX"
ON ERROR GOTO ErrorHandler
SYSDIR$ = "SYSTEM"
DIM SHARED FIUSE(255) AS _BIT
DIM SHARED PMEM(16777216) AS _BYTE
DIM DBUG AS STRING
SCREEN 0
INCON = 1
' The version and revision in the banner.
VER$ = "0.0.0.1"
REV$ = "Beta"
PRINT "Halcyonix Operating System v" + VER$ + " r" + REV$
PRINT "Looking for boot script..."
CHDIR ".."
IF _FILEEXISTS("AUTORUN.EBF") THEN FILE$ = "AUTORUN.EBF"
IF _FILEEXISTS("AUTOEXEC.EBF") THEN FILE$ = "AUTOEXEC.EBF"
CHDIR SYSDIR$
IF FILE$ <> "" THEN ERRCODE = OPENFILE(FILE$, 255, 0)
' The script, when there is one, is open on its channel; the system
' takes it from here in a later stage.
'
'
END
ErrorHandler:
IF ERR > 51 THEN
    IF INCON <> 1 THEN END
    HEC$ = HEX$(ERR)
    PRINT "ERROR "; STRING$(4 - LEN(HEC$), 48); HEC$; " while "; DBUG$
    DBUG$ = ""
    RESUME NEXT
    ' Errors 1 to 51 stop the system: the screen turns red.
ELSE
    SCREEN 0
    COLOR 0, 4
    CLS
    HEC$ = HEX$(ERR)
    PRINT "ERROR: "; STRING$(4 - LEN(HEC$), 48); HEC$; " while "; DBUG$
    DBUG$ = ""
    SLEEP
    SYSTEM
END IF
FUNCTION OPENFILE (file$, filenum AS _UNSIGNED _BYTE, mode)
    IF FIUSE(filenum) THEN
        FOR filenum = 0 TO 255
            IF FIUSE(filenum) <> -1 THEN EXIT FOR
        NEXT
    END IF
    FIUSE(filenum) = -1
    IF mode = 0 THEN OPEN file$ FOR BINARY AS #filenum
    IF mode = 1 THEN
        IF _FILEEXISTS(file$) THEN OPEN file$ FOR INPUT AS #filenum: GOTO Opened
        ' no such file: the result says so
        OPENFILE = -1: EXIT FUNCTION
    Opened: END IF
    IF mode = 2 THEN OPEN file$ FOR OUTPUT AS #filenum
    IF mode = 3 THEN OPEN file$ FOR APPEND AS #filenum
    IF mode = 4 THEN OPEN file$ FOR RANDOM AS #filenum
END FUNCTION
