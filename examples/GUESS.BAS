' GUESS: find the number the machine thinks of, from 1 to 100.
' Run:  kxc run examples/GUESS.BAS   (a number after it replays one game: a seed)
IF COMMAND$ <> "" THEN RANDOMIZE VAL(COMMAND$) ELSE RANDOMIZE TIMER
COLOR 14, 1: CLS
PRINT "I am thinking of a number from 1 to 100."
PRINT "Type 0 to give up."
played = 0: total = 0
DO
  secret = INT(RND * 100) + 1
  tries = 0
  DO
    PRINT
    INPUT "Your guess"; guess
    IF guess = 0 THEN EXIT DO
    tries = tries + 1
    SELECT CASE guess
      CASE IS < secret: PRINT "Higher than"; guess; "."
      CASE IS > secret: PRINT "Lower than"; guess; "."
      CASE ELSE
        PRINT "Right! You needed"; tries; "tries."
        played = played + 1: total = total + tries
    END SELECT
  LOOP UNTIL guess = secret
  IF guess = 0 THEN PRINT "It was"; secret; "."
  INPUT "Again (Y/N)"; again$
LOOP WHILE UCASE$(LEFT$(again$, 1)) = "Y"
IF played > 0 THEN PRINT USING "##.# tries a game on average."; total / played
PRINT "Goodbye."
SYSTEM
