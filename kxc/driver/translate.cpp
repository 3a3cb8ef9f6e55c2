#include "kxc/driver/translate.h"

#include "kxc/check/checker.h"
#include "kxc/emit/emitter.h"
#include "kxc/parse/parser.h"

namespace kxc {

translation translate(const source_program& source, const program_options& command_line, bool without_main) {
  translation out;
  diagnostics diag(source);
  program ast = parse_program(source, diag, command_line.crunched ? lex_style::crunched : lex_style::spaced);
  program_options& o = ast.options;
  o.console = o.console || command_line.console || command_line.console_only;
  o.console_only = o.console_only || command_line.console_only;
  o.asserts = o.asserts || command_line.asserts;
  o.resizable = o.resizable || command_line.resizable;
  o.start_hidden = o.start_hidden || command_line.start_hidden;
  o.crunched = o.crunched || command_line.crunched;
  out.options = o;
  checked_program checked = check_program(std::move(ast), diag);
  out.errors = diag.count();
  out.diagnostics = diag.text();
  if (out.errors) return out;
  emit_options eo;
  eo.source_name = source.files().empty() ? std::string("program") : source.files()[0];
  eo.build = out.options;
  eo.source = &source;
  eo.without_main = without_main;
  out.cpp = emit_program(checked, eo);
  out.ok = true;
  return out;
}

}  // namespace kxc
