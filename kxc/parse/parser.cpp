#include "kxc/parse/parser.h"

#include <cctype>

#include "kxc/lex/lexer.h"
#include "kxc/lex/runtime_names.h"
#include "kxc/parse/shaped_statements.h"

namespace kxc {

namespace {

// Thrown inside one statement when it cannot be read; caught at the
// statement's start, which reports nothing more and skips to the next one.
struct statement_failed {};

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return {};
  const size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

class parser final : public token_reader {
 public:
  parser(const source_program& source, diagnostics& diag, lex_style style)
      : source_(source), diag_(diag), style_(style) {
    prog_.options.crunched = style == lex_style::crunched;
  }

  program run() {
    prog_.routines.emplace_back();
    prog_.routines[0].kind = routine_kind::main;
    prog_.routines[0].name = "KXMAIN";
    for (const auto& problem : source_.include_problems()) diag_.error(problem.at, problem.message);
    const auto& lines = source_.lines();
    for (line_index_ = 0; line_index_ < lines.size(); ++line_index_) parse_line(lines[line_index_]);
    if (current_ != 0) {
      const routine& open = prog_.routines[static_cast<size_t>(current_)];
      diag_.error(open.at, std::string(open.kind == routine_kind::sub ? "SUB" : open.kind == routine_kind::function
                                                                                  ? "FUNCTION"
                                                                                  : "DEF FN") +
                               " " + open.name + " without its END");
    }
    if (in_type_) diag_.error(type_at_, "TYPE without END TYPE");
    return std::move(prog_);
  }

 private:
  // ---- lines --------------------------------------------------------------

  void parse_line(const source_line& line) {
    line_ = &line;
    const std::string t = trim(line.text);
    if (!t.empty() && t[0] == '$') {  // a metacommand written without a comment mark
      metacommand(t, {line.file, line.number, static_cast<int>(line.text.find('$')) + 1});
      return;
    }
    toks_ = lex_line(line.text, line.file, line.number, diag_, style_);
    p_ = 0;
    if (in_type_) {
      type_field_line();
      return;
    }
    // A line number or a label opens the line.
    if (peek().kind == tok::number && peek().suffix.empty() &&
        peek().text.find_first_not_of("0123456789") == std::string::npos) {
      stmt s = make(stmt_kind::label);
      s.text = peek().text;
      s.number = std::stoi(peek().text.substr(0, 9));
      next();
      body().push_back(std::move(s));
    } else if (peek().kind == tok::name && !peek().keyword && peek().suffix.empty() && peek(1).is(":") &&
               !is_statement_word(peek().text)) {
      stmt s = make(stmt_kind::label);
      s.text = peek().text;
      next();
      next();
      body().push_back(std::move(s));
    }
    statements(nullptr, false);
  }

  // Statements separated by ':' up to the end of the line (or, inside a
  // one-line IF, up to ELSE), into part; a null part is the current
  // routine's body, looked up again after every statement, since SUB, END
  // SUB and DEF FN change the routine (and may move the list of routines).
  void statements(stmt_list* part, bool in_if) {
    stmt_list top_level;
    stmt_list& out = part ? *part : top_level;
    for (;;) {
      if (!part && !top_level.empty()) {
        for (stmt& done : top_level) body().push_back(std::move(done));
        top_level.clear();
      }
      while (peek().is(":")) next();
      const token& t = peek();
      if (t.kind == tok::end) break;
      if (t.kind == tok::comment) {
        comment_metacommands(t);
        next();
        break;
      }
      if (in_if && t.is_keyword("ELSE")) break;
      const size_t start = p_;
      const size_t first = out.size();
      const position at = t.at;
      try {
        statement(out, in_if);
        // A statement is placed at its first word.
        for (size_t i = first; i < out.size(); ++i) out[i].at = at;
        if (peek().kind != tok::end && !peek().is(":") && peek().kind != tok::comment &&
            !(in_if && peek().is_keyword("ELSE"))) {
          fail(peek(), "unexpected '" + describe(peek()) + "' after the statement");
        }
      } catch (const statement_failed&) {
        // Go on at the next statement of the line.
        if (p_ == start) next();
        while (peek().kind != tok::end && !peek().is(":")) next();
      }
    }
    if (!part) {
      for (stmt& done : top_level) body().push_back(std::move(done));
    }
  }

  void comment_metacommands(const token& t) {
    const std::string text = trim(t.text);
    if (!text.empty() && text[0] == '$') metacommand(text, t.at);
  }

  void metacommand(const std::string& text, const position& at) {
    std::string word = upper(text);
    const size_t blank = word.find_first_of(" \t'");
    if (blank != std::string::npos) word = word.substr(0, blank);
    auto& o = prog_.options;
    if (word == "$CONSOLE") o.console = true;
    else if (word == "$CONSOLE:ONLY") o.console = o.console_only = true;
    else if (word == "$ASSERTS" || word == "$ASSERTS:CONSOLE") o.asserts = true;
    else if (word.rfind("$RESIZE", 0) == 0) o.resizable = word != "$RESIZE:OFF";
    else if (word == "$SCREENHIDE") o.start_hidden = true;
    else if (word == "$SCREENSHOW") o.start_hidden = false;
    else if (word == "$CRUNCHED") {
      o.crunched = true;
      style_ = lex_style::crunched;
    }
    else if (word == "$STATIC") dynamic_arrays_ = false;
    else if (word == "$DYNAMIC") dynamic_arrays_ = true;
    else if (word.rfind("$INCLUDE", 0) == 0) return;  // expanded by the source layer
    else diag_.error(at, "unknown metacommand " + word);
    if (word == "$STATIC" || word == "$DYNAMIC") {
      stmt s = make(stmt_kind::nothing);
      s.text = word;
      body().push_back(std::move(s));
    }
  }

  // ---- tokens --------------------------------------------------------------

