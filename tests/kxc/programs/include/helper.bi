' Lines of an included file: its SUB and an error inside it.
SUB Helper (n)
  PRINT "helper"; n
  x = 1 / n
END SUB
