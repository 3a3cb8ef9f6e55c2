' CLOCK: an analogue clock, drawn with CIRCLE and LINE once a second by an
' ON TIMER handler. Escape ends.  Run:  kxc run examples/CLOCK.BAS
SCREEN 12
_TITLE "Clock"
CONST pi = 3.14159265
cx = 320: cy = 240: radius = 200
CIRCLE (cx, cy), radius + 8, 7
CIRCLE (cx, cy), radius + 10, 7
FOR h = 1 TO 12
  a = h * pi / 6
  CIRCLE (cx + SIN(a) * (radius - 12), cy - COS(a) * (radius - 12)), 6, 15
  PAINT STEP(0, 0), 15, 15
NEXT
ON TIMER(1) GOSUB tick
TIMER ON
GOSUB tick
DO
  _LIMIT 20
LOOP UNTIL INKEY$ = CHR$(27)
SYSTEM

tick:
  ' Wipe the hands, then draw them for the time now.
  CIRCLE (cx, cy), radius - 24, 0: PAINT (cx, cy), 0, 0
  t$ = TIME$
  hours = VAL(LEFT$(t$, 2)) MOD 12: minutes = VAL(MID$(t$, 4, 2)): seconds = VAL(RIGHT$(t$, 2))
  hand (hours + minutes / 60) * pi / 6, radius * 0.5, 14
  hand (minutes + seconds / 60) * pi / 30, radius * 0.75, 11
  hand seconds * pi / 30, radius * 0.85, 12
  CIRCLE (cx, cy), 5, 15: PAINT (cx, cy), 15, 15
  LOCATE 30, 36: PRINT t$;
RETURN

SUB hand (angle, length, colour)
  SHARED cx, cy
  LINE (cx, cy)-(cx + SIN(angle) * length, cy - COS(angle) * length), colour
  LINE (cx + 1, cy)-(cx + 1 + SIN(angle) * length, cy - COS(angle) * length), colour
END SUB
