// The texts of the numbered errors, and the immediately critical numbers
// with the captions of their boxes.
#include <array>
#include <cstdio>
#include <string>

#include "base/error.h"

namespace {

struct numbered_text {
  uint32_t number;
  std::string_view text;
};

constexpr std::array<numbered_text, 70> error_texts{{
    {1, "NEXT without FOR"},
    {2, "Syntax error"},
    {3, "RETURN without GOSUB"},
    {4, "Out of DATA"},
    {5, "Illegal function call"},
    {6, "Overflow"},
    {7, "Out of memory"},
    {8, "Label not defined"},
    {9, "Subscript out of range"},
    {10, "Duplicate definition"},
    {12, "Illegal in direct mode"},
    {13, "Type mismatch"},
    {14, "Out of string space"},
    {16, "String formula too complex"},
    {17, "Cannot continue"},
    {18, "Function not defined"},
    {19, "No RESUME"},
    {20, "RESUME without error"},
    {24, "Device timeout"},
    {25, "Device fault"},
    {26, "FOR without NEXT"},
    {27, "Out of paper"},
    {29, "WHILE without WEND"},
    {30, "WEND without WHILE"},
    {33, "Duplicate label"},
    {35, "Subprogram not defined"},
    {37, "Argument-count mismatch"},
    {38, "Array not defined"},
    {40, "Variable required"},
    {50, "FIELD overflow"},
    {51, "Internal error"},
    {52, "Bad file name or number"},
    {53, "File not found"},
    {54, "Bad file mode"},
    {55, "File already open"},
    {56, "FIELD statement active"},
    {57, "Device I/O error"},
    {58, "File already exists"},
    {59, "Bad record length"},
    {61, "Disk full"},
    {62, "Input past end of file"},
    {63, "Bad record number"},
    {64, "Bad file name"},
    {67, "Too many files"},
    {68, "Device unavailable"},
    {69, "Communication-buffer overflow"},
    {70, "Permission denied"},
    {71, "Disk not ready"},
    {72, "Disk-media error"},
    {73, "Feature unavailable"},
    {74, "Rename across disks"},
    {75, "Path/File access error"},
    {76, "Path not found"},
    {258, "Invalid handle"},
    {300, "Memory region out of range"},
    {301, "Invalid size"},
    {302, "Source memory region out of range"},
    {303, "Destination memory region out of range"},
    {304, "Source and destination memory regions out of range"},
    {305, "Source memory has been freed"},
    {306, "Destination memory has been freed"},
    {307, "Memory already freed"},
    {308, "Memory has been freed"},
    {309, "Memory not initialized"},
    {310, "Source memory not initialized"},
    {311, "Destination memory not initialized"},
    {312, "Source and destination memory not initialized"},
    {313, "Source and destination memory have been freed"},
    {314, "_ASSERT failed"},
    {315, "_ASSERT failed (check console for description)"},
}};

struct critical_entry {
  int32_t number;
  std::string_view text;
  std::string_view caption;
};

constexpr std::array<critical_entry, 8> named_critical{{
    {11, "Division by zero", "Critical Error"},
    {256, "Out of stack space", "Critical Error"},
    {257, "Out of memory", "Critical Error #1"},
    {259, "Cannot find dynamic library file", "Critical Error"},
    {260, "Sub/Function does not exist in dynamic library", "Critical Error"},
    {261, "Sub/Function does not exist in dynamic library", "Critical Error"},
    {270, "_GL command called outside of SUB _GL's scope", "Critical Error"},
    {271, "END/SYSTEM called within SUB _GL's scope", "Critical Error"},
}};

// "Critical Error #2" ... "#18" for 502-518.
constexpr int32_t first_numbered_critical = 502;
constexpr int32_t last_numbered_critical = 518;

constexpr auto numbered_critical_captions = [] {
  std::array<std::array<char, 20>, last_numbered_critical - first_numbered_critical + 1> captions{};
  constexpr std::string_view stem = "Critical Error #";
  for (int32_t n = first_numbered_critical; n <= last_numbered_critical; ++n) {
    auto& caption = captions[static_cast<size_t>(n - first_numbered_critical)];
    size_t i = 0;
    for (char c : stem) caption[i++] = c;
    const int32_t k = n - 500;
    if (k >= 10) caption[i++] = static_cast<char>('0' + k / 10);
    caption[i++] = static_cast<char>('0' + k % 10);
  }
  return captions;
}();

}  // namespace

std::string_view error_text(uint32_t n) {
  for (const auto& entry : error_texts) {
    if (entry.number == n) return entry.text;
  }
  return "Unprintable error";
}

bool critical_error_lookup(int32_t n, critical_error_info* info) {
  for (const auto& entry : named_critical) {
    if (entry.number == n) {
      if (info) *info = {entry.text, entry.caption};
      return true;
    }
  }
  if (n >= first_numbered_critical && n <= last_numbered_critical) {
    if (info) {
      const auto& caption = numbered_critical_captions[static_cast<size_t>(n - first_numbered_critical)];
      *info = {"Out of memory", std::string_view(caption.data())};
    }
    return true;
  }
  return false;
}
