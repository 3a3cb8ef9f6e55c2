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
    {"VARPTR$", "V", 'S', "kxc::varptr_of({0})"},
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
    {"EXP", "N", 'B', "kxc::exp_of({0})"},
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
    // Images and colours.
    {"_NEWIMAGE", "IIi", 'I', "func__newimage({0},{1},{2},{p})"},
    {"_COPYIMAGE", "ii", 'I', "func__copyimage({0},{1},{p})"},
    {"_DEST", "", 'I', "func__dest()"},
    {"_SOURCE", "", 'I', "func__source()"},
    {"_DISPLAY", "", 'I', "func__display()"},
    {"_WIDTH", "i", 'I', "func__width({0},{p})"},
    {"_HEIGHT", "i", 'I', "func__height({0},{p})"},
    {"_PIXELSIZE", "i", 'I', "func__pixelsize({0},{p})"},
    {"_DEFAULTCOLOR", "i", 'U', "func__defaultcolor({0},{p})"},
    {"_BACKGROUNDCOLOR", "i", 'U', "func__backgroundcolor({0},{p})"},
    {"_BLEND", "i", 'I', "func__blend({0},{p})"},
    {"_CLEARCOLOR", "i", 'I', "func__clearcolor({0},{p})"},
    {"_PALETTECOLOR", "Ii", 'U', "func__palettecolor({0},{1},{p})"},
    {"_RGB", "IIIi", 'U', "func__rgb({0},{1},{2},{3},{p})"},
    {"_RGBA", "IIIIi", 'U', "func__rgba({0},{1},{2},{3},{4},{p})"},
    {"_RGB32", "I", 'U', "kxc::rgb32({0},{0},{0},255)"},
    {"_RGB32", "II", 'U', "kxc::rgb32({0},{0},{0},{1})"},
    {"_RGB32", "III", 'U', "kxc::rgb32({0},{1},{2},255)"},
    {"_RGB32", "IIII", 'U', "kxc::rgb32({0},{1},{2},{3})"},
    {"_RGBA32", "IIII", 'U', "kxc::rgb32({0},{1},{2},{3})"},
    {"_ALPHA", "Ci", 'I', "func__alpha({0},{1},{p})"},
    {"_RED", "Ci", 'I', "func__red({0},{1},{p})"},
    {"_GREEN", "Ci", 'I', "func__green({0},{1},{p})"},
    {"_BLUE", "Ci", 'I', "func__blue({0},{1},{p})"},
    {"_ALPHA32", "C", 'I', "static_cast<int32_t>({0} >> 24)"},
    {"_RED32", "C", 'I', "static_cast<int32_t>({0} >> 16 & 255)"},
    {"_GREEN32", "C", 'I', "static_cast<int32_t>({0} >> 8 & 255)"},
    {"_BLUE32", "C", 'I', "static_cast<int32_t>({0} & 255)"},
    // Graphics.
    {"POINT", "FF", 'D', "func_point({0},{1},1)"},
    {"POINT", "F", 'D', "func_point({0},0,0)"},
    {"PMAP", "FI", 'F', "func_pmap({0},{1})"},
    // Fonts and positioned text.
    {"_FONT", "i", 'I', "func__font({0},{p})"},
    {"_FONTWIDTH", "i", 'I', "func__fontwidth({0},{p})"},
    {"_FONTHEIGHT", "i", 'I', "func__fontheight({0},{p})"},
    {"_LOADFONT", "SIs", 'I', "func__loadfont({0},{1},{2},{p})"},
    {"_PRINTMODE", "i", 'I', "func__printmode({0},{p})"},
    {"_PRINTWIDTH", "Si", 'I', "func__printwidth({0},{1},{p})"},
    {"_MAPUNICODE", "I", 'I', "func__mapunicode({0})"},
    // The mouse and other input devices.
    {"_MOUSEINPUT", "i", 'I', "func__mouseinput({0},{p})"},
    {"_MOUSEX", "i", 'F', "func__mousex({0},{p})"},
    {"_MOUSEY", "i", 'F', "func__mousey({0},{p})"},
    {"_MOUSEBUTTON", "Ii", 'I', "func__mousebutton({0},{1},{p})"},
    {"_MOUSEWHEEL", "i", 'I', "func__mousewheel({0},{p})"},
    {"_MOUSEMOVEMENTX", "i", 'F', "func__mousemovementx({0},{p})"},
    {"_MOUSEMOVEMENTY", "i", 'F', "func__mousemovementy({0},{p})"},
    {"_MOUSEPIPEOPEN", "", 'I', "func__mousepipeopen()"},
    {"_DEVICES", "", 'I', "func__devices()"},
    {"_DEVICE$", "i", 'S', "func__device({0},{p})"},
    {"_DEVICEINPUT", "i", 'I', "func__deviceinput({0},{p})"},
    {"_BUTTON", "i", 'I', "func__button({0},{p})"},
    {"_BUTTONCHANGE", "i", 'I', "func__buttonchange({0},{p})"},
    {"_AXIS", "i", 'F', "func__axis({0},{p})"},
    {"_WHEEL", "i", 'F', "func__wheel({0},{p})"},
    {"_LASTBUTTON", "i", 'I', "func__lastbutton({0},{p})"},
    {"_LASTAXIS", "i", 'I', "func__lastaxis({0},{p})"},
    {"_LASTWHEEL", "i", 'I', "func__lastwheel({0},{p})"},
    {"STICK", "Ii", 'I', "func_stick({0},{1},{p})"},
    {"STRIG", "Ii", 'I', "func_strig({0},{1},{p})"},
    {"_CLIPBOARD$", "", 'S', "func__clipboard()"},
    // The window.
    {"_SCREENX", "", 'I', "func__screenx()"},
    {"_SCREENY", "", 'I', "func__screeny()"},
    {"_SCREENEXISTS", "", 'I', "func_windowexists()"},
    {"_SCREENICON", "", 'I', "func_screenicon()"},
    {"_DESKTOPWIDTH", "", 'I', "func_screenwidth()"},
    {"_DESKTOPHEIGHT", "", 'I', "func_screenheight()"},
    {"_FULLSCREEN", "", 'I', "func__fullscreen()"},
    {"_FULLSCREENSMOOTH", "", 'I', "func__fullscreensmooth()"},
    {"_RESIZE", "", 'I', "func__resize()"},
    {"_RESIZEWIDTH", "", 'I', "func__resizewidth()"},
    {"_RESIZEHEIGHT", "", 'I', "func__resizeheight()"},
    {"_SCALEDWIDTH", "", 'I', "func__scaledwidth()"},
    {"_SCALEDHEIGHT", "", 'I', "func__scaledheight()"},
    // The network.
    {"_OPENHOST", "S", 'I', "func__openhost({0})"},
    {"_OPENCLIENT", "S", 'I', "func__openclient({0})"},
    {"_OPENCONNECTION", "I", 'I', "func__openconnection({0})"},
    {"_CONNECTED", "I", 'I', "func__connected({0})"},
    {"_CONNECTIONADDRESS$", "I", 'S', "func__connectionaddress({0})"},
    {"_CONNECTIONADDRESS", "I", 'S', "func__connectionaddress({0})"},
    // The printer.
    {"LPOS", "I", 'I', "func_lpos({0})"},
    // Memory blocks.
    {"_MEMNEW", "L", 'M', "func__memnew({0})"},
    {"_MEMIMAGE", "i", 'M', "func__memimage({0},{p})"},
    {"_MEMEXISTS", "M", 'I', "func__memexists({0})"},
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
    // Images, colours and graphics.
    {"_DEST", "I", "sub__dest({0})"},
    {"_SOURCE", "I", "sub__source({0})"},
    {"_FREEIMAGE", "i", "sub__freeimage({0},{p})"},
    {"_BLEND", "i", "sub__blend({0},{p})"},
    {"_DONTBLEND", "i", "sub__dontblend({0},{p})"},
    {"_COPYPALETTE", "ii", "sub__copypalette({0},{1},{p})"},
    {"_PALETTECOLOR", "ICi", "sub__palettecolor({0},{1},{2},{p})"},
    {"PALETTE", "ci", "kxg_palette({0},{1},{p})"},
    {"PCOPY", "II", "sub_pcopy({0},{1})"},
    {"DRAW", "S", "sub_draw({0})"},
    // Fonts.
    {"_FONT", "Ii", "sub__font({0},{1},{p})"},
    {"_FREEFONT", "I", "sub__freefont({0})"},
    // The mouse and the window.
    {"_MOUSEHIDE", "", "sub__mousehide()"},
    {"_MOUSESHOW", "s", "sub__mouseshow({0},{p})"},
    {"_MOUSEMOVE", "FF", "sub__mousemove({0},{1})"},
    {"_MOUSEINPUTPIPE", "I", "sub__mouseinputpipe({0})"},
    {"_MOUSEPIPECLOSE", "I", "sub__mousepipeclose({0})"},
    {"_SCREENCLICK", "IIi", "sub__screenclick({0},{1},{2},{p})"},
    {"_SCREENPRINT", "S", "sub__screenprint({0})"},
    {"_PRINTIMAGE", "I", "sub__printimage({0})"},
    {"_SCREENICON", "", "sub_screenicon()"},
    // Memory, ports and files of memory.
    {"BLOAD", "Si", "sub_bload({0},{1},{p})"},
    {"BSAVE", "SII", "sub_bsave({0},{1},{2})"},
    {"WAIT", "IIi", "sub_wait({0},{1},{2},{p})"},
    {"POKE", "II", "sub_poke({0},{1})"},
    {"OUT", "II", "sub_out({0},{1})"},
    {"SEEK", "IL", "sub_seek({0},{1})"},
};

