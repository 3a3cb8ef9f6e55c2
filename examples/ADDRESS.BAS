' ADDRESS: an address book kept in a RANDOM file of records.
' Run:  kxc run examples/ADDRESS.BAS
TYPE entry
  name AS STRING * 24
  phone AS STRING * 16
  town AS STRING * 20
END TYPE
DIM e AS entry
OPEN "ADDRESS.DAT" FOR RANDOM AS #1 LEN = LEN(e)
DO
  count = LOF(1) \ LEN(e)
  PRINT
  PRINT "ADDRESS BOOK:"; count; "entries"
  PRINT "1 List  2 Add  3 Find  4 Change  5 Quit"
  INPUT "Choice"; choice
  SELECT CASE choice
    CASE 1
      FOR i = 1 TO count
        GET #1, i, e
        PRINT USING "### \                      \ \              \ &"; i; e.name; e.phone; RTRIM$(e.town)
      NEXT
    CASE 2
      LINE INPUT "Name: "; n$
      LINE INPUT "Phone: "; p$
      LINE INPUT "Town: "; t$
      e.name = n$: e.phone = p$: e.town = t$
      PUT #1, count + 1, e
      PRINT "Entry"; count + 1; "added."
    CASE 3
      LINE INPUT "Part of a name: "; f$
      found = 0
      FOR i = 1 TO count
        GET #1, i, e
        IF INSTR(UCASE$(e.name), UCASE$(f$)) THEN
          PRINT i; RTRIM$(e.name); ", "; RTRIM$(e.phone); ", "; RTRIM$(e.town)
          found = found + 1
        END IF
      NEXT
      PRINT found; "found."
    CASE 4
      INPUT "Entry number"; i
      IF i >= 1 AND i <= count THEN
        GET #1, i, e
        PRINT "Phone was "; RTRIM$(e.phone)
        LINE INPUT "New phone: "; p$
        e.phone = p$
        PUT #1, i, e
      ELSE
        PRINT "No such entry."
      END IF
  END SELECT
LOOP UNTIL choice = 5
CLOSE
SYSTEM
