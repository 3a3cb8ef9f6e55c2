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
