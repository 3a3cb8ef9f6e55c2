' The string library and conversions between numbers and text.
s$ = "Hello, World"
PRINT LEN(s$); LEFT$(s$, 5); "|"; RIGHT$(s$, 5); "|"; MID$(s$, 8, 3); "|"; MID$(s$, 8)
PRINT INSTR(s$, "o"); INSTR(6, s$, "o"); INSTR(s$, "xyz"); INSTR(s$, "")
PRINT UCASE$(s$); " "; LCASE$(s$)
PRINT "["; LTRIM$("  a b  "); "]["; RTRIM$("  a b  "); "]["; _TRIM$("  a b  "); "]"
PRINT "["; SPACE$(3); "]"; STRING$(4, "*"); STRING$(3, 65); CHR$(97); ASC("a"); ASC("abc", 2)
PRINT STR$(42); STR$(-42); STR$(3.5); VAL("  12abc"); VAL("-1.5E2"); VAL("&H1F"); VAL("x")
PRINT HEX$(255); " "; HEX$(-1); " "; OCT$(8); " "; HEX$(65535&)
m$ = "abcdef": MID$(m$, 2, 3) = "XYZW": PRINT m$
MID$(m$, 5) = "12": PRINT m$
PRINT MKI$(16706); CVI("AB"); CVL(MKL$(123456)); CVD(MKD$(1.25))
PRINT LEN(MKS$(1)); LEN(MKD$(1))
a$ = "": FOR i = 1 TO 5: a$ = a$ + CHR$(48 + i): NEXT: PRINT a$
b$ = "x": b$ = b$ + b$ + b$: PRINT b$
PRINT "abc" < "abd"; "abc" < "ab"; "" < "a"; "a" = "a "
c$ = "12" + "34": PRINT VAL(c$) + 1
PRINT 1.5; 100; -0.25; 1E-10; 123456.7; 1234567.8; 12345678.9#; 2 / 3
PRINT _INSTRREV("a.b.c", "."); _INSTRREV(3, "a.b.c", ".")
SYSTEM
