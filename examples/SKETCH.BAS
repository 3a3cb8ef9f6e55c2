' SKETCH: draw with the mouse in SCREEN 12. Hold the left button to draw,
' the right button picks the next colour, C clears, Escape ends.
' Run:  kxc run examples/SKETCH.BAS
SCREEN 12
_TITLE "Sketch"
colour = 15
GOSUB palettebar
DO
  DO WHILE _MOUSEINPUT
    x = _MOUSEX: y = _MOUSEY
    IF _MOUSEBUTTON(1) THEN
      IF drawing THEN LINE (lastx, lasty)-(x, y), colour ELSE PSET (x, y), colour
      drawing = -1: lastx = x: lasty = y
    ELSE
      drawing = 0
    END IF
    IF _MOUSEBUTTON(2) AND NOT wasright THEN colour = colour MOD 15 + 1: GOSUB palettebar
    wasright = _MOUSEBUTTON(2)
  LOOP
  k$ = INKEY$
  IF UCASE$(k$) = "C" THEN CLS: GOSUB palettebar
  _LIMIT 200
LOOP UNTIL k$ = CHR$(27)
SYSTEM

palettebar:
  LINE (0, 458)-(639, 479), 0, BF
  FOR c = 1 TO 15
    LINE ((c - 1) * 20 + 2, 462)-(c * 20, 478), c, BF
  NEXT
  LINE ((colour - 1) * 20, 460)-(colour * 20 + 1, 479), 15, B
  LOCATE 30, 40: PRINT "left: draw  right: colour  C: clear";
RETURN
