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
    {err::next_without_for, "NEXT without FOR"},
    {err::syntax_error, "Syntax error"},
    {err::return_without_gosub, "RETURN without GOSUB"},
    {err::out_of_data, "Out of DATA"},
    {err::illegal_function_call, "Illegal function call"},
    {err::overflow, "Overflow"},
    {err::out_of_memory, "Out of memory"},
    {err::label_not_defined, "Label not defined"},
    {err::subscript_out_of_range, "Subscript out of range"},
    {err::duplicate_definition, "Duplicate definition"},
    {err::illegal_in_direct_mode, "Illegal in direct mode"},
    {err::type_mismatch, "Type mismatch"},
    {err::out_of_string_space, "Out of string space"},
    {err::string_formula_too_complex, "String formula too complex"},
    {err::cannot_continue, "Cannot continue"},
    {err::function_not_defined, "Function not defined"},
    {err::no_resume, "No RESUME"},
    {err::resume_without_error, "RESUME without error"},
    {err::device_timeout, "Device timeout"},
    {err::device_fault, "Device fault"},
    {err::for_without_next, "FOR without NEXT"},
    {err::out_of_paper, "Out of paper"},
    {err::while_without_wend, "WHILE without WEND"},
    {err::wend_without_while, "WEND without WHILE"},
    {err::duplicate_label, "Duplicate label"},
    {err::subprogram_not_defined, "Subprogram not defined"},
    {err::argument_count_mismatch, "Argument-count mismatch"},
    {err::array_not_defined, "Array not defined"},
    {err::variable_required, "Variable required"},
    {err::field_overflow, "FIELD overflow"},
    {err::internal_error, "Internal error"},
    {err::bad_file_name_or_number, "Bad file name or number"},
    {err::file_not_found, "File not found"},
    {err::bad_file_mode, "Bad file mode"},
    {err::file_already_open, "File already open"},
    {err::field_statement_active, "FIELD statement active"},
    {err::device_io_error, "Device I/O error"},
    {err::file_already_exists, "File already exists"},
    {err::bad_record_length, "Bad record length"},
    {err::disk_full, "Disk full"},
    {err::input_past_end_of_file, "Input past end of file"},
    {err::bad_record_number, "Bad record number"},
    {err::bad_file_name, "Bad file name"},
    {err::too_many_files, "Too many files"},
    {err::device_unavailable, "Device unavailable"},
    {err::communication_buffer_overflow, "Communication-buffer overflow"},
    {err::permission_denied, "Permission denied"},
    {err::disk_not_ready, "Disk not ready"},
    {err::disk_media_error, "Disk-media error"},
    {err::feature_unavailable, "Feature unavailable"},
    {err::rename_across_disks, "Rename across disks"},
    {err::path_file_access_error, "Path/File access error"},
    {err::path_not_found, "Path not found"},
    {err::invalid_handle, "Invalid handle"},
    {err::memory_region_out_of_range, "Memory region out of range"},
    {err::invalid_size, "Invalid size"},
    {err::source_memory_region_out_of_range, "Source memory region out of range"},
    {err::destination_memory_region_out_of_range, "Destination memory region out of range"},
    {err::source_and_destination_memory_regions_out_of_range, "Source and destination memory regions out of range"},
    {err::source_memory_freed, "Source memory has been freed"},
    {err::destination_memory_freed, "Destination memory has been freed"},
    {err::memory_already_freed, "Memory already freed"},
    {err::memory_freed, "Memory has been freed"},
    {err::memory_not_initialized, "Memory not initialized"},
    {err::source_memory_not_initialized, "Source memory not initialized"},
    {err::destination_memory_not_initialized, "Destination memory not initialized"},
    {err::source_and_destination_memory_not_initialized, "Source and destination memory not initialized"},
    {err::source_and_destination_memory_freed, "Source and destination memory have been freed"},
    {err::assert_failed, "_ASSERT failed"},
    {err::assert_failed_see_console, "_ASSERT failed (check console for description)"},
}};

struct critical_entry {
  int32_t number;
  std::string_view text;
  std::string_view caption;
};

constexpr std::array<critical_entry, 8> named_critical{{
    {err::division_by_zero, "Division by zero", "Critical Error"},
    {err::out_of_stack_space, "Out of stack space", "Critical Error"},
    {err::out_of_memory_timers, "Out of memory", "Critical Error #1"},
    {err::dynamic_library_not_found, "Cannot find dynamic library file", "Critical Error"},
    {err::dynamic_library_routine_missing, "Sub/Function does not exist in dynamic library", "Critical Error"},
    {err::dynamic_library_routine_missing_2, "Sub/Function does not exist in dynamic library", "Critical Error"},
    {err::gl_command_outside_sub_gl, "_GL command called outside of SUB _GL's scope", "Critical Error"},
    {err::end_within_sub_gl, "END/SYSTEM called within SUB _GL's scope", "Critical Error"},
}};

using err::first_numbered_critical;
using err::last_numbered_critical;

// "Critical Error #2" ... "#18": the caption of a numbered critical error
// shows the number less 500.
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
