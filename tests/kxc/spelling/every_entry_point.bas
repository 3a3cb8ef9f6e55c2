' Every statement and function of the runtime, once, in the forms that reach
' its entry points. Translated and compiled by the entry-point test, never run:
' the programs under programs/ show what each one does.
DEFLNG A-Z
TYPE registers
  ax AS INTEGER: bx AS INTEGER: cx AS INTEGER: dx AS INTEGER
  bp AS INTEGER: si AS INTEGER: di AS INTEGER: flags AS INTEGER
  ds AS INTEGER: es AS INTEGER
END TYPE
DIM r AS registers, m AS _MEM, k AS INTEGER, u AS _UNSIGNED _INTEGER64, f AS _FLOAT, d AS DOUBLE
DIM pal(255) AS LONG, pic(100) AS INTEGER, t AS STRING * 4, v$

' Screens, images and colours.
SCREEN 12
i = _NEWIMAGE(64, 64, 32): j = _COPYIMAGE(i): j = _COPYIMAGE(i, 32)
_DEST i: _SOURCE i: i = _DEST + _SOURCE + _DISPLAY
i = _WIDTH(i) + _HEIGHT + _PIXELSIZE(i) + _DEFAULTCOLOR + _BACKGROUNDCOLOR(i) + _BLEND(i) + _CLEARCOLOR
_BLEND i: _DONTBLEND: _CLEARCOLOR 4, i: _CLEARCOLOR _NONE: _SETALPHA 128, 1 TO 5, i
c~& = _RGB(1, 2, 3) + _RGBA(1, 2, 3, 4, i) + _RGB32(9) + _RGBA32(1, 2, 3, 4)
i = _ALPHA(c~&) + _RED(c~&, i) + _GREEN(c~&) + _BLUE(c~&) + _ALPHA32(c~&)
c~& = _PALETTECOLOR(3): _PALETTECOLOR 3, c~&, 0: _COPYPALETTE: _COPYPALETTE 0, 0
PALETTE 1, 2: PALETTE: PALETTE USING pal(0)
PCOPY 0, 1: _FREEIMAGE j: _FREEIMAGE

' Graphics.
PSET (1, 1), 2: PRESET STEP(1, 1): LINE (0, 0)-(9, 9), 3, BF, &HFF00
CIRCLE (50, 50), 10, 4, 0, 3, 0.5: PAINT (50, 50), 5, 4: PAINT (50, 50), CHR$(255), 4, CHR$(0)
DRAW "U10 R10": VIEW (1, 1)-(20, 20), 1, 2: VIEW: WINDOW SCREEN (0, 0)-(1, 1): WINDOW
VIEW PRINT 1 TO 10: VIEW PRINT
d = POINT(1, 1) + POINT(0) + PMAP(1, 0)
_PUTIMAGE (0, 0)-STEP(10, 10), i, 0, (1, 1)-(5, 5), _SMOOTH
GET (0, 0)-(9, 9), pic(): PUT (10, 10), pic(), PSET

' Fonts and text.
h = _LOADFONT("font.ttf", 16, "MONOSPACE"): _FONT h, 0: _FREEFONT h
i = _FONT + _FONTWIDTH(h) + _FONTHEIGHT + _PRINTWIDTH("x", 0) + _PRINTMODE
_PRINTMODE _KEEPBACKGROUND: _PRINTSTRING (1, 1), "x", 0
KEY 1, "LIST": KEY ON: KEY OFF: KEY LIST: KEY(1) ON
LOCATE 1, 1, 1: i = CSRLIN + POS(0) + SCREEN(1, 1, 1)
COLOR 7, 0: _BLINK ON: i = _BLINK: _CONTROLCHR OFF: i = _CONTROLCHR
_MAPUNICODE 9472 TO 196: i = _MAPUNICODE(196)
LPRINT "x": i = LPOS(0)

' The keyboard, the mouse and the other devices.
v$ = INKEY$: i = _KEYHIT + _KEYDOWN(27): _KEYCLEAR
_CAPSLOCK ON: _NUMLOCK OFF: _SCROLLLOCK ON: i = _CAPSLOCK + _NUMLOCK + _SCROLLLOCK
i = _MOUSEINPUT + _MOUSEX + _MOUSEY + _MOUSEBUTTON(1) + _MOUSEWHEEL + _MOUSEMOVEMENTX + _MOUSEMOVEMENTY
q = _MOUSEPIPEOPEN: _MOUSEINPUTPIPE q: _MOUSEPIPECLOSE q
_MOUSEHIDE: _MOUSESHOW "LINK": _MOUSEMOVE 1, 1
i = _DEVICES + _DEVICEINPUT + _BUTTON(1) + _BUTTONCHANGE(1) + _AXIS(1) + _WHEEL(1)
i = _LASTBUTTON + _LASTAXIS(1) + _LASTWHEEL + STICK(0) + STRIG(0): v$ = _DEVICE$(1)
STRIG(0) ON
v$ = _CLIPBOARD$: _CLIPBOARD$ = "x"

