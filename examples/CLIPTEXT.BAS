' CLIPTEXT: text to and from the clipboard. What you type is copied; the
' clipboard's text is shown in upper case and put back.
' Run:  kxc run examples/CLIPTEXT.BAS
_TITLE "Clipboard"
PRINT "On the clipboard now:"
PRINT "  "; CHR$(34); _CLIPBOARD$; CHR$(34)
LINE INPUT "Text to copy (empty to keep it): "; t$
IF LEN(t$) THEN _CLIPBOARD$ = t$
c$ = _CLIPBOARD$
PRINT "The clipboard holds"; LEN(c$); "characters."
_CLIPBOARD$ = UCASE$(c$)
PRINT "Now in upper case: "; _CLIPBOARD$
PRINT "Paste it anywhere. Any key ends."
SLEEP
SYSTEM