// Statements of irregular syntax, read by the shaped-statement readers:
// {p} is the mask the reader built, in the entry point's own bit layout.
constexpr runtime_statement shaped_statements[] = {
    {"PSET", "FFc", "sub_pset({0},{1},{2},{p})"},
    {"PRESET", "FFc", "sub_preset({0},{1},{2},{p})"},
    {"LINE", "ffFFcIc", "sub_line({0},{1},{2},{3},{4},{5},{6},{p})"},
    {"CIRCLE", "DDDcddd", "sub_circle({0},{1},{2},{3},{4},{5},{6},{p})"},
    {"PAINT", "FFccs", "sub_paint({0},{1},{2},{3},{4},{p})"},
    {"PAINT$", "FFScs", "sub_paint({0},{1},{2},{3},{4},{p})"},
    {"VIEW", "iiiicc", "kxg_sub_view({0},{1},{2},{3},{4},{5},{p})"},
    {"WINDOW", "ffff", "kxg_sub_window({0},{1},{2},{3},{p})"},
    {"_PUTIMAGE", "ffffiiffff", "sub__putimage({0},{1},{2},{3},{4},{5},{6},{7},{8},{9},{p})"},
    {"GET@", "AcFFFF", "sub_graphics_get({0},{1},{p},{2},{3},{4},{5})"},
    {"PUT@", "AIcFF", "sub_graphics_put({0},{1},{2},{p},{3},{4})"},
    {"GET#", "IlA", "sub_get({0},{1},{2},{p})"},
    {"PUT#", "IlA", "sub_put({0},{1},{2},{p})"},
    {"GET$#", "IlS", "sub_get2({0},{1},{2},{p})"},
    {"PUT$#", "IlS", "sub_put2({0},{1},{2},{p})"},
    {"_PRINTSTRING", "FFSi", "sub__printstring({0},{1},{2},{3},{p})"},
    {"_CLEARCOLOR", "Ici", "sub__clearcolor({0},{1},{2},{p})"},
    {"_SETALPHA", "Icci", "sub__setalpha({0},{1},{2},{3},{p})"},
    {"LOCK", "Ill", "sub_lock({0},{1},{2},{p})"},
    {"UNLOCK", "Ill", "sub_unlock({0},{1},{2},{p})"},
    {"_SCREENMOVE", "III", "sub__screenmove({0},{1},{2})"},
    {"_FULLSCREEN", "ii", "sub__fullscreen({0},{1},{p})"},
    {"_ALLOWFULLSCREEN", "ii", "sub__allowfullscreen({0},{1},{p})"},
    {"_RESIZE", "ii", "sub__resize({0},{1},{p})"},
    {"_FPS", "DI", "sub__fps({0},{1})"},
    {"_GLRENDER", "I", "sub__glrender({0})"},
    {"_DISPLAYORDER", "iiii", "sub__displayorder({0},{1},{2},{3},{p})"},
    {"_PRINTMODE", "Ii", "sub__printmode({0},{1},{p})"},
    {"_MAPUNICODE", "II", "sub__mapunicode({0},{1})"},
    {"_CLIPBOARD$", "S", "sub__clipboard({0})"},
    {"SHELL _HIDE", "sI", "sub_shell2({0},{1})"},
    {"SHELL _DONTWAIT", "sI", "sub_shell3({0},{1})"},
    {"SHELL _HIDE _DONTWAIT", "sI", "sub_shell4({0},{1})"},
    {"_MEMGET", "MLA", "kxc::mem_get({0},{1},{2})"},
    {"_MEMPUT", "MLVt", "kxc::mem_put({0},{1},{2})"},
    {"_MEMFILL", "MLLVt", "kxc::mem_fill({0},{1},{2},{3})"},
    {"_MEMCOPY", "MLLML", "sub__memcopy({0},{1},{2},{3},{4})"},
    {"_MEMFREE", "M", "sub__memfree({0})"},
    {"_CAPSLOCK", "I", "sub__capslock({0})"},
    {"_NUMLOCK", "I", "sub__numlock({0})"},
    {"_SCROLLLOCK", "I", "sub__scrolllock({0})"},
    {"_BLINK", "I", "sub__blink({0})"},
    {"_CONTROLCHR", "I", "sub__controlchr({0})"},
    {"INTERRUPT", "IAA", "call_interrupt({0},{1},{2})"},
    {"INTERRUPTX", "IAA", "call_interruptx({0},{1},{2})"},
    {"PALETTE USING", "AI", "kxc::palette_using({0},{1})"},
    {"KEY", "IS", "key_assign({0},{1})"},
    {"KEY ON", "", "key_on()"},
    {"KEY OFF", "", "key_off()"},
    {"KEY LIST", "", "key_list()"},
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

const runtime_statement* find_shaped_statement(std::string_view name) {
  for (const runtime_statement& s : shaped_statements) {
    if (s.name == name) return &s;
  }
  return nullptr;
}

name_tables all_runtime_names() {
  return {functions, static_cast<int>(std::size(functions)), statements, static_cast<int>(std::size(statements))};
}

bool is_statement_word(std::string_view name) {
  return std::find(std::begin(statement_words), std::end(statement_words), name) != std::end(statement_words) ||
         find_statement(name) != nullptr || find_shaped_statement(name) != nullptr;
}

std::span<const std::string_view> statement_word_list() { return statement_words; }

std::span<const runtime_statement> shaped_statement_list() { return shaped_statements; }

}  // namespace kxc