  const token& peek(size_t ahead = 0) const override {
    const size_t i = std::min(p_ + ahead, toks_.tokens.size() - 1);
    return toks_.tokens[i];
  }
  const token& next() override {
    const token& t = peek();
    if (p_ < toks_.tokens.size() - 1) ++p_;
    return t;
  }
  bool accept(const char* word) override {
    if (peek().is(word)) {
      next();
      return true;
    }
    return false;
  }
  void expect(const char* word) override {
    if (!accept(word)) fail(peek(), std::string("expected ") + word + " but found '" + describe(peek()) + "'");
  }
  bool at_statement_end() const override {
    return peek().kind == tok::end || peek().is(":") || peek().kind == tok::comment || peek().is_keyword("ELSE");
  }
  static std::string describe(const token& t) {
    switch (t.kind) {
      case tok::end: return "end of line";
      case tok::string: return "\"" + t.text + "\"";
      case tok::comment: return "comment";
      default: return t.text + t.suffix;
    }
  }
  [[noreturn]] void fail(const token& at, const std::string& message) override {
    diag_.error(at.at, message);
    throw statement_failed{};
  }

  stmt make(stmt_kind kind) const override {
    stmt s;
    s.kind = kind;
    s.at = peek().at;
    if (line_) {
      s.check_line = line_->main_line;
      if (line_->file != 0) {
        s.include_line = line_->number;
        s.include_file = line_->file;
      }
    }
    return s;
  }

  stmt_list& body() { return prog_.routines[static_cast<size_t>(current_)].body; }

  // ---- statements ------------------------------------------------------------

