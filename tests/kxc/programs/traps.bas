' Timer traps in a program without a window: ON TIMER with a GOSUB handler
' and with a SUB, TIMER ON, STOP and OFF, and a trap's GOSUB returning to
' where it interrupted.
ON TIMER(0.02) GOSUB tick
TIMER ON
DO: LOOP UNTIL ticks >= 3
TIMER OFF
PRINT "three ticks at least:"; ticks >= 3
t = _FREETIMER
ON TIMER(t, 0.02) Beat
TIMER(t) ON
DO: _DELAY 0.01: LOOP UNTIL beats >= 2
TIMER(t) STOP
PRINT "two beats at least:"; beats >= 2
held = beats: _DELAY 0.1
PRINT "held while stopped:"; beats = held
TIMER(t) FREE
PRINT "inside the loop"; inside
SYSTEM
tick:
ticks = ticks + 1
inside = -1
RETURN

SUB Beat
  SHARED beats
  beats = beats + 1
END SUB
