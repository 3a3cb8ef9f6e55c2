' Control flow: jumps, GOSUB, ON, every IF, every loop, EXIT, SELECT CASE,
' and the FOR/NEXT of old listings (NEXT inside IF, GOTO out and in again).
10 PRINT "start"
20 GOSUB 500
30 ON 3 GOSUB 600, 610, 620
40 ON 4 GOTO 600, 610, 620
50 k = 2: ON k GOTO 60, 70
60 PRINT "sixty"
70 PRINT "seventy"
80 IF k = 2 THEN 100
90 PRINT "skipped"
100 IF k = 3 THEN PRINT "three" ELSE PRINT "not three"
110 IF k > 1 THEN PRINT "big": PRINT "still" ELSE PRINT "small"
120 IF k = 2 THEN
130   PRINT "block then"
140 ELSEIF k = 3 THEN
150   PRINT "block elseif"
160 ELSE
170   PRINT "block else"
180 END IF
190 IF k = 9 THEN
191   PRINT "no"
192 ELSEIF k = 2 THEN
193   PRINT "elseif taken"
194 END IF
200 FOR i = 1 TO 10 STEP 3: PRINT i;: NEXT i: PRINT
210 FOR i = 5 TO 1 STEP -2: PRINT i;: NEXT: PRINT
220 FOR i = 1 TO 0: PRINT "never": NEXT: PRINT "i="; i
230 FOR i = 1 TO 2: FOR j = 1 TO 2: PRINT i * 10 + j;: NEXT j, i: PRINT
240 FOR x! = 0 TO 1 STEP .25: PRINT x!;: NEXT: PRINT
250 FOR i = 1 TO 5
260   IF i MOD 2 = 0 THEN NEXT i
270   PRINT "odd"; i
280 NEXT i
290 FOR i = 1 TO 3: IF i = 2 THEN GOTO 310
300 NEXT i
310 PRINT "left at"; i
320 FOR i = 7 TO 8: PRINT "again"; i: NEXT i
330 n = 0: WHILE n < 3: n = n + 1: WEND: PRINT "while"; n
340 DO WHILE n > 0: n = n - 1: LOOP: PRINT "do while"; n
350 DO UNTIL n = 2: n = n + 1: LOOP: PRINT "do until"; n
360 DO: n = n + 1: LOOP WHILE n < 5: PRINT "loop while"; n
370 DO: n = n - 1: LOOP UNTIL n <= 1: PRINT "loop until"; n
380 DO: n = n + 1: IF n > 3 THEN EXIT DO
390 LOOP: PRINT "exit do"; n
400 FOR i = 1 TO 100: IF i = 4 THEN EXIT FOR
410 NEXT: PRINT "exit for"; i
420 FOR t = 1 TO 6
430   SELECT CASE t
440     CASE 1: PRINT "one";
450     CASE 2, 3: PRINT "two or three";
460     CASE 4 TO 5: PRINT "four to five";
470     CASE ELSE: PRINT "other";
480   END SELECT
490 NEXT t: PRINT : GOTO 700
500 PRINT "sub 500": RETURN
600 PRINT "six hundred": RETURN
610 PRINT "six ten": RETURN
620 PRINT "six twenty": RETURN
700 a$ = "pear"
710 SELECT CASE a$
720   CASE "apple": PRINT "an apple"
730   CASE IS < "z": PRINT "before z"
740 END SELECT
750 SELECT CASE 15
760   CASE IS > 20, IS < 10: PRINT "outside"
770   CASE 10 TO 20: PRINT "inside"
780 END SELECT
790 GOSUB 900: PRINT "not here"
800 PRINT "returned to"; r
810 END
900 r = 900: RETURN 800