' The window.
_TITLE "x": _SCREENMOVE _MIDDLE: _SCREENMOVE 1, 2: i = _SCREENX + _SCREENY + _SCREENEXISTS
_FULLSCREEN _SQUAREPIXELS, _SMOOTH: _ALLOWFULLSCREEN _ALL, _OFF: i = _FULLSCREEN + _FULLSCREENSMOOTH
_RESIZE ON, _STRETCH: i = _RESIZE + _RESIZEWIDTH + _RESIZEHEIGHT + _SCALEDWIDTH + _SCALEDHEIGHT
i = _DESKTOPWIDTH + _DESKTOPHEIGHT + _SCREENICON: _SCREENICON
_SCREENHIDE: _SCREENSHOW: i = _SCREENHIDE: _DISPLAY: _AUTODISPLAY: i = _AUTODISPLAY
_FPS 30: _FPS _AUTO: _GLRENDER _BEHIND: _DISPLAYORDER _SOFTWARE, _HARDWARE, _GLRENDER, _HARDWARE1
_SCREENCLICK 1, 1: _SCREENPRINT "x": _PRINTIMAGE i: _LIMIT 30: _DELAY 0.1
_CONSOLE ON: _ECHO "x": _CONSOLETITLE "x": i = _CONSOLE + _EXIT

' Memory.
m = _MEM(pal()): m = _MEM(0, 4): m = _MEMNEW(8): m = _MEMIMAGE(i): i = _MEMEXISTS(m)
_MEMFILL m, m.OFFSET, 8, 1 AS _BYTE: _MEMFILL m, m.OFFSET, 8, 1 AS INTEGER: _MEMFILL m, m.OFFSET, 8, 1&
_MEMFILL m, m.OFFSET, 8, 1&&: _MEMFILL m, m.OFFSET, 8, 1!: _MEMFILL m, m.OFFSET, 8, 1#: _MEMFILL m, m.OFFSET, 8, f
_MEMFILL m, m.OFFSET, 8, "ab": _MEMPUT m, m.OFFSET, k: _MEMGET m, m.OFFSET, k: k = _MEMGET(m, m.OFFSET, INTEGER)
_MEMCOPY m, m.OFFSET, 4 TO m, m.OFFSET + 4: _MEMFREE m
DEF SEG = 0: POKE 1, 2: i = PEEK(1): BSAVE "x.bin", 0, 16: BLOAD "x.bin": BLOAD "x.bin", 0: DEF SEG

' Ports, interrupts and machine code.
OUT &H3C8, 1: i = INP(&H3C9): WAIT &H3DA, 8: WAIT &H3DA, 8, 8
CALL INTERRUPT(&H33, r, r): CALL INTERRUPTX(&H10, r, r): CALL ABSOLUTE(k, r.ax, 0)

' Files and records.
OPEN "x.dat" FOR RANDOM AS #1 LEN = 4: PUT #1, 1, t: GET #1, 1, t: PUT #1, , k: GET #1, , k
OPEN "x.dat" FOR BINARY AS #2: PUT #2, , v$: GET #2, , v$
LOCK #1, 1 TO 2: UNLOCK #1, 1 TO 2: LOCK 1: UNLOCK 1
i = LOC(1) + LOF(1) + SEEK(1) + EOF(1) + FREEFILE: SEEK #1, 1
OPEN "O", #3, "x.txt": PRINT #3, TAB(3); SPC(2); "x": WRITE #3, 1: CLOSE #3
OPEN "x.txt" FOR INPUT AS #3: INPUT #3, u, w&&: CLOSE
READ w&&: DATA 2
LSET t = "ab": RSET t = "cd"
NAME "x.txt" AS "y.txt": KILL "y.txt": MKDIR "d": CHDIR "d": CHDIR "..": RMDIR "d": FILES
LPRINT TAB(2); SPC(1); "x"
i = _FILEEXISTS("x") + _DIREXISTS("x"): v$ = _CWD$ + _STARTDIR$ + _DIR$("desktop") + _OS$

' The network.
host = _OPENHOST("TCP/IP:1234"): c = _OPENCONNECTION(host): cl = _OPENCLIENT("TCP/IP:1234:localhost")
i = _CONNECTED(c): v$ = _CONNECTIONADDRESS$(c): PUT #cl, , v$: GET #c, , v$: CLOSE host

' Processes and the environment.
SHELL "true": SHELL: SHELL _HIDE "true": SHELL _DONTWAIT "true": SHELL _HIDE _DONTWAIT "true"
i = SHELL("true") + _SHELLHIDE("true"): _SHELLHIDE "true"
ENVIRON "A=1": v$ = ENVIRON$("A") + ENVIRON$(1) + COMMAND$ + COMMAND$(1): i = _COMMANDCOUNT

' Numbers, strings and time.
d = _SEC(1) + _CSC(1) + _COT(1) + _ARCSEC(2) + _ARCCSC(2) + _ARCCOT(1) + _SECH(1) + _CSCH(1) + _COTH(1)
d = _D2R(1) + _R2D(1) + _D2G(1) + _G2D(1) + _R2G(1) + _G2R(1) + _PI + LOG(2) + SQR(2) + EXP(1)
f = EXP(f) + FIX(f): d = FIX(d): d = RND + TIMER + TIMER(0.01)
v$ = HEX$(d) + OCT$(d) + HEX$(k) + OCT$(k) + MKSMBF$(1) + MKDMBF$(1) + DATE$ + TIME$ + INPUT$(1)
d = CVSMBF(MKSMBF$(1)) + CVDMBF(MKDMBF$(1)) + ASC("a") + ASC("ab", 2)
i = _STRCMP("a", "b") + _STRICMP("a", "b") + _INSTRREV("ab", "b") + ("a" <= "b") + ("a" >= "b")
DATE$ = "01-01-2000": TIME$ = "00:00:00": RANDOMIZE 1: RANDOMIZE USING 2: RANDOMIZE TIMER
READ u: DATA 1
_ASSERT 1, "x": _ASSERT 1
CLEAR
RUN
RUN "other"
