#include "kxc/lex/runtime_names.h"

#include <algorithm>
#include <iterator>

namespace kxc {

namespace {

constexpr builtin_function functions[] = {
    // Strings.
    {"LEFT$", "SI", 'S', "kxs_left({0},{1})"},
    {"RIGHT$", "SI", 'S', "kxs_right({0},{1})"},
    {"MID$", "SIi", 'S', "func_mid({0},{1},{2},{p})"},
    {"LTRIM$", "S", 'S', "kxs_ltrim({0})"},
    {"RTRIM$", "S", 'S', "kxs_rtrim({0})"},
    {"_TRIM$", "S", 'S', "kxs__trim({0})"},
    {"UCASE$", "S", 'S', "kxs_ucase({0})"},
    {"LCASE$", "S", 'S', "kxs_lcase({0})"},
    {"CHR$", "I", 'S', "func_chr({0})"},
    {"SPACE$", "I", 'S', "func_space({0})"},
    {"STRING$", "IS", 'S', "func_string({0},{1})"},
    {"STRING$", "II", 'S', "func_string({0},{1})"},
    {"ASC", "Si", 'I', "kxc::asc({0},{1},{p})"},
    {"INSTR", "SS", 'I', "func_instr(0,{0},{1},0)"},
    {"INSTR", "ISS", 'I', "func_instr({0},{1},{2},1)"},
    {"_INSTRREV", "SS", 'I', "func__instrrev(0,{0},{1},0)"},
    {"_INSTRREV", "ISS", 'I', "func__instrrev({0},{1},{2},1)"},
    {"VAL", "S", 'D', "static_cast<double>(func_val({0}))"},
    {"HEX$", "N", 'S', "kxc::hex({0})"},
    {"OCT$", "N", 'S', "kxc::oct({0})"},
    {"_STRCMP", "SS", 'I', "func__str_compare({0},{1})"},
    {"_STRICMP", "SS", 'I', "func__str_nc_compare({0},{1})"},
    {"INKEY$", "", 'S', "kxs_inkey()"},
    {"INPUT$", "Ii", 'S', "func_input({0},{1},{p})"},
    {"DATE$", "", 'S', "func_date()"},
    {"TIME$", "", 'S', "func_time()"},
    {"COMMAND$", "i", 'S', "func_command({0},{p})"},
    {"_COMMANDCOUNT", "", 'I', "func__commandcount()"},
    {"ENVIRON$", "S", 'S', "func_environ({0})"},
    {"ENVIRON$", "L", 'S', "func_environ(static_cast<int64_t>({0}))"},
    {"_OS$", "", 'S', "func__os()"},
    {"_CWD$", "", 'S', "func__cwd()"},
    {"_STARTDIR$", "", 'S', "func__startdir()"},
    {"_DIR$", "S", 'S', "func__dir({0})"},
    {"_FILEEXISTS", "S", 'I', "func__fileexists({0})"},
    {"_DIREXISTS", "S", 'I', "func__direxists({0})"},
    {"SHELL", "S", 'L', "func_shell({0})"},
    {"_SHELLHIDE", "S", 'L', "func__shellhide({0})"},
    // Binary conversions.
    {"MKI$", "H", 'S', "i2string(static_cast<int16_t>({0}))"},
    {"MKL$", "I", 'S', "l2string({0})"},
    {"MKS$", "F", 'S', "s2string({0})"},
    {"MKD$", "D", 'S', "d2string({0})"},
    {"_MK$", "", 'S', "kxs_new(0, 1)"},
    {"CVI", "S", 'H', "string2i({0})"},
    {"CVL", "S", 'I', "string2l({0})"},
    {"CVS", "S", 'F', "string2s({0})"},
    {"CVD", "S", 'D', "string2d({0})"},
    {"MKSMBF$", "F", 'S', "func_mksmbf({0})"},
    {"MKDMBF$", "D", 'S', "func_mkdmbf({0})"},
    {"CVSMBF", "S", 'F', "func_cvsmbf({0})"},
    {"CVDMBF", "S", 'D', "func_cvdmbf({0})"},
    // Numbers.
    {"SQR", "D", 'B', "func_sqr({0})"},
    {"LOG", "D", 'B', "func_log({0})"},
    {"EXP", "D", 'B', "kxc::exp_of({0})"},
    {"SIN", "D", 'B', "std::sin({0})"},
    {"COS", "D", 'B', "std::cos({0})"},
    {"TAN", "D", 'B', "std::tan({0})"},
    {"ATN", "D", 'B', "std::atan({0})"},
    {"_ATAN2", "DD", 'D', "std::atan2({0},{1})"},
    {"_PI", "d", 'D', "func_pi({0},{p})"},
    {"_D2R", "D", 'D', "func_deg2rad({0})"},
    {"_R2D", "D", 'D', "func_rad2deg({0})"},
    {"_D2G", "D", 'D', "func_deg2grad({0})"},
    {"_G2D", "D", 'D', "func_grad2deg({0})"},
    {"_R2G", "D", 'D', "func_rad2grad({0})"},
    {"_G2R", "D", 'D', "func_grad2rad({0})"},
    {"_SEC", "D", 'D', "func_sec({0})"},
    {"_CSC", "D", 'D', "func_csc({0})"},
    {"_COT", "D", 'D', "func_cot({0})"},
    {"_ARCSEC", "D", 'D', "func_arcsec({0})"},
    {"_ARCCSC", "D", 'D', "func_arccsc({0})"},
    {"_ARCCOT", "D", 'D', "func_arccot({0})"},
    {"_SECH", "D", 'D', "func_sech({0})"},
    {"_CSCH", "D", 'D', "func_csch({0})"},
    {"_COTH", "D", 'D', "func_coth({0})"},
    {"_HYPOT", "DD", 'D', "std::hypot({0},{1})"},
    {"_ASIN", "D", 'D', "std::asin({0})"},
    {"_ACOS", "D", 'D', "std::acos({0})"},
    {"_SINH", "D", 'D', "std::sinh({0})"},
    {"_COSH", "D", 'D', "std::cosh({0})"},
    {"_TANH", "D", 'D', "std::tanh({0})"},
    {"RND", "f", 'F', "func_rnd({0},{p})"},
    {"TIMER", "d", 'D', "func_timer({0},{p})"},
    // Errors.
    {"ERR", "", 'I', "static_cast<int32_t>(get_error_err())"},
    {"ERL", "", 'D', "get_error_erl()"},
    {"_ERRORLINE", "", 'I', "static_cast<int32_t>(func__errorline())"},
    {"_INCLERRORLINE", "", 'I', "static_cast<int32_t>(func__inclerrorline())"},
    {"_INCLERRORFILE$", "", 'S', "func__inclerrorfile()"},
    {"_ERRORMESSAGE$", "i", 'S', "kxc::error_message({0},{p})"},
    // Files.
    {"FREEFILE", "", 'I', "func_freefile()"},
    {"EOF", "I", 'I', "func_eof({0})"},
    {"LOF", "I", 'L', "func_lof({0})"},
    {"LOC", "I", 'L', "func_loc({0})"},
    {"SEEK", "I", 'L', "func_seek({0})"},
    // The screen and the keyboard.
    {"CSRLIN", "", 'I', "func_csrlin()"},
    {"POS", "i", 'I', "func_pos({0})"},
    {"SCREEN", "IIi", 'U', "func_screen({0},{1},{2},{p})"},
    {"_KEYHIT", "", 'I', "func__keyhit()"},
    {"_KEYDOWN", "I", 'I', "func__keydown({0})"},
    {"_CONSOLE", "", 'I', "func__console()"},
    {"_EXIT", "", 'I', "func__exit()"},
    {"_CAPSLOCK", "", 'I', "func__capslock()"},
    {"_NUMLOCK", "", 'I', "func__numlock()"},
    {"_SCROLLLOCK", "", 'I', "func__scrolllock()"},
    {"_FREETIMER", "", 'I', "func__freetimer()"},
    {"_AUTODISPLAY", "", 'I', "func__autodisplay()"},
    {"_BLINK", "", 'I', "func__blink()"},
    {"_CONTROLCHR", "", 'I', "func__controlchr()"},
    {"_SCREENHIDE", "", 'I', "func__screenhide()"},
    {"_TITLE$", "", 'S', "kxs_new(0, 1)"},
    // Memory and ports.
    {"PEEK", "I", 'I', "func_peek({0})"},
    {"INP", "I", 'I', "func_inp({0})"},
};

constexpr runtime_statement statements[] = {
    {"CHDIR", "S", "sub_chdir({0})"},
    {"MKDIR", "S", "sub_mkdir({0})"},
    {"RMDIR", "S", "sub_rmdir({0})"},
    {"KILL", "S", "sub_kill({0})"},
    {"FILES", "s", "sub_files({0},{p})"},
    {"SHELL", "s", "sub_shell({0},{p})"},
    {"_SHELLHIDE", "S", "static_cast<void>(func__shellhide({0}))"},
    {"ENVIRON", "S", "sub_environ({0})"},
    {"_TITLE", "S", "sub__title({0})"},
    {"_DELAY", "D", "sub__delay({0})"},
    {"_LIMIT", "D", "sub__limit({0})"},
    {"_DISPLAY", "", "sub__display()"},
    {"_AUTODISPLAY", "", "sub__autodisplay()"},
    {"_ECHO", "S", "sub__echo({0})"},
    {"_SCREENSHOW", "", "sub__screenshow()"},
    {"_SCREENHIDE", "", "sub__screenhide()"},
    {"_KEYCLEAR", "i", "sub__keyclear({0},{p})"},
    {"_CONSOLETITLE", "S", "sub__consoletitle({0})"},
    {"BEEP", "", "kxs_print(func_chr(7), 0)"},
    {"POKE", "II", "sub_poke({0},{1})"},
    {"OUT", "II", "sub_out({0},{1})"},
    {"SEEK", "IL", "sub_seek({0},{1})"},
    {"_FULLSCREEN", "", "sub__fullscreen(0,0,0)"},
    {"_CAPSLOCK", "I", "sub__capslock({0})"},
    {"_NUMLOCK", "I", "sub__numlock({0})"},
    {"_SCROLLLOCK", "I", "sub__scrolllock({0})"},
    {"_BLINK", "I", "sub__blink({0})"},
    {"_CONTROLCHR", "I", "sub__controlchr({0})"},
};

// Statements the parser reads by hand.
constexpr std::string_view statement_words[] = {
    "?",      "CALL",    "CASE",   "CIRCLE",  "CLEAR",    "CLOSE",  "CLS",     "COLOR",   "COMMON", "CONST",
    "DATA",   "DECLARE", "DEF",    "DEFDBL",  "DEFINT",   "DEFLNG", "DEFSNG",  "DEFSTR",  "DIM",    "DO",
    "ELSE",   "ELSEIF",  "END",    "ENDIF",   "ERASE",    "ERROR",  "EXIT",    "FIELD",   "FOR",    "FUNCTION",
    "GET",    "GOSUB",   "GOTO",   "IF",      "INPUT",    "KEY",    "LET",     "LINE",    "LOCATE", "LOOP",
    "LPRINT", "LSET",    "MID$",   "NAME",    "NEXT",     "ON",     "OPEN",    "OPTION",  "PRINT",  "PUT",
    "RANDOMIZE", "READ", "REDIM",  "REM",     "RESTORE",  "RESUME", "RETURN",  "RSET",    "SCREEN", "SELECT",
    "SHARED", "SLEEP",   "STATIC", "STOP",    "STRIG",    "SUB",    "SWAP",    "SYSTEM",  "TIMER",  "TYPE",
    "VIEW",   "WEND",    "WHILE",  "WIDTH",   "WRITE",    "_ASSERT", "_CONSOLE", "_DEFINE",
};

}  // namespace

const builtin_function* find_function(std::string_view name, int index) {
  for (const builtin_function& f : functions) {
    if (f.name == name && index-- == 0) return &f;
  }
  return nullptr;
}

bool is_function_name(std::string_view name) { return find_function(name) != nullptr; }

const runtime_statement* find_statement(std::string_view name) {
  for (const runtime_statement& s : statements) {
    if (s.name == name) return &s;
  }
  return nullptr;
}

name_tables all_runtime_names() {
  return {functions, static_cast<int>(std::size(functions)), statements, static_cast<int>(std::size(statements))};
}

bool is_statement_word(std::string_view name) {
  return std::find(std::begin(statement_words), std::end(statement_words), name) != std::end(statement_words) ||
         find_statement(name) != nullptr;
}

std::span<const std::string_view> statement_word_list() { return statement_words; }

}  // namespace kxc