  void statement(stmt_list& out, bool in_if) {
    const token& t = peek();
    if (t.is("?")) {
      next();
      print(out, stmt_kind::print);
      return;
    }
    if (t.kind != tok::name) fail(t, "a statement cannot start with '" + describe(t) + "'");
    const std::string w = t.suffix.empty() ? t.text : t.text + t.suffix;
    if (read_shaped_statement(*this, w, out)) return;
    if (w == "PRINT") { next(); print(out, stmt_kind::print); return; }
    if (w == "LPRINT") { next(); print(out, stmt_kind::lprint); return; }
    if (w == "WRITE") { next(); write(out); return; }
    if (w == "INPUT") { next(); input(out, false); return; }
    if (w == "LINE" && peek(1).is_keyword("INPUT")) { next(); next(); input(out, true); return; }
    if (w == "IF") { next(); if_statement(out, in_if); return; }
    if (w == "ELSEIF") { next(); cond_block(out, stmt_kind::elseif); return; }
    if (w == "ELSE") { next(); out.push_back(make(stmt_kind::else_block)); return; }
    if (w == "ENDIF") { next(); out.push_back(make(stmt_kind::end_if)); return; }
    if (w == "END") { next(); end_statement(out); return; }
    if (w == "FOR") { next(); for_statement(out); return; }
    if (w == "NEXT") { next(); next_statement(out); return; }
    if (w == "WHILE") {
      stmt s = make(stmt_kind::while_loop);
      next();
      s.e.push_back(expression());
      out.push_back(std::move(s));
      return;
    }
    if (w == "WEND") { out.push_back(make(stmt_kind::wend)); next(); return; }
    if (w == "DO") { next(); do_loop(out, stmt_kind::do_loop); return; }
    if (w == "LOOP") { next(); do_loop(out, stmt_kind::loop); return; }
    if (w == "EXIT") { exit_statement(out); return; }
    if (w == "SELECT") { select_statement(out); return; }
    if (w == "CASE") { case_statement(out); return; }
    if (w == "GOTO") { next(); jump(out, stmt_kind::goto_line); return; }
    if (w == "GOSUB") { next(); jump(out, stmt_kind::gosub); return; }
    if (w == "RETURN") {
      stmt s = make(stmt_kind::return_gosub);
      next();
      if (!at_statement_end()) s.targets.push_back(target());
      out.push_back(std::move(s));
      return;
    }
    if (w == "ON") { next(); on_statement(out); return; }
    if (w == "STOP") { out.push_back(make(stmt_kind::stop_program)); next(); return; }
    if (w == "SYSTEM") {
      stmt s = make(stmt_kind::system_exit);
      next();
      if (!at_statement_end()) s.e.push_back(expression());
      out.push_back(std::move(s));
      return;
    }
    if (w == "DIM" || w == "REDIM" || w == "STATIC" || w == "SHARED" || w == "COMMON") {
      dim_statement(out, w);
      return;
    }
    if (w == "ERASE") {
      stmt s = make(stmt_kind::erase);
      next();
      do {
        s.e.push_back(expression());
      } while (accept(","));
      out.push_back(std::move(s));
      return;
    }
    if (w == "CONST") { const_statement(out); return; }
    if (w == "DEFINT" || w == "DEFLNG" || w == "DEFSNG" || w == "DEFDBL" || w == "DEFSTR") {
      deftype_statement(out, w);
      return;
    }
    if (w == "_DEFINE") { define_statement(out); return; }
    if (w == "DATA") {
      stmt s = make(stmt_kind::data);
      next();
      s.text = peek().kind == tok::data_text ? next().text : std::string();
      out.push_back(std::move(s));
      return;
    }
    if (w == "READ") {
      stmt s = make(stmt_kind::read);
      next();
      do {
        s.e.push_back(variable());
      } while (accept(","));
      out.push_back(std::move(s));
      return;
    }
    if (w == "RESTORE") {
      stmt s = make(stmt_kind::restore);
      next();
      if (!at_statement_end()) s.targets.push_back(target());
      out.push_back(std::move(s));
      return;
    }
    if (w == "SWAP") {
      stmt s = make(stmt_kind::swap);
      next();
      s.e.push_back(variable());
      expect(",");
      s.e.push_back(variable());
      out.push_back(std::move(s));
      return;
    }
    if (w == "CALL") { next(); call_statement(out, true); return; }
    if (w == "RESUME") {
      stmt s = make(stmt_kind::resume);
      next();
      if (peek().is_keyword("NEXT")) {
        next();
        s.text = "NEXT";
      } else if (!at_statement_end()) {
        s.targets.push_back(target());
        if (s.targets.back().name == "0") s.targets.clear();
      }
      out.push_back(std::move(s));
      return;
    }
    if (w == "ERROR") {
      stmt s = make(stmt_kind::error_stmt);
      next();
      s.e.push_back(expression());
      out.push_back(std::move(s));
      return;
    }
    if (w == "LET") { next(); assignment(out); return; }
    if (w == "SUB" || w == "FUNCTION") { routine_start(w); return; }
    if (w == "DEF" && peek(1).kind == tok::name && peek(1).text.rfind("FN", 0) == 0) { def_fn(out); return; }
    if (w == "DEF" && peek(1).is("SEG")) {
      stmt s = make(stmt_kind::runtime_call);
      next();
      next();
      s.text = "DEF SEG";
      if (accept("=")) s.e.push_back(expression());
      out.push_back(std::move(s));
      return;
    }
    if (w == "DECLARE") {  // accepted; procedures need no declaration
      while (!at_statement_end()) next();
      out.push_back(make(stmt_kind::nothing));
      return;
    }
    if (w == "TYPE") {
      if (current_ != 0) fail(peek(), "TYPE inside a procedure");
      next();
      if (peek().kind != tok::name) fail(peek(), "TYPE needs a name");
      record_decl r;
      r.name = peek().text;
      r.at = peek().at;
      type_at_ = peek().at;
      next();
      prog_.records.push_back(std::move(r));
      in_type_ = true;
      return;
    }
    if (w == "OPTION") {
      next();
      if (!peek().is_keyword("BASE")) {
        // OPTION _EXPLICIT and kin: accepted.
        while (!at_statement_end()) next();
        out.push_back(make(stmt_kind::nothing));
        return;
      }
      stmt s = make(stmt_kind::option_base);
      next();
      if (peek().kind != tok::number || (peek().text != "0" && peek().text != "1")) fail(peek(), "OPTION BASE 0 or 1");
      s.number = std::stoi(next().text);
      out.push_back(std::move(s));
      return;
    }
    if (w == "OPEN") { open_statement(out); return; }
    if (w == "CLOSE" || w == "RESET") {
      stmt s = make(stmt_kind::close_file);
      next();
      while (!at_statement_end()) {
        accept("#");
        s.e.push_back(expression());
        if (!accept(",")) break;
      }
      out.push_back(std::move(s));
      return;
    }
    if (w == "RANDOMIZE") {
      stmt s = make(stmt_kind::randomize);
      next();
      if (peek().is_keyword("USING")) {
        next();
        s.flag = true;
      }
      if (!at_statement_end()) s.e.push_back(expression());
      out.push_back(std::move(s));
      return;
    }
    if (w == "MID$" && peek(1).is("(")) { mid_statement(out); return; }
    if (w == "CLEAR") {
      stmt s = make(stmt_kind::clear);
      next();
      while (!at_statement_end()) next();
      out.push_back(std::move(s));
      return;
    }
    if (w == "SLEEP") {
      stmt s = make(stmt_kind::sleep);
      next();
      if (!at_statement_end()) s.e.push_back(expression());
      out.push_back(std::move(s));
      return;
    }
    if (w == "SCREEN" && !peek(1).is("(")) { args_statement(out, stmt_kind::screen_stmt); return; }
    if (w == "COLOR") { args_statement(out, stmt_kind::color_stmt); return; }
    if (w == "LOCATE") { args_statement(out, stmt_kind::locate); return; }
    if (w == "CLS") { args_statement(out, stmt_kind::cls); return; }
    if (w == "WIDTH") {
      if (peek(1).is("#") || peek(1).is("LPRINT")) fail(peek(1), "WIDTH of a file or the printer is not supported yet");
      args_statement(out, stmt_kind::width);
      return;
    }
    if (w == "VIEW" && peek(1).is_keyword("PRINT")) {
      stmt s = make(stmt_kind::view_print);
      next();
      next();
      if (!at_statement_end()) {
        s.e.push_back(expression());
        expect("TO");
        s.e.push_back(expression());
      }
      out.push_back(std::move(s));
      return;
    }
    if (w == "TIMER" || w == "KEY" || w == "STRIG") { trap_switch(out, w); return; }
    if (w == "NAME") {
      stmt s = make(stmt_kind::runtime_call);
      next();
      s.text = "NAME";
      s.e.push_back(expression());
      expect("AS");
      s.e.push_back(expression());
      out.push_back(std::move(s));
      return;
    }
    if (w == "LSET" || w == "RSET") {
      stmt s = make(stmt_kind::runtime_call);
      next();
      s.text = w;
      s.e.push_back(variable());
      expect("=");
      s.e.push_back(expression());
      out.push_back(std::move(s));
      return;
    }
    if ((w == "DATE$" || w == "TIME$") && peek(1).is("=")) {
      stmt s = make(stmt_kind::runtime_call);
      next();
      next();
      s.text = w;
      s.e.push_back(expression());
      out.push_back(std::move(s));
      return;
    }
    if (w == "_ASSERT") {
      stmt s = make(stmt_kind::runtime_call);
      next();
      s.text = "_ASSERT";
      s.e.push_back(expression());
      if (accept(",")) s.e.push_back(expression());
      out.push_back(std::move(s));
      return;
    }
    if (w == "_CONSOLE" && (peek(1).is_keyword("ON") || peek(1).is_keyword("OFF"))) {
      stmt s = make(stmt_kind::runtime_call);
      next();
      s.text = "_CONSOLE";
      s.number = next().text == "ON" ? 1 : 0;
      out.push_back(std::move(s));
      return;
    }
    if (w == "FIELD") { field_statement(out); return; }
    if (const runtime_statement* rs = find_statement(w); rs && !peek(1).is("=")) {
      stmt s = make(stmt_kind::runtime_call);
      s.text = w;
      next();
      // SEEK #n, position: the '#' is optional.
      accept("#");
      if (!at_statement_end()) s.e = argument_list();
      out.push_back(std::move(s));
      return;
    }
    if (t.keyword) fail(t, "'" + w + "' is not a statement here");
    // An assignment without LET, or a SUB called without CALL.
    size_t ahead = 1;
    if (peek(1).is("(")) {
      int depth = 0;
      for (ahead = 1; peek(ahead).kind != tok::end; ++ahead) {
        if (peek(ahead).is("(")) ++depth;
        if (peek(ahead).is(")") && --depth == 0) break;
      }
      ++ahead;
    }
    if (peek(ahead).is("=") || peek(ahead).is(".")) {
      assignment(out);
      return;
    }
    call_statement(out, false);
  }

