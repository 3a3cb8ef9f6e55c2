// Many valid programs, made at random from the dialect's expressions and
// statements, must translate into C++ that the compiler takes and that
// runs to its end: a C++ error on generated code is a translator fault.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

namespace {

class program_maker {
 public:
  explicit program_maker(unsigned seed) : random_(seed) {}

  std::string program(int statements) {
    std::string text = "DEFINT I-K\nDIM arr(4) AS DOUBLE, names$(3)\nTYPE rec\n  n AS LONG\n  s AS STRING * 5\nEND TYPE\n"
                       "DIM r AS rec\nON ERROR GOTO handler\n";
    for (int i = 0; i < statements; ++i) text += statement(2) + "\n";
    text += "PRINT \"end\"\nSYSTEM\nhandler:\nRESUME NEXT\n";
    text += "SUB proc (x AS DOUBLE, t$)\n  x = x + 1: t$ = t$ + \"!\"\nEND SUB\n";
    text += "FUNCTION twice# (BYVAL v AS DOUBLE)\n  twice# = v * 2\nEND FUNCTION\n";
    text += "FUNCTION tag$ (t$)\n  tag$ = \"<\" + t$ + \">\"\nEND FUNCTION\n";
    return text;
  }

 private:
  int pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

  std::string number(int depth) {
    static const char* leaves[] = {"1", "-7", "2.5", "32767", "70000", "1E3", "&HFF", "&B101", "3#", "0.125!",
                                   "a%", "b&", "c!", "d#", "e&&", "f~%", "i", "r.n", "arr(2)", "LEN(s$)"};
    static const char* binary[] = {"+", "-", "*", "/", "\\", "MOD", "^", "AND", "OR", "XOR", "EQV", "IMP",
                                   "=", "<>", "<", ">", "<=", ">="};
    static const char* functions[] = {"ABS", "INT", "FIX", "SGN", "CINT", "CLNG", "CSNG", "CDBL", "SQR", "SIN",
                                      "EXP"};
    if (depth <= 0) return leaves[pick(20)];
    switch (pick(7)) {
      case 0: return "(" + number(depth - 1) + " " + binary[pick(18)] + " " + number(depth - 1) + ")";
      case 1: return "-" + number(depth - 1);
      case 2: return "(NOT " + number(depth - 1) + ")";
      case 3: return std::string(functions[pick(11)]) + "(" + number(depth - 1) + ")";
      case 4: return "VAL(" + text(depth - 1) + ")";
      case 5: return "(" + text(depth - 1) + " < " + text(depth - 1) + ")";
      default: return "twice#(" + number(depth - 1) + ")";
    }
  }

  std::string text(int depth) {
    static const char* leaves[] = {"\"ab\"", "\"\"", "s$", "t$", "names$(1)", "r.s", "\"x,y\""};
    if (depth <= 0) return leaves[pick(7)];
    switch (pick(6)) {
      case 0: return text(depth - 1) + " + " + text(depth - 1);
      case 1: return "LEFT$(" + text(depth - 1) + ", 2)";
      case 2: return "MID$(" + text(depth - 1) + ", 2)";
      case 3: return "STR$(" + number(depth - 1) + ")";
      case 4: return "UCASE$(" + text(depth - 1) + ")";
      default: return "tag$(" + text(depth - 1) + ")";
    }
  }

  std::string statement(int depth) {
    static const char* numeric_targets[] = {"a%", "b&", "c!", "d#", "e&&", "f~%", "i", "r.n", "arr(3)"};
    static const char* text_targets[] = {"s$", "t$", "names$(2)", "r.s"};
    switch (pick(depth > 0 ? 9 : 4)) {
      case 0: return std::string(numeric_targets[pick(9)]) + " = " + number(2);
      case 1: return std::string(text_targets[pick(4)]) + " = " + text(2);
      case 2: return "PRINT " + number(1) + "; " + text(1) + ", " + number(1);
      case 3: return "CALL proc(d#, s$)";
      // A one-line IF holds simple statements (loops and blocks inside one
      // are not translated yet).
      case 4: return "IF " + number(1) + " THEN " + statement(0) + " ELSE " + statement(0);
      // A one-line IF would take the rest of the line, NEXT and LOOP too.
      case 5: return "FOR k = 1 TO 2: " + statement(0) + ": NEXT k";
      case 6: return "SELECT CASE " + number(1) + "\nCASE 1, 2: " + statement(depth - 1) +
                     "\nCASE IS > 5: " + statement(depth - 1) + "\nCASE ELSE\nEND SELECT";
      case 7: return "DO WHILE j < 2: j = j + 1: " + statement(0) + ": LOOP: j = 0";
      default: return "IF " + number(1) + " THEN\n" + statement(depth - 1) + "\nELSE\n" + statement(depth - 1) + "\nEND IF";
    }
  }

  std::mt19937 random_;
};

TEST(GeneratedPrograms, TranslateCompileAndRun) {
  for (unsigned seed : {1u, 2u}) {
    const std::string folder = testing::TempDir();
    const std::string source = folder + "/generated_" + std::to_string(seed) + ".bas";
    std::ofstream(source) << program_maker(seed).program(80);
    const std::string exe = folder + "/generated_" + std::to_string(seed);
    const std::string build = std::string(KXC_PATH) + " build --console-only " + source + " -o " + exe;
    ASSERT_EQ(std::system(build.c_str()), 0) << "seed " << seed << ": " << source;
    const std::string run = exe + " < /dev/null > " + exe + ".out";
    EXPECT_EQ(std::system(run.c_str()), 0) << "seed " << seed;
    std::ifstream out(exe + ".out");
    std::string all((std::istreambuf_iterator<char>(out)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find("end\n"), std::string::npos) << "seed " << seed << " did not run to its end";
  }
}

}  // namespace
