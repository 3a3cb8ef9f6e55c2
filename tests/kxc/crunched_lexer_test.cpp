// A line whose keywords run together, read crunched, gives the tokens of
// the same line written with blanks and read as the dialect reads it.
#include <gtest/gtest.h>

#include <string>

#include "kxc/lex/lexer.h"
#include "kxc/source/source_program.h"

namespace {

std::string trimmed(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  return a == std::string::npos ? std::string() : s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// Kind, text, suffix and keyword flag of every token, one per line.
std::string tokens_of(const std::string& line, kxc::lex_style style) {
  kxc::source_program program;
  program.load_text("t.bas", line, false);
  kxc::diagnostics diag(program);
  const kxc::token_line tokens = kxc::lex_line(line, 0, 1, diag, style);
  std::string out;
  for (const kxc::token& t : tokens.tokens) {
    const bool raw = t.kind == kxc::tok::data_text || t.kind == kxc::tok::comment;
    out += std::to_string(static_cast<int>(t.kind)) + " [" + (raw ? trimmed(t.text) : t.text) + "] [" + t.suffix +
           "]" + (t.keyword ? " keyword" : "") + "\n";
  }
  return out + (diag.count() ? "errors\n" : "");
}

TEST(CrunchedLexer, ReadsRunTogetherLinesAsTheirSpacedForms) {
  const struct {
    const char* crunched;
    const char* spaced;
  } cases[] = {
      {"10FORI=1TO8STEP2:NEXTI,J", "10 FOR I = 1 TO 8 STEP 2 : NEXT I , J"},
      {"IFA>BTHEN100ELSE200", "IF A > B THEN 100 ELSE 200"},
      {"IFX=YTHENGOTO100", "IF X = Y THEN GOTO 100"},
      {"ONXGOTO10,20:ONXGOSUB30", "ON X GOTO 10 , 20 : ON X GOSUB 30"},
      {"FORX=ATOB", "FOR X = A TO B"},
      {"PRINT\"A=\"A;B1$;C%TAB(3)", "PRINT \"A=\" A ; B1$ ; C% TAB ( 3 )"},
      {"X=1E5+2.5E-3*1D2-12E", "X = 1E5 + 2.5E-3 * 1D2 - 12 E"},
      {"A$=LEFT$(B$,1)+MID$(B$,2)+STRING$(2,\"*\")+INPUT$(1)+INKEY$", "A$ = LEFT$ ( B$ , 1 ) + MID$ ( B$ , 2 ) + STRING$ ( 2 , \"*\" ) + INPUT$ ( 1 ) + INKEY$"},
      {"DEFFNAREA(R)=3.14*R*R:PRINTFNAREA(2)", "DEF FNAREA ( R ) = 3.14 * R * R : PRINT FNAREA ( 2 )"},
      {"GO TO 10:GO SUB 20", "GOTO 10 : GOSUB 20"},
      {"PRINTSCORE;COST;XANDY;XORY", "PRINT SC OR E ; COS T ; X AND Y ; XOR Y"},
      {"INPUT#1,A:PRINT#2,&HFF;&O17", "INPUT # 1 , A : PRINT # 2 , &HFF ; &O17"},
      {"40 REMARKABLE PROGRAM", "40 REM ARKABLE PROGRAM"},
      {"Q=PREMIUM:PRINTQ", "Q = P REM IUM:PRINTQ"},
      {"DATA FORTRAN,\"TO:X\",TOTAL:READA$", "DATA FORTRAN,\"TO:X\",TOTAL : READ A$"},
      {"PRINT\"FORI=1TO8", "PRINT \"FORI=1TO8"},
      {"fori=1to2:next", "FOR I = 1 TO 2 : NEXT"},
      {"PSET(1,2),3:PRESET(X,Y):LINE(0,0)-STEP(9,9),4,BF", "PSET ( 1 , 2 ) , 3 : PRESET ( X , Y ) : LINE ( 0 , 0 ) - STEP ( 9 , 9 ) , 4 , BF"},
      {"WINDOW(0,0)-(1,1):PAINT(5,5),2:PALETTE1,2:_PRINTSTRING(1,1),A$+_TRIM$(B$)", "WINDOW ( 0 , 0 ) - ( 1 , 1 ) : PAINT ( 5 , 5 ) , 2 : PALETTE 1 , 2 : _PRINTSTRING ( 1 , 1 ) , A$ + _TRIM$ ( B$ )"},
      {"?TIMER;CSRLIN;POS(0);ABS(X);INT(X);SQR(X);LEN(A$)", "? TIMER ; CSRLIN ; POS ( 0 ) ; ABS ( X ) ; INT ( X ) ; SQR ( X ) ; LEN ( A$ )"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(tokens_of(c.crunched, kxc::lex_style::crunched), tokens_of(c.spaced, kxc::lex_style::spaced))
        << c.crunched;
  }
}

TEST(CrunchedLexer, PlacesEachTokenAtItsColumn) {
  kxc::source_program program;
  const std::string line = "FORI=1TO8:GOTO100";
  program.load_text("t.bas", line, false);
  kxc::diagnostics diag(program);
  const kxc::token_line tokens = kxc::lex_line(line, 0, 1, diag, kxc::lex_style::crunched);
  std::string columns;
  for (const kxc::token& t : tokens.tokens) columns += std::to_string(t.at.column) + " ";
  EXPECT_EQ(columns, "1 4 5 6 7 9 10 11 15 18 ");
}

}  // namespace