  void assignment(stmt_list& out) {
    stmt s = make(stmt_kind::let);
    s.e.push_back(variable());
    expect("=");
    s.e.push_back(expression());
    out.push_back(std::move(s));
  }

  void print(stmt_list& out, stmt_kind kind) {
    stmt s = make(kind);
    if (kind == stmt_kind::print && accept("#")) {
      s.file = expression();
      expect(",");
    }
    if (peek().is_keyword("USING")) {
      next();
      s.using_format = expression();
      if (!accept(";")) expect(",");
    }
    while (!at_statement_end()) {
      if (peek().is(";") || peek().is(",")) {
        s.items.push_back({nullptr, next().text[0]});
        continue;
      }
      s.items.push_back({expression(), 0});
    }
    out.push_back(std::move(s));
  }

  void write(stmt_list& out) {
    stmt s = make(stmt_kind::write_file);
    if (accept("#")) {
      s.file = expression();
      if (!at_statement_end()) expect(",");
    }
    while (!at_statement_end()) {
      s.e.push_back(expression());
      if (!accept(",")) break;
    }
    out.push_back(std::move(s));
  }

  void input(stmt_list& out, bool line_input) {
    stmt s = make(stmt_kind::input);
    s.flag = line_input;
    if (accept("#")) {
      s.file = expression();
      expect(",");
    } else {
      if (accept(";")) s.text = ";";  // the cursor stays on the line
      if (peek().kind == tok::string) {
        expr_ptr prompt = std::make_unique<expr>();
        prompt->kind = expr_kind::string;
        prompt->at = peek().at;
        prompt->text = next().text;
        s.using_format = std::move(prompt);
        if (accept(",")) s.flag2 = true;
        // Listings whose keywords run together often leave out the ';'.
        else if (!(style_ == lex_style::crunched && peek().kind == tok::name)) expect(";");
      }
    }
    do {
      s.e.push_back(variable());
    } while (!line_input && accept(","));
    out.push_back(std::move(s));
  }

  void if_statement(stmt_list& out, bool in_if) {
    stmt s = make(stmt_kind::if_line);
    s.e.push_back(expression());
    if (peek().is_keyword("GOTO")) {
      next();
      stmt g = make(stmt_kind::goto_line);
      g.targets.push_back(target());
      s.then_part.push_back(std::move(g));
    } else {
      expect("THEN");
      if (!in_if && (peek().kind == tok::end || peek().kind == tok::comment)) {
        s.kind = stmt_kind::if_block;
        if (peek().kind == tok::comment) next();
        out.push_back(std::move(s));
        return;
      }
      then_or_else(s.then_part);
    }
    if (peek().is_keyword("ELSE")) {
      next();
      then_or_else(s.else_part);
    }
    out.push_back(std::move(s));
  }

  // After THEN or ELSE: a line number, or statements.
  void then_or_else(stmt_list& part) {
    if (peek().kind == tok::number) {
      stmt g = make(stmt_kind::goto_line);
      g.targets.push_back(target());
      part.push_back(std::move(g));
      return;
    }
    statements(&part, true);
  }

  void cond_block(stmt_list& out, stmt_kind kind) {
    stmt s = make(kind);
    s.e.push_back(expression());
    expect("THEN");
    out.push_back(std::move(s));
  }

  void end_statement(stmt_list& out) {
    const token& t = peek();
    if (t.is_keyword("IF")) { next(); out.push_back(make(stmt_kind::end_if)); return; }
    if (t.is_keyword("SELECT")) { next(); out.push_back(make(stmt_kind::end_select)); return; }
    if (t.is_keyword("SUB") || t.is_keyword("FUNCTION") || t.is_keyword("DEF")) {
      const routine& r = prog_.routines[static_cast<size_t>(current_)];
      const bool matches = (t.text == "SUB" && r.kind == routine_kind::sub) ||
                           (t.text == "FUNCTION" && r.kind == routine_kind::function) ||
                           (t.text == "DEF" && r.kind == routine_kind::def_fn);
      if (!matches) fail(t, "END " + t.text + " without " + t.text);
      next();
      current_ = 0;
      return;
    }
    if (t.is_keyword("TYPE")) fail(t, "END TYPE without TYPE");
    stmt s = make(stmt_kind::end_program);
    if (!at_statement_end()) s.e.push_back(expression());
    out.push_back(std::move(s));
  }

  void for_statement(stmt_list& out) {
    stmt s = make(stmt_kind::for_loop);
    s.e.push_back(variable());
    expect("=");
    s.e.push_back(expression());
    expect("TO");
    s.e.push_back(expression());
    if (accept("STEP")) s.e.push_back(expression());
    out.push_back(std::move(s));
  }

  void next_statement(stmt_list& out) {
    stmt s = make(stmt_kind::next);
    if (!at_statement_end()) {
      do {
        s.e.push_back(variable());
      } while (accept(","));
    }
    out.push_back(std::move(s));
  }

