' Graphics statements in every form, read back with POINT and PMAP; what
' the program reports goes to the console, the drawing stays on the page.
DECLARE SUB say (t$)
SCREEN 13
PSET (10, 10), 4
PSET STEP(1, 0)
PRESET (12, 10)
say "pset" + STR$(POINT(10, 10)) + STR$(POINT(11, 10)) + STR$(POINT(12, 10)) + STR$(POINT(0)) + STR$(POINT(1))
LINE (0, 0)-(10, 0), 2, , &HF0F0
FOR x = 0 TO 11: r$ = r$ + STR$(POINT(x, 0)): NEXT
say "style" + r$
LINE (25, 22)-(20, 20), 3, BF
n = 0
FOR y = 19 TO 23: FOR x = 19 TO 26: n = n - (POINT(x, y) = 3): NEXT x, y
say "bf" + STR$(n)
LINE -(30, 30), 5
say "cursor" + STR$(POINT(30, 30)) + STR$(POINT(0)) + STR$(POINT(1))
LINE (40, 40)-STEP(5, 5), 6, B
say "box" + STR$(POINT(40, 40)) + STR$(POINT(45, 45)) + STR$(POINT(42, 42)) + STR$(POINT(45, 42))
CIRCLE (100, 100), 20, 7
say "circle" + STR$(POINT(120, 100)) + STR$(POINT(100, 100)) + STR$(POINT(100, 100 - 17))
PAINT (100, 100), 8, 7
say "paint" + STR$(POINT(100, 100)) + STR$(POINT(110, 100)) + STR$(POINT(121, 100))
CIRCLE STEP(0, 0), 10, 9, , , 1
say "aspect" + STR$(POINT(100, 90)) + STR$(POINT(110, 100))
VIEW (50, 50)-(60, 60), 1, 14
PSET (0, 0), 9
say "view" + STR$(POINT(0, 0)) + STR$(POINT(49, 49)) + STR$(POINT(11, 11)) + STR$(POINT(10, 10))
VIEW SCREEN (50, 50)-(60, 60)
PSET (0, 0), 9
PSET (55, 55), 10
say "view screen" + STR$(POINT(0, 0)) + STR$(POINT(55, 55))
VIEW
WINDOW (0, 0)-(10, 10)
say "window" + STR$(PMAP(0, 0)) + STR$(PMAP(0, 1)) + STR$(PMAP(10, 0)) + STR$(PMAP(10, 1))
WINDOW SCREEN (0, 0)-(10, 10)
say "window screen" + STR$(PMAP(0, 1)) + STR$(PMAP(10, 1))
WINDOW
DIM a(100) AS INTEGER
GET (20, 20)-(25, 22), a()
say "get" + STR$(a(0)) + STR$(a(1)) + STR$(a(2))
PUT (200, 100), a(), PSET
say "put" + STR$(POINT(200, 100)) + STR$(POINT(205, 102)) + STR$(POINT(206, 102))
PUT (200, 100), a
say "put xor" + STR$(POINT(200, 100))
DRAW "BM150,150 C12 R10"
say "draw" + STR$(POINT(150, 150)) + STR$(POINT(160, 150)) + STR$(POINT(161, 150))
img& = _NEWIMAGE(40, 30, 32)
say "image" + STR$(_WIDTH(img&)) + STR$(_HEIGHT(img&)) + STR$(_PIXELSIZE(img&)) + STR$(_PIXELSIZE) + STR$(_WIDTH)
_DEST img&
CLS , _RGB32(0, 0, 255)
PSET (1, 1), _RGB32(255, 0, 0)
LINE (2, 2)-(3, 3), _RGBA32(0, 255, 0, 128), BF
_SOURCE img&
say "rgb " + HEX$(POINT(1, 1)) + " " + HEX$(POINT(2, 2)) + " " + HEX$(POINT(0, 0)) + STR$(_RED32(POINT(1, 1))) + STR$(_ALPHA32(POINT(1, 1)))
big& = _NEWIMAGE(8, 8, 32)
_PUTIMAGE (0, 0)-(7, 7), img&, big&, (0, 0)-(3, 3)
_SOURCE big&
say "putimage " + HEX$(POINT(0, 0)) + " " + HEX$(POINT(2, 2)) + " " + HEX$(POINT(3, 3)) + " " + HEX$(POINT(5, 5))
_PUTIMAGE , img&, big&
say "putimage " + HEX$(POINT(0, 0)) + " " + HEX$(POINT(7, 7))
_DEST 0: _SOURCE 0
_FREEIMAGE img&: _FREEIMAGE big&
say "palette" + STR$(_RGB(255, 0, 0)) + " " + HEX$(_PALETTECOLOR(4))
PALETTE 4, 63
say "palette" + " " + HEX$(_PALETTECOLOR(4))
PALETTE
say "palette" + " " + HEX$(_PALETTECOLOR(4))
_PRINTSTRING (0, 180), "Hi"
s = 0
FOR y = 180 TO 187: FOR x = 0 TO 15: s = s + POINT(x, y): NEXT x, y
say "printstring" + STR$(s) + STR$(_PRINTWIDTH("Hi")) + STR$(_FONTWIDTH) + STR$(_FONTHEIGHT)
ON ERROR GOTO oops
CIRCLE (10, 10), 5, , 7
say "after"
END
oops:
say "error" + STR$(ERR) + " at" + STR$(ERL)
RESUME NEXT

SUB say (t$)
d& = _DEST: _DEST _CONSOLE: PRINT t$: _DEST d&
END SUB
