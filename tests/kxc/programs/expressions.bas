' Expressions: precedence, the types of results, integer division and MOD
' on rounded operands, relations, logic, literals, overflow and division by
' zero as errors a handler traps.
ON ERROR GOTO trap
PRINT 2 + 3 * 4; (2 + 3) * 4; 2 ^ 3 ^ 2; -2 ^ 2; 10 - 2 - 3
PRINT 7 \ 2; -7 \ 2; 7.5 \ 2; 6.5 \ 2; 7 MOD 3; -7 MOD 3; 7.6 MOD 3
PRINT 1 + 2 * 3 MOD 4 \ 2; 12 \ 4 MOD 2
PRINT 1 / 3; 2 / 3#; 1 / 4; 10 / 4
PRINT 3 > 2; 3 < 2; 3 = 3; 2 <> 2; 2 <= 2; 3 >= 4
PRINT NOT 0; NOT -1; NOT 5; 5 AND 3; 5 OR 3; 5 XOR 3; 5 EQV 3; 5 IMP 3
PRINT 1 < 2 AND 2 < 3; NOT 1 = 2; 3.7 AND 1
PRINT &HFF; &HFFFF; &H7FFF; &O17; &B101; &HFFFFFFFF; &H10000
PRINT 32767; 32768; 2147483647; 2147483648; 1.5E+3; 1D-2; 12345678
PRINT 5%; 7&; 2.5!; 1.1#; 100000 * 3
a% = 200: b% = 200
PRINT a% * b%
PRINT "after overflow"
x& = 2147483647: x& = x& + 1
PRINT "x&="; x&
PRINT 4 / 0; "after divide"
PRINT 7 \ 0
PRINT 7 MOD 0
y# = 1#: PRINT y# / 0#
PRINT CINT(2.5); CINT(3.5); CINT(-2.5); CLNG(100000.5); INT(-2.5); FIX(-2.5); INT(2.7)
PRINT ABS(-3); SGN(-2.5); SGN(0); SGN(4)
z% = 2.5: w% = 3.5: PRINT z%; w%
PRINT "ab" + "cd"; "a" < "b"; "abc" = "abc"; "B" > "a"
PRINT 1 + 1 = 2
SYSTEM
trap:
PRINT "error"; ERR
RESUME NEXT
