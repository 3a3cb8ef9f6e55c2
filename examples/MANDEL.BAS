' MANDEL: the Mandelbrot set in 320 x 200 with 256 colours of a palette made
' for it. Any key ends.  Run:  kxc run examples/MANDEL.BAS
SCREEN 13
_TITLE "Mandelbrot"
' A palette from deep blue through orange to white; colour 0 stays black.
FOR c = 1 TO 255
  t = c / 255
  r = INT(63 * t ^ 0.5): g = INT(63 * t ^ 1.5): b = INT(63 * (1 - t) ^ 2 * 0.9 + 10 * t)
  PALETTE c, b * 65536 + g * 256 + r
NEXT
CONST limit = 256
FOR py = 0 TO 199
  y0 = (py - 100) / 80
  FOR px = 0 TO 319
    x0 = (px - 215) / 90
    x = 0: y = 0: n = 0
    DO WHILE x * x + y * y <= 4 AND n < limit
      xt = x * x - y * y + x0
      y = 2 * x * y + y0
      x = xt
      n = n + 1
    LOOP
    IF n = limit THEN PSET (px, py), 0 ELSE PSET (px, py), 1 + (n * 7) MOD 255
  NEXT
NEXT
_PRINTSTRING (4, 188), "any key ends"
SLEEP
SYSTEM
