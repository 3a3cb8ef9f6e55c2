' Network handles: this runtime's transport makes no connections, so every
' open reports failure with 0, and a handle that was never opened is refused.
host = _OPENHOST("TCP/IP:47311")
client = _OPENCLIENT("TCP/IP:47311:localhost")
PRINT "opened"; host; client
ON ERROR GOTO refused
conn = _OPENCONNECTION(-1)
PRINT "connected"; _CONNECTED(-1)
PRINT "address "; _CONNECTIONADDRESS$(-1)
msg$ = "HELLO"
PUT #-1, , msg$
GET #-1, , msg$
CLOSE -1
PRINT "bad address"; _OPENCLIENT("NOT AN ADDRESS")
END
refused:
PRINT "error"; ERR
RESUME NEXT