  void do_loop(stmt_list& out, stmt_kind kind) {
    stmt s = make(kind);
    if (peek().is_keyword("WHILE") || peek().is_keyword("UNTIL")) {
      s.text = next().text;
      s.e.push_back(expression());
    }
    out.push_back(std::move(s));
  }

  void exit_statement(stmt_list& out) {
    stmt s = make(stmt_kind::exit_block);
    next();
    const token& t = peek();
    if (!(t.is("FOR") || t.is("DO") || t.is("SUB") || t.is("FUNCTION") || t.is("DEF") || t.is("WHILE"))) {
      fail(t, "EXIT needs FOR, DO, WHILE, SUB, FUNCTION or DEF");
    }
    s.text = next().text;
    out.push_back(std::move(s));
  }

  void select_statement(stmt_list& out) {
    stmt s = make(stmt_kind::select_case);
    next();
    expect("CASE");
    s.e.push_back(expression());
    out.push_back(std::move(s));
  }

  void case_statement(stmt_list& out) {
    stmt s = make(stmt_kind::case_clause);
    next();
    if (peek().is_keyword("ELSE")) {
      next();
      s.text = "ELSE";
      out.push_back(std::move(s));
      return;
    }
    do {
      case_item item;
      if (peek().is_keyword("IS")) {
        next();
        const token& rel = peek();
        if (!(rel.is("=") || rel.is("<>") || rel.is("<") || rel.is(">") || rel.is("<=") || rel.is(">="))) {
          fail(rel, "CASE IS needs a relation");
        }
        item.relation = next().text;
        item.low = additive_level();
      } else if (peek().is("=") || peek().is("<>") || peek().is("<") || peek().is(">") || peek().is("<=") ||
                 peek().is(">=")) {
        item.relation = next().text;
        item.low = additive_level();
      } else {
        item.low = expression();
        if (accept("TO")) item.high = expression();
      }
      s.cases.push_back(std::move(item));
    } while (accept(","));
    out.push_back(std::move(s));
  }

  target_ref target() {
    const token& t = peek();
    if ((t.kind == tok::number && t.suffix.empty()) || (t.kind == tok::name && !t.keyword && t.suffix.empty())) {
      target_ref r{t.text, t.at};
      next();
      return r;
    }
    fail(t, "a line number or label expected, found '" + describe(t) + "'");
  }

  void jump(stmt_list& out, stmt_kind kind) {
    stmt s = make(kind);
    s.targets.push_back(target());
    out.push_back(std::move(s));
  }

  void on_statement(stmt_list& out) {
    if (peek().is_keyword("ERROR")) {
      stmt s = make(stmt_kind::on_error);
      next();
      expect("GOTO");
      s.targets.push_back(target());
      if (s.targets.back().name == "0") s.targets.clear();
      out.push_back(std::move(s));
      return;
    }
    if (peek().is("TIMER") || peek().is("KEY") || peek().is("STRIG")) {
      stmt s = make(stmt_kind::on_trap);
      s.text = next().text;
      expect("(");
      s.e.push_back(expression());
      if (accept(",")) s.e.push_back(expression());
      expect(")");
      // GOSUB a label, or a SUB named alone.
      if (!accept("GOSUB") && !(peek().kind == tok::name && !peek().keyword)) expect("GOSUB");
      s.targets.push_back(target());
      out.push_back(std::move(s));
      return;
    }
    stmt s = make(stmt_kind::on_goto);
    s.e.push_back(expression());
    if (peek().is_keyword("GOTO") || peek().is_keyword("GOSUB")) {
      s.text = next().text;
    } else {
      fail(peek(), "ON needs GOTO or GOSUB");
    }
    do {
      s.targets.push_back(target());
    } while (accept(","));
    out.push_back(std::move(s));
  }

  void trap_switch(stmt_list& out, const std::string& w) {
    stmt s = make(stmt_kind::trap_switch);
    s.text = w;
    next();
    if (accept("(")) {
      s.e.push_back(expression());
      if (accept(",")) s.e.push_back(expression());
      expect(")");
    }
    if (!(peek().is("ON") || peek().is("OFF") || peek().is("STOP") || peek().is("FREE"))) {
      fail(peek(), w + " needs ON, OFF or STOP");
    }
    const std::string action = next().text;
    s.number = action == "ON" ? 1 : action == "OFF" ? 2 : action == "STOP" ? 3 : 4;
    out.push_back(std::move(s));
  }

  void dim_statement(stmt_list& out, const std::string& w) {
    stmt s = make(stmt_kind::dim);
    next();
    s.text = w == "COMMON" ? "DIM" : w;
    s.flag2 = w == "COMMON" || w == "SHARED";
    if (w == "COMMON") accept("SHARED");
    if (w == "REDIM" && peek().is_keyword("_PRESERVE")) {
      next();
      s.flag = true;
    }
    if ((w == "DIM" || w == "REDIM") && peek().is_keyword("SHARED")) {
      next();
      s.flag2 = true;
    }
    // DIM AS type a, b (the type first).
    std::string shared_type;
    expr_ptr shared_length;
    if (peek().is_keyword("AS")) {
      next();
      shared_type = type_name(&shared_length);
    }
    do {
      declaration d;
      if (peek().kind != tok::name || peek().keyword) fail(peek(), "a variable name expected");
      d.name = peek().text;
      d.suffix = peek().suffix;
      d.at = peek().at;
      next();
      if (accept("(")) {
        d.array = true;
        if (!peek().is(")")) {
          do {
            expr_ptr first = expression();
            if (accept("TO")) {
              d.bounds.emplace_back(std::move(first), expression());
            } else {
              d.bounds.emplace_back(nullptr, std::move(first));
            }
          } while (accept(","));
        }
        expect(")");
      }
      if (peek().is_keyword("AS")) {
        next();
        d.as_type = type_name(&d.fixed_length);
      } else if (!shared_type.empty()) {
        d.as_type = shared_type;
        if (shared_length) d.fixed_length = clone(*shared_length);
      }
      s.decls.push_back(std::move(d));
    } while (accept(","));
    s.variant = dynamic_arrays_ ? 1 : 0;
    out.push_back(std::move(s));
  }

