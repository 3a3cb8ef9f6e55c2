// The program's frame: records, shared variables, DATA, the routines, the
// main routine with its entries (start, error handlers, trap handlers,
// RESUME targets), the trap dispatch and the kx_program.
#include <algorithm>

#include "kxc/emit/emitter_state.h"

namespace kxc {

namespace {

// Every runtime header an emitted statement may call into.
constexpr const char* runtime_headers[] = {
    "base/arithmetic_fault.h", "base/process_exit.h", "files/bsave.h", "files/chain_input.h",
    "files/command_line.h", "files/console_switches.h", "files/directories.h", "files/environment.h",
    "files/file_input.h", "files/file_input_numbers.h", "files/file_open_close.h", "files/file_position.h",
    "files/file_print.h", "files/file_records.h", "files/shell.h", "frame/clear.h", "frame/program.h",
    "frame/return_points.h", "frame/shutdown.h", "frame/startup.h", "frame/timing.h", "frame/traps.h",
    "input/devices.h", "input/inkey.h", "input/input_statement.h", "input/lock_keys.h",
    "input/mouse_position.h", "input/mouse_queues.h", "input/soft_keys.h", "legacy/ports.h",
    "net/network_handles.h", "platform/clipboard.h", "screen/compose/presentation_statements.h",
    "screen/compose/window_statements.h", "screen/copy/graphics_get_put.h", "screen/copy/pcopy.h",
    "screen/copy/putimage.h", "screen/graphics/circle.h", "screen/graphics/coordinates.h",
    "screen/graphics/draw.h", "screen/graphics/lines.h", "screen/graphics/paint.h",
    "screen/graphics/pixels.h", "screen/images/color_statements.h", "screen/images/image_statements.h",
    "screen/images/rgb_functions.h", "screen/images/screen_modes.h", "screen/text/cls.h",
    "screen/text/cursor.h", "screen/text/font_statements.h", "screen/text/lprint.h",
    "screen/text/positioned_text.h", "screen/text/screen_read.h", "screen/text/text_switches.h",
    "values/binary_conversions.h", "values/date_time.h", "values/def_seg.h", "values/mbf.h",
    "values/print_using.h", "values/random_numbers.h", "values/read_data.h", "values/string_append.h",
    "values/string_build.h", "values/string_case.h", "values/string_compare.h", "values/string_overwrite.h",
    "values/string_results.h", "values/string_search.h", "values/swap.h", "values/type_codes.h",
    "values/unicode_map.h", "values/val.h",
};

}  // namespace

// A FOR's end and step (and, for a one-byte variable, its counter).
std::string emitter::for_state(const stmt& s) const {
  const type_ref& t = s.e[0]->type;
  const bool one_byte = t.base == base_type::byte || t.base == base_type::ubyte || t.base == base_type::bit ||
                        t.base == base_type::ubit;
  const std::string k = std::to_string(s.number);
  if (one_byte) return "int16_t FOR_END_" + k + " = 0, FOR_STEP_" + k + " = 0, FOR_CTR_" + k + " = 0;";
  return ct(t) + " FOR_END_" + k + " = 0, FOR_STEP_" + k + " = 0;";
}

std::string emitter::element_bytes(const symbol& s) const {
  if (s.type.is_string()) {
    return s.type.fixed_length ? std::to_string(s.type.fixed_length) : std::string("sizeof(kxs*)");
  }
  return "sizeof(" + ct(s.type) + ")";
}

std::string emitter::array_kind(const symbol& s) const {
  return s.type.is_string() && !s.type.fixed_length ? "kx::array_elements::strings" : "kx::array_elements::plain";
}

std::string emitter::implicit_dim(const symbol& s) {
  // An array used without DIM, or DIMmed with constant bounds: made once.
  std::string lower, upper;
  const int dims = std::max(s.dimensions, 1);
  for (int i = 0; i < dims; ++i) {
    if (!lower.empty()) {
      lower += ", ";
      upper += ", ";
    }
    lower += std::to_string(p_.option_base);
    upper += "10";
  }
  return "{ const int64_t lower[] = {" + lower + "}; const int64_t upper[] = {" + upper + "}; kx::array_dim(" +
         s.cpp + ", " + std::to_string(dims) + ", lower, upper, " +
         element_bytes(s) + ", " + array_kind(s) + ", true); }";
}

void emitter::records() {
  if (p_.records.empty()) return;
  out_ << "#pragma pack(push, 1)\n";
  for (const record_layout& r : p_.records) {
    if (r.name == "_MEM") continue;  // the support header's, laid out as the runtime's mem_block
    out_ << "struct UDT_" << r.name << " {\n";
    for (const field_layout& f : r.fields) {
      if (f.type.is_string()) out_ << "  uint8_t " << safe(f.name) << "[" << f.type.fixed_length << "];\n";
      else out_ << "  " << ct(f.type) << " " << safe(f.name) << ";\n";
    }
    out_ << "};\n";
  }
  out_ << "#pragma pack(pop)\n\n";
}

// The C++ declaration of a variable, array or constant.
std::string emitter::declare_symbol(const symbol& s, bool local) {
  const std::string t = ct(s.type);
  if (s.constant) {
    if (s.type.is_string()) return "";
    return "const " + t + " " + s.cpp + " = " + as(*s.value, s.type) + ";";
  }
  if (s.array) {
    const int dims = std::max(s.dimensions, 1);
    if (local && !s.is_static) {
      // Registered with the routine's frame, which erases it on the way out.
      return "int64_t " + s.cpp + "[" + std::to_string(4 + 4 * dims + 1) + "] = {}; frame.local_array(" + s.cpp + ", " +
             std::to_string(dims) + ", " + element_bytes(s) + ", " + array_kind(s) + ");";
    }
    return std::string(local ? "static " : "") + "int64_t " + s.cpp + "[" + std::to_string(4 + 4 * dims + 1) + "] = {};";
  }
  if (s.type.is_string()) {
    if (s.type.fixed_length) {
      const std::string storage = std::string(local && !s.is_static ? "" : "static ") + "uint8_t " + s.cpp + "_storage[" +
                                  std::to_string(s.type.fixed_length) + "];";
      // Locals get their descriptor where the routine sets them up.
      return local ? storage : storage + " kxs* " + s.cpp + " = nullptr;";
    }
    return std::string(local && s.is_static ? "static " : "") + "kxs* " + s.cpp + " = nullptr;";
  }
  if (s.type.is_record()) return std::string(local && s.is_static ? "static " : "") + t + " " + s.cpp + "{};";
  return std::string(local && s.is_static ? "static " : "") + t + " " + s.cpp + " = 0;";
}

void emitter::globals() {
  out_ << "// Shared variables: the main module's, allocated on the first entry.\n";
  for (const symbol& s : p_.symbols) {
    if (s.owner != 0 || s.is_param) continue;
    if (s.constant) continue;
    out_ << declare_symbol(s, false) << "\n";
  }
  out_ << "\n// FOR loops of the main module: each FOR's end and step.\n";
  const kxc::routine& main = p_.ast.routines[0];
  for (const stmt& s : main.body) {
    if (s.kind == stmt_kind::for_loop && s.e[0]->type.is_numeric()) out_ << for_state(s) << "\n";
    if (s.kind == stmt_kind::select_case) {
      if (s.e[0]->type.is_string()) out_ << "kxs* SEL_" << (&s - main.body.data()) << " = nullptr;\n";
      else out_ << ct(s.e[0]->type) << " SEL_" << (&s - main.body.data()) << " = 0;\n";
    }
  }
  out_ << "\n";
}

void emitter::data() {
  out_ << "// DATA, every statement's items joined by commas.\n";
  out_ << "const uint8_t program_data[] = \"" << escaped(p_.data) << "\";\n";
  out_ << "constexpr int64_t program_data_length = " << p_.data.size() << ";\n\n";
}

std::string emitter::signature(int r) const {
  const routine_info& info = p_.routines[static_cast<size_t>(r)];
  const kxc::routine& rt = p_.ast.routines[static_cast<size_t>(r)];
  std::string result = rt.kind == routine_kind::sub ? "void" : ct(info.result);
  std::string params;
  for (int pi : info.params) {
    const symbol& s = p_.symbols[static_cast<size_t>(pi)];
    if (!params.empty()) params += ", ";
    if (s.array) params += "int64_t* " + s.cpp;
    else if (s.type.is_string()) params += "kxs* " + s.cpp;
    else if (s.by_value) params += ct(s.type) + " " + s.cpp;
    else params += ct(s.type) + "* " + s.cpp;
  }
  return result + " " + info.cpp + "(" + params + ")";
}

void emitter::prototypes() {
  for (size_t r = 1; r < p_.ast.routines.size(); ++r) out_ << signature(static_cast<int>(r)) << ";\n";
  out_ << "\n";
}

void emitter::allocation() {
  out_ << "void allocate_shared_variables() {\n";
  for (const symbol& s : p_.symbols) {
    if (s.owner != 0 || s.is_param || s.constant) continue;
    if (s.array) {
      if (!s.dynamic) {
        // A static array: its constant bounds (or 0 TO 10) are made once.
        out_ << "  if (!(" << s.cpp << "[2] & array_dimensioned)) ";
        bool declared = false;
        for (const stmt& st : p_.ast.routines[0].body) {
          if (st.kind != stmt_kind::dim) continue;
          for (size_t i = 0; i < st.decls.size() && i < st.jump_targets.size(); ++i) {
            if (&p_.symbols[static_cast<size_t>(st.jump_targets[i])] != &s || st.decls[i].bounds.empty()) continue;
            std::string lower, upper;
            type_ref int64;
            int64.base = base_type::integer64;
            for (const auto& b : st.decls[i].bounds) {
              if (!lower.empty()) {
                lower += ", ";
                upper += ", ";
              }
              lower += b.first ? as(*b.first, int64) : std::to_string(p_.option_base) + "LL";
              upper += as(*b.second, int64);
            }
            out_ << "{ const int64_t lower[] = {" << lower << "}; const int64_t upper[] = {" << upper
                 << "}; kx::array_dim(" << s.cpp << ", " << st.decls[i].bounds.size() << ", lower, upper, "
                 << element_bytes(s) << ", " << array_kind(s) << ", true); }\n";
            declared = true;
          }
        }
        if (!declared) out_ << implicit_dim(s) << "\n";
      }
      continue;
    }
    if (s.type.is_string()) {
      if (s.type.fixed_length) {
        out_ << "  if (!" << s.cpp << ") { std::memset(" << s.cpp << "_storage, ' ', " << s.type.fixed_length << "); "
             << s.cpp << " = kxs_new_fixed(" << s.cpp << "_storage, " << s.type.fixed_length << ", 0); }\n";
      } else {
        out_ << "  if (!" << s.cpp << ") " << s.cpp << " = kxs_new(0, 0);\n";
      }
    }
  }
  const kxc::routine& main = p_.ast.routines[0];
  for (const stmt& s : main.body) {
    if (s.kind == stmt_kind::select_case && s.e[0]->type.is_string()) {
      out_ << "  if (!SEL_" << (&s - main.body.data()) << ") SEL_" << (&s - main.body.data()) << " = kxs_new(0, 0);\n";
    }
  }
  out_ << "}\n\n";
}

void emitter::clearing() {
  out_ << "// CLEAR: every shared variable back to zero or empty.\n";
  out_ << "void clear_shared_variables() {\n";
  for (const symbol& s : p_.symbols) {
    if (s.owner != 0 || s.is_param || s.constant) continue;
    if (s.array) {
      out_ << "  kx::array_erase(" << s.cpp << ", " << std::max(s.dimensions, 1) << ", " << element_bytes(s) << ", "
           << array_kind(s) << ");\n";
    } else if (s.type.is_string()) {
      if (s.type.fixed_length) out_ << "  std::memset(" << s.cpp << "_storage, ' ', " << s.type.fixed_length << ");\n";
      else out_ << "  if (" << s.cpp << ") kxs_set(" << s.cpp << ", kxs_new(0, 1));\n";
    } else if (s.type.is_record()) {
      out_ << "  std::memset(&" << s.cpp << ", 0, sizeof " << s.cpp << ");\n";
    } else {
      out_ << "  " << s.cpp << " = 0;\n";
    }
  }
  out_ << "}\n\n";
}

void emitter::routine(int r) {
  current_ = r;
  const kxc::routine& rt = p_.ast.routines[static_cast<size_t>(r)];
  const routine_info& info = p_.routines[static_cast<size_t>(r)];
  return_places_.clear();
  emitted_labels_.clear();
  std::ostringstream body;
  code_ = &body;
  indent_ = 1;
  if (rt.value) {
    // DEF FN on one line.
    prelude_.clear();
    uses_strings_ = false;
    const std::string v = as(*rt.value, info.result);
    for (const std::string& p : prelude_) line(p);
    prelude_.clear();
    if (info.result.is_string()) line("kxs_set(result, " + v + ");");
    else line("result = " + v + ";");
  } else {
    statements(rt.body);
  }
  code_ = &out_;

  out_ << signature(r) << " {\n";
  out_ << "  kxc::routine_frame frame;\n";
  out_ << "  const uint32_t tmp_mark = frame.tmp_mark();\n";
  out_ << "  const int32_t rp_base = next_return_point;\n";
  out_ << "  uint32_t return_place = 0;\n";
  if (rt.kind != routine_kind::sub) {
    if (info.result.is_string()) out_ << "  kxs* result = kxs_new(0, 0);\n";
    else out_ << "  " << ct(info.result) << " result = 0;\n";
  }
  // Parameters: a string that is a temporary or constant text becomes the
  // routine's own copy.
  for (int pi : info.params) {
    const symbol& s = p_.symbols[static_cast<size_t>(pi)];
    if (!s.array && s.type.is_string()) out_ << "  " << s.cpp << " = kxc::private_string(" << s.cpp << ", frame);\n";
  }
  for (int si : info.symbols) {
    const symbol& s = p_.symbols[static_cast<size_t>(si)];
    if (s.is_param) continue;
    const bool is_static = s.is_static || rt.is_static;
    symbol copy = s;
    copy.is_static = is_static;
    const std::string d = declare_symbol(copy, true);
    if (!d.empty()) out_ << "  " << d << "\n";
    if (s.constant || s.array) {
      if (s.array && s.implicit_array) out_ << "  " << implicit_dim(copy) << "\n";
      continue;
    }
    if (s.type.is_string()) {
      if (s.type.fixed_length) {
        if (is_static) {
          out_ << "  static kxs* " << s.cpp << " = nullptr;\n  if (!" << s.cpp << ") { std::memset(" << s.cpp
               << "_storage, ' ', " << s.type.fixed_length << "); " << s.cpp << " = kxs_new_fixed(" << s.cpp << "_storage, "
               << s.type.fixed_length << ", 0); }\n";
        } else {
          out_ << "  std::memset(" << s.cpp << "_storage, ' ', " << s.type.fixed_length << ");\n";
          out_ << "  kxs* " << s.cpp << " = frame.local(kxs_new_fixed(" << s.cpp << "_storage, " << s.type.fixed_length
               << ", 0));\n";
        }
      } else if (is_static) {
        out_ << "  if (!" << s.cpp << ") " << s.cpp << " = kxs_new(0, 0);\n";
      } else {
        out_ << "  " << s.cpp << " = frame.local(kxs_new(0, 0));\n";
      }
    }
  }
  for (const stmt& s : rt.body) {
    if (s.kind == stmt_kind::for_loop && s.e[0]->type.is_numeric()) out_ << "  " << for_state(s) << "\n";
    if (s.kind == stmt_kind::select_case) {
      const size_t index = static_cast<size_t>(&s - rt.body.data());
      if (s.e[0]->type.is_string()) out_ << "  kxs* SEL_" << index << " = frame.local(kxs_new(0, 0));\n";
      else out_ << "  " << ct(s.e[0]->type) << " SEL_" << index << " = 0;\n";
    }
  }
  out_ << "  if (kxc::failed()) goto exit_routine;\n";
  out_ << body.str();
  out_ << "  goto exit_routine;\n";
  out_ << "return_dispatch:\n";
  out_ << "  switch (return_place) {\n";
  for (size_t i = 0; i < return_places_.size(); ++i) {
    out_ << "    case " << (i + 1) << ": goto " << return_places_[i] << ";\n";
  }
  out_ << "    default: break;\n  }\n";
  out_ << "exit_routine:\n";
  out_ << "  static_cast<void>(tmp_mark);\n  static_cast<void>(rp_base);\n";
  if (rt.kind == routine_kind::sub) {
    out_ << "  frame.leave();\n}\n\n";
  } else if (info.result.is_string()) {
    out_ << "  frame.leave();\n  return kxs_maketmp(result);\n}\n\n";
  } else {
    out_ << "  frame.leave();\n  return result;\n}\n\n";
  }
}

void emitter::main_routine() {
  current_ = 0;
  return_places_.clear();
  emitted_labels_.clear();
  std::ostringstream body;
  code_ = &body;
  indent_ = 1;
  statements(p_.ast.routines[0].body);
  code_ = &out_;
  out_ << "// The main module's code. entry 0 starts it; 1 .. are the error\n"
          "// handlers; 1000 + n the GOSUB handlers of traps; 2000 + n the RESUME\n"
          "// targets. True when it ends by RESUME or by a trap handler's RETURN,\n"
          "// false when it runs to its end.\n";
  out_ << "namespace {\n\n";
  out_ << "bool main_code(int32_t entry) {\n";
  out_ << "  const uint32_t tmp_mark = kxs_tmp_list_nexti;\n";
  out_ << "  const int32_t rp_base = next_return_point;\n";
  out_ << "  uint32_t return_place = 0;\n";
  out_ << "  switch (entry) {\n";
  for (size_t i = 0; i < p_.handlers.size(); ++i) {
    out_ << "    case " << (i + 1) << ": goto " << label_of(p_.handlers[i]) << ";\n";
  }
  for (size_t i = 0; i < p_.trap_labels.size(); ++i) {
    out_ << "    case " << (1001 + i) << ": push_return_point(0); goto " << label_of(p_.trap_labels[i]) << ";\n";
  }
  for (size_t i = 0; i < p_.resume_labels.size(); ++i) {
    out_ << "    case " << (2001 + i) << ": goto " << label_of(p_.resume_labels[i]) << ";\n";
  }
  out_ << "    default: break;\n  }\n";
  out_ << body.str();
  out_ << "exit_routine:\n";
  out_ << "  static_cast<void>(tmp_mark);\n";
  out_ << "  return false;\n";
  out_ << "return_dispatch:\n";
  out_ << "  switch (return_place) {\n    case 0: return true;\n";
  for (size_t i = 0; i < return_places_.size(); ++i) {
    out_ << "    case " << (i + 1) << ": goto " << return_places_[i] << ";\n";
  }
  out_ << "    default: break;\n  }\n  return false;\n}\n\n";
  out_ << "}  // namespace\n\n";

  out_ << "void KXMAIN(void*) {\n";
  out_ << "  install_division_by_zero_handler();\n";
  out_ << "  allocate_shared_variables();\n";
  out_ << "  if (error_occurred) {\n";
  out_ << "    error_occurred = 0;\n";
  out_ << "    if (error_goto_line >= 1 && error_goto_line <= " << p_.handlers.size() << ") {\n";
  out_ << "      error_handling = 1;\n";
  out_ << "      if (!main_code(error_goto_line)) sub_end();\n";
  out_ << "      return;\n";
  out_ << "    }\n";
  out_ << "    kx_exit_process(99);\n";
  out_ << "  }\n";
  out_ << "  chain_input();\n";
  out_ << "  int32_t entry = 0;\n";
  out_ << "  for (;;) {\n";
  out_ << "    try {\n";
  out_ << "      if (!main_code(entry)) sub_end();\n";
  out_ << "      return;\n";
  out_ << "    } catch (const kxc::resume_at& target) {\n";
  out_ << "      entry = 2000 + target.entry;\n";
  out_ << "    }\n";
  out_ << "  }\n";
  out_ << "}\n\n";
}

void emitter::dispatch() {
  out_ << "namespace {\n\n";
  out_ << "// Trap handlers: main-module GOSUB targets and SUBs.\n";
  out_ << "bool run_trap(int32_t id, int64_t argument) {\n";
  out_ << "  static_cast<void>(argument);\n";
  out_ << "  switch (id) {\n";
  for (size_t i = 0; i < p_.trap_labels.size(); ++i) {
    out_ << "    case " << (i + 1) << ": main_code(" << (1001 + i) << "); return true;\n";
  }
  for (size_t r = 1; r < p_.ast.routines.size(); ++r) {
    const routine_info& info = p_.routines[r];
    if (p_.ast.routines[r].kind != routine_kind::sub) continue;
    if (info.params.empty()) {
      out_ << "    case " << (10000 + r) << ": " << info.cpp << "(); return true;\n";
    } else if (info.params.size() == 1) {
      const symbol& s = p_.symbols[static_cast<size_t>(info.params[0])];
      if (s.array || s.type.is_string() || s.type.is_record()) continue;
      out_ << "    case " << (10000 + r) << ": { " << ct(s.type) << " a = static_cast<" << ct(s.type)
           << ">(argument); " << info.cpp << "(" << (s.by_value ? "a" : "&a") << "); return true; }\n";
    }
  }
  out_ << "    default: return false;\n  }\n}\n\n";
  out_ << "}  // namespace\n\n";
  const program_options& o = options_.build;
  out_ << "const kx_program& kx_translated_program() {\n";
  out_ << "  static const kx_program program = [] {\n";
  out_ << "    kx_program p{};\n";
  out_ << "    p.main_routine = KXMAIN;\n";
  out_ << "    p.clear_shared_variables = clear_shared_variables;\n";
  out_ << "    p.on_key = run_trap;\n    p.on_strig = run_trap;\n    p.on_timer = run_trap;\n";
  out_ << "    p.options.console = " << (o.console ? "true" : "false") << ";\n";
  out_ << "    p.options.console_only = " << (o.console_only ? "true" : "false") << ";\n";
  out_ << "    p.options.asserts = " << (o.asserts ? "true" : "false") << ";\n";
  out_ << "    p.options.resizable = " << (o.resizable ? "true" : "false") << ";\n";
  out_ << "    p.options.start_hidden = " << (o.start_hidden ? "true" : "false") << ";\n";
  out_ << "    return p;\n";
  out_ << "  }();\n";
  out_ << "  return program;\n";
  out_ << "}\n";
  if (!options_.without_main) {
    out_ << "\nint main(int argc, char** argv) { return kx_main(argc, argv, kx_translated_program()); }\n";
  }
}

std::string emitter::run() {
  out_ << "// " << options_.source_name << ", translated by kxc. Each block is one BASIC statement.\n";
  out_ << "#include <cstring>\n#include <string_view>\n#include <utility>\n\n";
  out_ << "#include \"kxc_support.h\"\n";
  for (const char* h : runtime_headers) out_ << "#include \"" << h << "\"\n";
  out_ << "\n#pragma GCC diagnostic ignored \"-Wunused-label\"\n";
  out_ << "#pragma GCC diagnostic ignored \"-Wunused-variable\"\n";
  out_ << "#pragma GCC diagnostic ignored \"-Wunused-but-set-variable\"\n\n";
  out_ << "void KXMAIN(void*);\n";
  out_ << "void allocate_shared_variables();\n";
  out_ << "void clear_shared_variables();\n";
  out_ << "const kx_program& kx_translated_program();\n\n";
  out_ << "namespace {\n\n";
  records();
  out_ << "// Constants.\n";
  for (const symbol& s : p_.symbols) {
    if (s.constant && s.owner == 0) {
      const std::string d = declare_symbol(s, false);
      if (!d.empty()) out_ << d << "\n";
    }
  }
  out_ << "\n";
  globals();
  data();
  out_ << "bool main_code(int32_t entry);\n\n";
  out_ << "}  // namespace\n\n";
  prototypes();
  allocation();
  clearing();
  for (size_t r = 1; r < p_.ast.routines.size(); ++r) routine(static_cast<int>(r));
  main_routine();
  dispatch();
  return out_.str();
}

std::string emit_program(const checked_program& program, const emit_options& options) {
  return emitter(program, options).run();
}

}  // namespace kxc
