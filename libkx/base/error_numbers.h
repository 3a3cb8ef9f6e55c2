#pragma once
// The numbers of the runtime's errors, named after the texts their reports
// show: error(err::file_not_found). The immediately critical "Out of memory"
// numbers share one text, so their names also say what ran out.
#include <cstdint>

namespace err {

// Ordinary errors: trapped by ON ERROR, or reported with the choice to go on.
inline constexpr int32_t next_without_for = 1;
inline constexpr int32_t syntax_error = 2;
inline constexpr int32_t return_without_gosub = 3;
inline constexpr int32_t out_of_data = 4;
inline constexpr int32_t illegal_function_call = 5;
inline constexpr int32_t overflow = 6;
inline constexpr int32_t out_of_memory = 7;
inline constexpr int32_t label_not_defined = 8;
inline constexpr int32_t subscript_out_of_range = 9;
inline constexpr int32_t duplicate_definition = 10;
inline constexpr int32_t illegal_in_direct_mode = 12;
inline constexpr int32_t type_mismatch = 13;
inline constexpr int32_t out_of_string_space = 14;
inline constexpr int32_t string_formula_too_complex = 16;
inline constexpr int32_t cannot_continue = 17;
inline constexpr int32_t function_not_defined = 18;
inline constexpr int32_t no_resume = 19;
inline constexpr int32_t resume_without_error = 20;
inline constexpr int32_t device_timeout = 24;
inline constexpr int32_t device_fault = 25;
inline constexpr int32_t for_without_next = 26;
inline constexpr int32_t out_of_paper = 27;
inline constexpr int32_t while_without_wend = 29;
inline constexpr int32_t wend_without_while = 30;
inline constexpr int32_t duplicate_label = 33;
inline constexpr int32_t subprogram_not_defined = 35;
inline constexpr int32_t argument_count_mismatch = 37;
inline constexpr int32_t array_not_defined = 38;
inline constexpr int32_t variable_required = 40;
inline constexpr int32_t field_overflow = 50;
inline constexpr int32_t internal_error = 51;
inline constexpr int32_t bad_file_name_or_number = 52;
inline constexpr int32_t file_not_found = 53;
inline constexpr int32_t bad_file_mode = 54;
inline constexpr int32_t file_already_open = 55;
inline constexpr int32_t field_statement_active = 56;
inline constexpr int32_t device_io_error = 57;
inline constexpr int32_t file_already_exists = 58;
inline constexpr int32_t bad_record_length = 59;
inline constexpr int32_t disk_full = 61;
inline constexpr int32_t input_past_end_of_file = 62;
inline constexpr int32_t bad_record_number = 63;
inline constexpr int32_t bad_file_name = 64;
inline constexpr int32_t too_many_files = 67;
inline constexpr int32_t device_unavailable = 68;
inline constexpr int32_t communication_buffer_overflow = 69;
inline constexpr int32_t permission_denied = 70;
inline constexpr int32_t disk_not_ready = 71;
inline constexpr int32_t disk_media_error = 72;
inline constexpr int32_t feature_unavailable = 73;
inline constexpr int32_t rename_across_disks = 74;
inline constexpr int32_t path_file_access_error = 75;
inline constexpr int32_t path_not_found = 76;
inline constexpr int32_t invalid_handle = 258;

// Raised like ordinary errors, never trapped; the program ends after the
// report.
inline constexpr int32_t memory_region_out_of_range = 300;
inline constexpr int32_t invalid_size = 301;
inline constexpr int32_t source_memory_region_out_of_range = 302;
inline constexpr int32_t destination_memory_region_out_of_range = 303;
inline constexpr int32_t source_and_destination_memory_regions_out_of_range = 304;
inline constexpr int32_t source_memory_freed = 305;
inline constexpr int32_t destination_memory_freed = 306;
inline constexpr int32_t memory_already_freed = 307;
inline constexpr int32_t memory_freed = 308;
inline constexpr int32_t memory_not_initialized = 309;
inline constexpr int32_t source_memory_not_initialized = 310;
inline constexpr int32_t destination_memory_not_initialized = 311;
inline constexpr int32_t source_and_destination_memory_not_initialized = 312;
inline constexpr int32_t source_and_destination_memory_freed = 313;
inline constexpr int32_t assert_failed = 314;
inline constexpr int32_t assert_failed_see_console = 315;
inline constexpr int32_t first_untrappable = memory_region_out_of_range;
inline constexpr int32_t last_untrappable = assert_failed_see_console;

// Immediately critical: error() shows the box and ends the process.
inline constexpr int32_t division_by_zero = 11;
inline constexpr int32_t out_of_stack_space = 256;
inline constexpr int32_t out_of_memory_timers = 257;  // the ON TIMER table
inline constexpr int32_t dynamic_library_not_found = 259;
// Two numbers with one text: "Sub/Function does not exist in dynamic library".
inline constexpr int32_t dynamic_library_routine_missing = 260;
inline constexpr int32_t dynamic_library_routine_missing_2 = 261;
inline constexpr int32_t gl_command_outside_sub_gl = 270;
inline constexpr int32_t end_within_sub_gl = 271;
// "Out of memory" with the caption "Critical Error #" and the number - 500.
inline constexpr int32_t out_of_memory_image_table = 502;
inline constexpr int32_t out_of_memory_free_images = 503;
inline constexpr int32_t out_of_memory_static_pool = 504;
inline constexpr int32_t out_of_memory_cmem_oversized = 505;  // more than one conventional block can hold
inline constexpr int32_t out_of_memory_cmem_full = 506;
inline constexpr int32_t out_of_memory_cmem_links = 507;
inline constexpr int32_t out_of_memory_descriptors = 508;
inline constexpr int32_t out_of_memory_cmem_string_list = 509;
inline constexpr int32_t out_of_memory_string_list = 510;
inline constexpr int32_t out_of_memory_temporary_list = 511;
inline constexpr int32_t out_of_memory_string_data = 512;
inline constexpr int32_t out_of_memory_cmem_string_data = 513;
inline constexpr int32_t out_of_memory_legacy_descriptor = 514;  // a conventional string's
inline constexpr int32_t out_of_memory_fixed_legacy_descriptor = 515;
inline constexpr int32_t out_of_memory_input_snapshot = 516;  // INPUT's copies of the screen
inline constexpr int32_t out_of_memory_input_scratch = 517;
inline constexpr int32_t out_of_memory_memget = 518;
inline constexpr int32_t out_of_memory_paint = 519;  // PAINT's frontier queues and done map
inline constexpr int32_t out_of_memory_renderer = 520;  // a texture's padded copy, the triangle batch
inline constexpr int32_t first_numbered_critical = out_of_memory_image_table;
inline constexpr int32_t last_numbered_critical = out_of_memory_renderer;

}  // namespace err