  static expr_ptr clone(const expr& e) {
    expr_ptr c = std::make_unique<expr>();
    c->kind = e.kind;
    c->at = e.at;
    c->text = e.text;
    c->suffix = e.suffix;
    c->has_args = e.has_args;
    for (const expr_ptr& a : e.args) c->args.push_back(a ? clone(*a) : nullptr);
    return c;
  }

  expr_ptr type_expression() override {
    expr_ptr e = std::make_unique<expr>();
    e->kind = expr_kind::type_name;
    e->at = peek().at;
    expr_ptr length;
    e->text = type_name(&length);
    if (length) e->args.push_back(std::move(length));
    return e;
  }

  // A type after AS: INTEGER, LONG, ..., STRING [* n], _UNSIGNED ..., a TYPE name.
  std::string type_name(expr_ptr* fixed_length) {
    std::string name;
    if (peek().is_keyword("_UNSIGNED")) {
      next();
      name = "_UNSIGNED ";
    }
    if (peek().kind != tok::name) fail(peek(), "a type name expected after AS");
    name += next().text;
    if (name == "STRING" && accept("*")) *fixed_length = primary();
    if ((name == "_BIT" || name == "_UNSIGNED _BIT") && accept("*")) *fixed_length = primary();
    return name;
  }

  void const_statement(stmt_list& out) {
    next();
    do {
      stmt s = make(stmt_kind::const_decl);
      if (peek().kind != tok::name || peek().keyword) fail(peek(), "a constant name expected");
      s.text = peek().text;
      declaration d;
      d.name = peek().text;
      d.suffix = peek().suffix;
      d.at = peek().at;
      next();
      s.decls.push_back(std::move(d));
      expect("=");
      s.e.push_back(expression());
      out.push_back(std::move(s));
    } while (accept(","));
  }

  void deftype_statement(stmt_list& out, const std::string& w) {
    stmt s = make(stmt_kind::deftype);
    next();
    s.number = w == "DEFINT" ? 1 : w == "DEFLNG" ? 2 : w == "DEFSNG" ? 3 : w == "DEFDBL" ? 4 : 5;
    letter_ranges(&s);
    out.push_back(std::move(s));
  }

  void define_statement(stmt_list& out) {
    stmt s = make(stmt_kind::deftype);
    next();
    letter_ranges(&s);
    expect("AS");
    expr_ptr length;
    s.decls.emplace_back();
    s.decls.back().as_type = type_name(&length);
    s.number = 0;
    out.push_back(std::move(s));
  }

  // A-Z, M, P-R: the letters, as a 26-character mask in text.
  void letter_ranges(stmt* s) {
    s->text.assign(26, ' ');
    do {
      const token& a = peek();
      if (a.kind != tok::name || a.text.empty()) fail(a, "a letter range expected");
      const char from = a.text[0];
      char to = from;
      next();
      if (a.text.size() != 1) fail(a, "a letter range expected");
      if (accept("-")) {
        const token& b = peek();
        if (b.kind != tok::name || b.text.size() != 1) fail(b, "a letter expected after '-'");
        to = b.text[0];
        next();
      }
      for (char c = from; c <= to && c >= 'A' && c <= 'Z'; ++c) s->text[static_cast<size_t>(c - 'A')] = 'x';
    } while (accept(","));
  }

  void call_statement(stmt_list& out, bool with_call) {
    stmt s = make(stmt_kind::call);
    if (peek().kind != tok::name) fail(peek(), "a SUB name expected");
    s.text = peek().text;
    if (!peek().suffix.empty()) fail(peek(), "a SUB name has no type suffix");
    const token name = next();
    if (with_call) {
      if (accept("(")) {
        if (!peek().is(")")) s.e = argument_list();
        expect(")");
      }
    } else if (!at_statement_end()) {
      s.e = argument_list();
    }
    out.push_back(std::move(s));
  }

  void routine_start(const std::string& w) {
    const token& kw = next();
    if (current_ != 0) fail(kw, w + " inside another procedure");
    if (peek().kind != tok::name || peek().keyword) fail(peek(), w + " needs a name");
    routine r;
    r.kind = w == "SUB" ? routine_kind::sub : routine_kind::function;
    r.name = peek().text;
    r.suffix = peek().suffix;
    r.at = peek().at;
    next();
    if (accept("(")) {
      if (!peek().is(")")) parameters(&r);
      expect(")");
    }
    if (r.kind == routine_kind::function && peek().is_keyword("AS")) {
      next();
      expr_ptr length;
      r.as_type = type_name(&length);
    }
    if (peek().is_keyword("STATIC")) {
      next();
      r.is_static = true;
    }
    prog_.routines.push_back(std::move(r));
    current_ = static_cast<int>(prog_.routines.size()) - 1;
  }

  void parameters(routine* r) {
    do {
      declaration d;
      if (peek().is_keyword("BYVAL")) {
        next();
        d.by_value = true;
      }
      if (peek().kind != tok::name || peek().keyword) fail(peek(), "a parameter name expected");
      d.name = peek().text;
      d.suffix = peek().suffix;
      d.at = peek().at;
      next();
      if (accept("(")) {
        d.array = true;
        expect(")");
      }
      if (peek().is_keyword("AS")) {
        next();
        d.as_type = type_name(&d.fixed_length);
      }
      r->params.push_back(std::move(d));
    } while (accept(","));
  }

