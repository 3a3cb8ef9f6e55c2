' The translator's benchmark workloads: each SUB is one loop that the
' benchmark also runs as plain C++, in the same process.
SUB NumericLoop (n AS LONG, result AS DOUBLE)
  FOR i& = 1 TO n: s# = s# + i& * 2: NEXT
  result = s#
END SUB

' The sieve of Eratosthenes over 8,190 flags, the classic BASIC benchmark.
SUB Sieve (primes AS INTEGER)
  DIM flags(8190) AS INTEGER
  primes = 0
  FOR i% = 0 TO 8190: flags(i%) = -1: NEXT
  FOR i% = 0 TO 8190
    IF flags(i%) THEN
      p% = i% + i% + 3
      k% = i% + p%
      WHILE k% <= 8190: flags(k%) = 0: k% = k% + p%: WEND
      primes = primes + 1
    END IF
  NEXT
END SUB

SUB GosubLoop (n AS LONG, total AS LONG)
  FOR i& = 1 TO n: GOSUB AddOne: NEXT
  EXIT SUB
AddOne:
  total = total + 1
  RETURN
END SUB

SUB StringLoop (n AS LONG, a$, b$)
  FOR i& = 1 TO n: b$ = LEFT$(a$, 5) + STR$(i&): NEXT
END SUB

SUB AppendLoop (n AS LONG, s$, x$)
  FOR i& = 1 TO n: s$ = s$ + x$: NEXT
END SUB

' The Mandelbrot set on the SCREEN 13 page: 320 x 200 pixels, up to 256
' iterations each. count: the iterations, to check the work was done.
SUB Mandelbrot (count AS LONG)
  count = 0
  FOR py% = 0 TO 199
    y0! = (py% - 100) / 80
    FOR px% = 0 TO 319
      x0! = (px% - 215) / 90
      x! = 0: y! = 0: n% = 0
      DO WHILE x! * x! + y! * y! <= 4 AND n% < 256
        xt! = x! * x! - y! * y! + x0!
        y! = 2 * x! * y! + y0!
        x! = xt!
        n% = n% + 1
      LOOP
      PSET (px%, py%), n% AND 255
      count = count + n%
    NEXT
  NEXT
END SUB

SUB PsetLoop (n AS LONG)
  FOR i& = 1 TO n: PSET (i& MOD 320, (i& \ 320) MOD 200), i& AND 255: NEXT
END SUB

' A text of n lines built in memory, then searched: the lines holding "77",
' and the total length of the upper-cased lines.
SUB TextSearch (n AS LONG, found AS LONG, total AS LONG)
  REDIM lines$(1 TO n)
  FOR i& = 1 TO n: lines$(i&) = "line" + STR$(i&) + " of the text": NEXT
  found = 0: total = 0
  FOR i& = 1 TO n
    IF INSTR(lines$(i&), "77") THEN found = found + 1
    total = total + LEN(UCASE$(lines$(i&)))
  NEXT
END SUB
