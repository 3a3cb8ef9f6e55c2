#include "kxc/lex/keywords.h"

#include <algorithm>
#include <iterator>

namespace kxc {

namespace {

// Sorted, so that a lookup is a binary search.
constexpr std::string_view reserved_words[] = {
    "ACCESS", "AND", "ANY", "APPEND", "AS", "BASE", "BINARY", "BYVAL", "CALL", "CASE", "CLOSE", "COMMON",
    "CONST", "DATA", "DECLARE", "DEF", "DEFDBL", "DEFINT", "DEFLNG", "DEFSNG", "DEFSTR", "DIM", "DO",
    "DOUBLE", "ELSE", "ELSEIF", "END", "EQV", "ERASE", "ERROR", "EXIT", "FOR", "FUNCTION", "GOSUB", "GOTO",
    "IF", "IMP", "INPUT", "INTEGER", "IS", "LET", "LINE", "LONG", "LOOP", "MOD", "NEXT", "NOT", "OFF", "ON",
    "OPEN", "OPTION", "OR", "OUTPUT", "PRINT", "RANDOM", "READ", "REDIM", "REM", "RESTORE", "RESUME",
    "RETURN", "SELECT", "SHARED", "SINGLE", "STATIC", "STEP", "STOP", "STRING", "SUB", "SWAP", "SYSTEM",
    "THEN", "TO", "TYPE", "UNTIL", "USING", "WEND", "WHILE", "WRITE", "XOR", "_BIT", "_BYTE", "_DEFINE",
    "_FLOAT", "_INTEGER64", "_OFFSET", "_PRESERVE", "_UNSIGNED",
};
static_assert(std::is_sorted(std::begin(reserved_words), std::end(reserved_words)));

}  // namespace

bool is_reserved_word(std::string_view upper_name) {
  return std::binary_search(std::begin(reserved_words), std::end(reserved_words), upper_name);
}

}  // namespace kxc