  void def_fn(stmt_list& out) {
    next();  // DEF
    if (current_ != 0) fail(peek(), "DEF FN inside a procedure");
    routine r;
    r.kind = routine_kind::def_fn;
    r.name = peek().text;
    r.suffix = peek().suffix;
    r.at = peek().at;
    next();
    if (accept("(")) {
      if (!peek().is(")")) parameters(&r);
      expect(")");
    }
    if (accept("=")) {
      r.value = expression();
      prog_.routines.push_back(std::move(r));
      return;
    }
    prog_.routines.push_back(std::move(r));
    current_ = static_cast<int>(prog_.routines.size()) - 1;
  }

  void type_field_line() {
    while (peek().kind != tok::end) {
      if (peek().kind == tok::comment) return;
      if (peek().is(":")) {
        next();
        continue;
      }
      if (peek().is_keyword("END") && peek(1).is_keyword("TYPE")) {
        in_type_ = false;
        return;
      }
      try {
        record_field f;
        if (peek().kind != tok::name) fail(peek(), "a field name expected");
        f.name = peek().text;
        f.at = peek().at;
        next();
        expect("AS");
        f.as_type = type_name(&f.fixed_length);
        prog_.records.back().fields.push_back(std::move(f));
      } catch (const statement_failed&) {
        return;
      }
    }
  }

  void open_statement(stmt_list& out) {
    stmt s = make(stmt_kind::open_file);
    next();
    expr_ptr first = expression();
    if (accept(",")) {  // OPEN "O", #1, "name" [, reclen]
      s.flag = true;
      s.e.push_back(std::move(first));
      accept("#");
      s.e.push_back(expression());
      expect(",");
      s.e.push_back(expression());
      if (accept(",")) s.e.push_back(expression());
      out.push_back(std::move(s));
      return;
    }
    s.e.push_back(std::move(first));
    s.variant = 1;  // RANDOM unless FOR says otherwise
    if (accept("FOR")) {
      const token& mode = peek();
      if (mode.is("RANDOM")) s.variant = 1;
      else if (mode.is("BINARY")) s.variant = 2;
      else if (mode.is("INPUT")) s.variant = 3;
      else if (mode.is("OUTPUT")) s.variant = 4;
      else if (mode.is("APPEND")) s.variant = 5;
      else fail(mode, "OPEN FOR needs RANDOM, BINARY, INPUT, OUTPUT or APPEND");
      next();
    }
    s.number = 0;  // access
    if (accept("ACCESS")) {
      if (accept("READ")) s.number = accept("WRITE") ? 3 : 1;
      else if (accept("WRITE")) s.number = 2;
      else fail(peek(), "ACCESS needs READ, WRITE or READ WRITE");
    }
    int lock = 0;
    if (peek().is("SHARED")) {
      next();
      lock = 1;
    } else if (peek().is("LOCK")) {
      next();
      if (accept("READ")) lock = accept("WRITE") ? 4 : 2;
      else if (accept("WRITE")) lock = 3;
      else fail(peek(), "LOCK needs READ, WRITE or READ WRITE");
    }
    s.targets.push_back({std::to_string(lock), s.at});
    expect("AS");
    accept("#");
    s.e.push_back(expression());
    if (peek().is("LEN")) {
      next();
      expect("=");
      s.e.push_back(expression());
    }
    out.push_back(std::move(s));
  }

  void mid_statement(stmt_list& out) {
    stmt s = make(stmt_kind::mid_assign);
    next();
    expect("(");
    s.e.push_back(variable());
    expect(",");
    s.e.push_back(expression());
    if (accept(",")) s.e.push_back(expression());
    else s.e.push_back(nullptr);
    expect(")");
    expect("=");
    s.e.push_back(expression());
    out.push_back(std::move(s));
  }

  void field_statement(stmt_list& out) {
    stmt s = make(stmt_kind::field_stmt);
    next();
    accept("#");
    s.file = expression();
    while (accept(",")) {
      s.e.push_back(expression());
      expect("AS");
      s.e.push_back(variable());
    }
    out.push_back(std::move(s));
  }

  // Statements of comma-separated arguments, any of them left out.
  void args_statement(stmt_list& out, stmt_kind kind) {
    stmt s = make(kind);
    next();
    if (!at_statement_end()) s.e = argument_list();
    out.push_back(std::move(s));
  }

  // ---- expressions -----------------------------------------------------------

  std::vector<expr_ptr> argument_list() {
    std::vector<expr_ptr> args;
    for (;;) {
      if (peek().is(",") || peek().is(")") || at_statement_end()) {
        args.push_back(nullptr);
      } else {
        args.push_back(expression());
      }
      if (!accept(",")) break;
    }
    // A trailing omitted argument after the last comma counts; a list that
    // is one omitted argument is no list.
    if (args.size() == 1 && !args[0]) args.clear();
    return args;
  }

  // A variable, an array element or a record field: what may stand on the
  // left of '=' or be read into.
  expr_ptr variable() override {
    const token& t = peek();
    if (t.kind != tok::name || (t.keyword && t.text != "STRING")) fail(t, "a variable expected, found '" + describe(t) + "'");
    return postfix(name_expr());
  }

  expr_ptr expression() override { return binary_level(0); }

  // The binary operators from the loosest: IMP EQV XOR OR AND; NOT; the
  // relations; + -; MOD; \; * /; unary minus; ^.
  expr_ptr binary_level(int level) {
    static const std::vector<std::vector<const char*>> levels = {{"IMP"}, {"EQV"}, {"XOR"}, {"OR"}, {"AND"}};
    if (level == static_cast<int>(levels.size())) return not_level();
    expr_ptr left = binary_level(level + 1);
    for (;;) {
      const char* op = nullptr;
      for (const char* candidate : levels[static_cast<size_t>(level)]) {
        if (peek().is_keyword(candidate)) op = candidate;
      }
      if (!op) return left;
      const position at = next().at;
      left = binary(op, std::move(left), binary_level(level + 1), at);
    }
  }

  expr_ptr not_level() {
    if (peek().is_keyword("NOT")) {
      const position at = next().at;
      return unary("NOT", not_level(), at);
    }
    return relation_level();
  }

  expr_ptr relation_level() {
    expr_ptr left = additive_level();
    for (;;) {
      const token& t = peek();
      if (!(t.is("=") || t.is("<>") || t.is("<") || t.is(">") || t.is("<=") || t.is(">="))) return left;
      const std::string op = t.text;
      const position at = next().at;
      left = binary(op, std::move(left), additive_level(), at);
    }
  }

  expr_ptr additive_level() {
    expr_ptr left = mod_level();
    while (peek().is("+") || peek().is("-")) {
      const std::string op = peek().text;
      const position at = next().at;
      left = binary(op, std::move(left), mod_level(), at);
    }
    return left;
  }

  expr_ptr mod_level() {
    expr_ptr left = idiv_level();
    while (peek().is_keyword("MOD")) {
      const position at = next().at;
      left = binary("MOD", std::move(left), idiv_level(), at);
    }
    return left;
  }

  expr_ptr idiv_level() {
    expr_ptr left = mul_level();
    while (peek().is("\\")) {
      const position at = next().at;
      left = binary("\\", std::move(left), mul_level(), at);
    }
    return left;
  }

  expr_ptr mul_level() {
    expr_ptr left = negation_level();
    while (peek().is("*") || peek().is("/")) {
      const std::string op = peek().text;
      const position at = next().at;
      left = binary(op, std::move(left), negation_level(), at);
    }
    return left;
  }

  expr_ptr negation_level() {
    if (peek().is("-") || peek().is("+")) {
      const std::string op = peek().text;
      const position at = next().at;
      return unary(op, negation_level(), at);
    }
    return power_level();
  }

  expr_ptr power_level() {
    expr_ptr left = primary();
    while (peek().is("^")) {
      const position at = next().at;
      left = binary("^", std::move(left), power_operand(), at);
    }
    return left;
  }

  expr_ptr power_operand() {
    if (peek().is("-") || peek().is("+")) {
      const std::string op = peek().text;
      const position at = next().at;
      return unary(op, power_operand(), at);
    }
    return primary();
  }

  expr_ptr primary() {
    const token& t = peek();
    if (t.kind == tok::number) {
      expr_ptr e = std::make_unique<expr>();
      e->kind = expr_kind::number;
      e->at = t.at;
      e->text = t.text;
      e->suffix = t.suffix;
      next();
      return e;
    }
    if (t.kind == tok::string) {
      expr_ptr e = std::make_unique<expr>();
      e->kind = expr_kind::string;
      e->at = t.at;
      e->text = t.text;
      next();
      return e;
    }
    if (t.is("(")) {
      next();
      expr_ptr inner = expression();
      expect(")");
      inner->parenthesized = true;
      return inner;
    }
    if (t.kind == tok::name && (!t.keyword || t.text == "STRING" || t.text == "TIMER")) return postfix(name_expr());
    if (t.kind == tok::name && t.keyword && t.text == "_OFFSET" && peek(1).is("(")) return name_expr();
    if (t.kind == tok::name && t.keyword && (t.text == "INPUT" || t.text == "ERROR") && !t.suffix.empty()) {
      return postfix(name_expr());
    }
    fail(t, "an expression expected, found '" + describe(t) + "'");
  }

  expr_ptr name_expr() {
    const token& t = peek();
    expr_ptr e = std::make_unique<expr>();
    e->kind = expr_kind::name;
    e->at = t.at;
    e->text = t.text;
    e->suffix = t.suffix;
    next();
    if (peek().is("(")) {
      next();
      e->has_args = true;
      if (!peek().is(")")) {
        for (;;) {
          if (peek().is(",")) {
            e->args.push_back(nullptr);
          } else if (e->text == "_MEMGET" && e->args.size() == 2) {
            e->args.push_back(type_expression());  // _MEMGET(block, offset, type)
          } else {
            accept("#");  // EOF(#1), INPUT$(n, #1)
            e->args.push_back(expression());
          }
          if (!accept(",")) break;
        }
      }
      expect(")");
    }
    return e;
  }

  // Record fields: a(1).b.c
  expr_ptr postfix(expr_ptr e) {
    while (peek().is(".") && peek(1).kind == tok::name) {
      next();
      expr_ptr m = std::make_unique<expr>();
      m->kind = expr_kind::member;
      m->at = peek().at;
      m->text = peek().text;
      m->suffix = peek().suffix;
      next();
      m->args.push_back(std::move(e));
      e = std::move(m);
    }
    return e;
  }

  static expr_ptr unary(const std::string& op, expr_ptr operand, const position& at) {
    expr_ptr e = std::make_unique<expr>();
    e->kind = expr_kind::unary;
    e->at = at;
    e->text = op;
    e->args.push_back(std::move(operand));
    return e;
  }

  static expr_ptr binary(const std::string& op, expr_ptr left, expr_ptr right, const position& at) {
    expr_ptr e = std::make_unique<expr>();
    e->kind = expr_kind::binary;
    e->at = at;
    e->text = op;
    e->args.push_back(std::move(left));
    e->args.push_back(std::move(right));
    return e;
  }

  const source_program& source_;
  diagnostics& diag_;
  program prog_;
  int current_ = 0;  // the routine being read
  const source_line* line_ = nullptr;
  size_t line_index_ = 0;
  token_line toks_;
  size_t p_ = 0;
  bool in_type_ = false;
  position type_at_;
  bool dynamic_arrays_ = false;
  lex_style style_;
};

}  // namespace

program parse_program(const source_program& source, diagnostics& diag, lex_style style) {
  return parser(source, diag, style).run();
}

}  // namespace kxc
