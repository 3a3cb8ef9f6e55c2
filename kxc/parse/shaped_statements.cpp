#include "kxc/parse/shaped_statements.h"

#include <array>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

namespace kxc {

namespace {

// An option word and the number its entry point takes for it.
struct option_word {
  std::string_view word;
  int value;
};

constexpr option_word put_actions[] = {{"XOR", 5}, {"PSET", 1}, {"PRESET", 2}, {"AND", 3}, {"OR", 4}};
constexpr option_word fullscreen_modes[] = {{"_OFF", 1}, {"_STRETCH", 2}, {"_SQUAREPIXELS", 3}};
constexpr option_word allowed_modes[] = {{"_STRETCH", 1}, {"_SQUAREPIXELS", 2}, {"_OFF", 3}, {"_ALL", 4}};
constexpr option_word allowed_smoothing[] = {{"_SMOOTH", 1}, {"_OFF", 2}, {"_ALL", 3}};
constexpr option_word switches[] = {{"ON", 1}, {"OFF", 2}};
constexpr option_word lock_key_switches[] = {{"ON", 1}, {"OFF", 2}, {"_TOGGLE", 3}};
constexpr option_word resize_scaling[] = {{"_STRETCH", 1}, {"_SMOOTH", 2}};
constexpr option_word render_orders[] = {{"_BEHIND", 1}, {"_ONTOP", 2}, {"_ONLY", 3}};
constexpr option_word layers[] = {{"_SOFTWARE", 1}, {"_HARDWARE", 2}, {"_HARDWARE1", 3}, {"_GLRENDER", 4}};
constexpr option_word print_modes[] = {{"_FILLBACKGROUND", 1}, {"_KEEPBACKGROUND", 2}, {"_ONLYBACKGROUND", 3}};

// One statement being read: its arguments in table order and its mask.
class shape {
 public:
  shape(token_reader& in, stmt_list& out, const std::string& name, size_t slots)
      : in_(in), out_(out), s_(in.make(stmt_kind::runtime_call)) {
    s_.text = name;
    s_.variant = 1;
    s_.number = 0;
    s_.e.resize(slots);
  }

  token_reader& in() { return in_; }
  const token& peek(size_t ahead = 0) const { return in_.peek(ahead); }
  bool accept(const char* word) { return in_.accept(word); }

  // Nothing (or only a comma) stands here: the part is left out.
  bool empty_here() const { return in_.peek(0).is(",") || in_.at_statement_end(); }

  void set(size_t slot, expr_ptr e) { s_.e[slot] = std::move(e); }
  void push(expr_ptr e) { s_.e.push_back(std::move(e)); }
  void value(size_t slot) { set(slot, in_.expression()); }
  void number(size_t slot, int v) {
    expr_ptr e = std::make_unique<expr>();
    e->kind = expr_kind::number;
    e->at = in_.peek(0).at;
    e->text = std::to_string(v);
    set(slot, std::move(e));
  }
  void mark(int bits) { s_.number |= bits; }

  // An argument that may be left out: its bit when given.
  bool optional(size_t slot, int bit) {
    if (empty_here()) return false;
    value(slot);
    mark(bit);
    return true;
  }

  // Values into slots from first on, with the given words between them.
  void values(size_t first, std::initializer_list<const char*> between) {
    value(first);
    for (const char* word : between) {
      in_.expect(word);
      value(++first);
    }
  }

  // (x, y) into two slots.
  void pair(size_t slot) {
    in_.expect("(");
    values(slot, {","});
    in_.expect(")");
  }

  // [STEP](x, y) into two slots; step_bit when STEP was written.
  void point(size_t slot, int step_bit) {
    if (in_.accept("STEP")) mark(step_bit);
    pair(slot);
  }
  bool point_here() const { return in_.peek(0).is("(") || in_.peek(0).is("STEP"); }

  // One of the option words, as its number; 0 when none stands here.
  template <size_t N>
  int option(const option_word (&words)[N]) {
    for (const option_word& w : words) {
      if (in_.peek(0).kind == tok::name && in_.peek(0).text == w.word) {
        in_.next();
        return w.value;
      }
    }
    return 0;
  }
  template <size_t N>
  int required_option(const option_word (&words)[N], const char* what) {
    const int v = option(words);
    if (v == 0) in_.fail(in_.peek(0), std::string("expected ") + what);
    return v;
  }

  void done() {
    if (!in_.at_statement_end()) in_.fail(in_.peek(0), "unexpected '" + in_.peek(0).text + "' in " + s_.text);
    out_.push_back(std::move(s_));
  }

 private:
  token_reader& in_;
  stmt_list& out_;
  stmt s_;
};

// PSET / PRESET [STEP](x, y)[, colour]
void pset(shape& s) {
  s.point(0, 1);
  if (s.accept(",")) s.optional(2, 2);
}

// LINE [[STEP](x1, y1)]-[STEP](x2, y2)[, [colour][, [B|BF][, style]]]
void line(shape& s) {
  if (s.point_here()) {
    s.point(0, 4);
    s.mark(1);
  }
  s.in().expect("-");
  s.point(2, 2);
  int box = 0;
  if (s.accept(",")) {
    s.optional(4, 8);
    if (s.accept(",")) {
      if (s.peek().is("B")) box = 1;
      if (s.peek().is("BF")) box = 2;
      if (box) s.in().next();
      if (s.accept(",")) s.optional(6, 16);
    }
  }
  s.number(5, box);
}

// CIRCLE [STEP](x, y), radius[, [colour][, [start][, [end][, aspect]]]]
void circle(shape& s) {
  s.point(0, 1);
  s.in().expect(",");
  s.value(2);
  for (size_t slot = 3; slot <= 6 && s.accept(","); ++slot) s.optional(slot, 2 << (slot - 3));
}

// PAINT [STEP](x, y)[, fill or tile][, border][, background]
void paint(shape& s) {
  s.point(0, 1);
  for (size_t slot = 2; slot <= 4 && s.accept(","); ++slot) s.optional(slot, 2 << (slot - 2));
}

// VIEW [[SCREEN](x1, y1)-(x2, y2)[, [fill][, border]]] and
// WINDOW [[SCREEN](x1, y1)-(x2, y2)]
void view_or_window(shape& s, bool view) {
  if (s.in().at_statement_end()) return;
  if (s.accept("SCREEN")) s.mark(2);
  s.mark(1);
  s.pair(0);
  s.in().expect("-");
  s.pair(2);
  if (view && s.accept(",")) {
    s.optional(4, 4);
    if (s.accept(",")) s.optional(5, 8);
  }
}

// _PUTIMAGE [[STEP](dx1, dy1)[-[STEP](dx2, dy2)]][, [src][, [dst][,
//   [[STEP](sx1, sy1)[-[STEP](sx2, sy2)]][, _SMOOTH]]]]
void putimage(shape& s) {
  const auto smooth = [&] {
    if (!s.accept("_SMOOTH")) return false;
    s.mark(0x80);
    return true;
  };
  const auto corners = [&](size_t slot, int first, int first_step, int second, int second_step) {
    if (!s.point_here()) return;
    s.point(slot, first_step);
    s.mark(first);
    if (s.accept("-")) {
      s.point(slot + 2, second_step);
      s.mark(second);
    }
  };
  corners(0, 1, 2, 4, 0x10);
  if (!s.accept(",")) return;
  if (smooth()) return;
  s.optional(4, 8);
  if (!s.accept(",")) return;
  if (smooth()) return;
  s.optional(5, 0x20);
  if (!s.accept(",")) return;
  if (smooth()) return;
  corners(6, 0x40, 0x100, 0x200, 0x400);
  if (s.accept(",") && !smooth()) s.in().fail(s.peek(), "expected _SMOOTH");
}

// GET [STEP](x1, y1)-[STEP](x2, y2), array[, offcolour]
void graphics_get(shape& s) {
  s.point(2, 1);
  s.in().expect("-");
  s.point(4, 2);
  s.in().expect(",");
  s.set(0, s.in().variable());
  if (s.accept(",")) s.optional(1, 4);
}

// PUT [STEP](x, y), array[, [_CLIP] [action]][, transparent]
void graphics_put(shape& s) {
  s.point(3, 1);
  s.in().expect(",");
  s.set(0, s.in().variable());
  int action = 0;
  while (s.accept(",")) {
    if (s.accept("_CLIP")) s.mark(2);
    if (const int a = s.option(put_actions)) {
      action = a;
      continue;
    }
    if (s.optional(2, 4)) break;
  }
  s.number(1, action);
}

// GET / PUT [#]n, [record], [variable] of files and network handles.
void file_record(shape& s, const std::string& word) {
  s.accept("#");
  s.value(0);
  if (!s.accept(",")) s.in().fail(s.peek(), word + " of a file needs a variable; FIELD is not supported yet");
  if (!s.empty_here()) {
    s.value(1);
    s.mark(1);
  }
  s.in().expect(",");
  s.set(2, s.in().variable());
}

// _PRINTSTRING [STEP](x, y), text[, image]
void printstring(shape& s) {
  s.point(0, 1);
  s.in().expect(",");
  s.value(2);
  if (s.accept(",")) s.optional(3, 2);
}

// _CLEARCOLOR {colour | _NONE}[, image]
void clearcolor(shape& s) {
  if (s.accept("_NONE")) {
    s.number(0, 1);
  } else {
    s.number(0, 0);
    s.optional(1, 1);
  }
  if (s.accept(",")) s.optional(2, 2);
}

// _SETALPHA alpha[, [colour1] [TO colour2]][, image]
void setalpha(shape& s) {
  s.value(0);
  if (!s.accept(",")) return;
  if (!s.peek().is("TO")) s.optional(1, 1);
  if (s.accept("TO")) {
    s.value(2);
    s.mark(2);
  }
  if (s.accept(",")) s.optional(3, 4);
}

// LOCK / UNLOCK [#]n[, [start] [TO end]]
void lock(shape& s) {
  s.accept("#");
  s.value(0);
  if (!s.accept(",")) return;
  if (!s.peek().is("TO")) s.optional(1, 1);
  if (s.accept("TO")) {
    s.value(2);
    s.mark(2);
  }
}

void screenmove(shape& s) {
  if (s.accept("_MIDDLE")) {
    s.number(0, 0);
    s.number(1, 0);
    s.number(2, 1);
    return;
  }
  s.value(0);
  s.in().expect(",");
  s.value(1);
  s.number(2, 2);
}

// An option word into a slot with its bit; a second one after a comma.
template <size_t N, size_t M>
void two_options(shape& s, const option_word (&first)[N], const option_word (&second)[M]) {
  if (const int v = s.option(first)) {
    s.number(0, v);
    s.mark(1);
  }
  if (s.accept(",")) {
    s.number(1, s.required_option(second, "an option word"));
    s.mark(2);
  }
}

void fps(shape& s) {
  if (s.accept("_AUTO")) {
    s.number(0, 0);
    s.number(1, 1);
    return;
  }
  s.value(0);
  s.number(1, 2);
}

void displayorder(shape& s) {
  for (size_t slot = 0; slot < 4; ++slot) {
    s.number(slot, s.required_option(layers, "_SOFTWARE, _HARDWARE, _HARDWARE1 or _GLRENDER"));
    s.mark(1 << slot);
    if (!s.accept(",")) break;
  }
}

void printmode(shape& s) {
  s.number(0, s.required_option(print_modes, "_FILLBACKGROUND, _KEEPBACKGROUND or _ONLYBACKGROUND"));
  if (s.accept(",")) s.optional(1, 1);
}

// SHELL _HIDE / _DONTWAIT [command]: the entry point by the words given,
// bit 1 of its flags when a command follows.
bool shell(token_reader& in, stmt_list& out) {
  bool hide = false, dont_wait = false;
  size_t ahead = 1;
  for (;; ++ahead) {
    if (in.peek(ahead).is("_HIDE")) hide = true;
    else if (in.peek(ahead).is("_DONTWAIT")) dont_wait = true;
    else break;
  }
  if (!hide && !dont_wait) return false;
  shape s(in, out, hide && dont_wait ? "SHELL _HIDE _DONTWAIT" : hide ? "SHELL _HIDE" : "SHELL _DONTWAIT", 2);
  for (size_t k = 0; k < ahead; ++k) in.next();
  const bool given = !in.at_statement_end();
  if (given) s.value(0);
  s.number(1, given ? 2 : 0);
  s.done();
  return true;
}

// _MEMGET block, offset, variable
void memget(shape& s) {
  s.values(0, {","});
  s.in().expect(",");
  s.set(2, s.in().variable());
}

// _MEMPUT block, offset, value [AS type]
void memput(shape& s) {
  s.values(0, {",", ","});
  if (s.accept("AS")) s.set(3, s.in().type_expression());
}

// _MEMFILL block, offset, size, value [AS type]
void memfill(shape& s) {
  s.values(0, {",", ",", ","});
  if (s.accept("AS")) s.set(4, s.in().type_expression());
}

// _MEMCOPY source, offset, size TO destination, offset
void memcopy(shape& s) {
  s.values(0, {",", ",", "TO", ","});
}

}  // namespace

bool read_shaped_statement(token_reader& in, const std::string& word, stmt_list& out) {
  const token& after = in.peek(1);
  if (word == "SHELL") return shell(in, out);
  if (word == "PALETTE" && after.is("USING")) {
    shape s(in, out, "PALETTE USING", 1);
    in.next();
    in.next();
    s.set(0, in.variable());
    s.done();
    return true;
  }
  if (word == "_CLIPBOARD$" && after.is("=")) {
    shape s(in, out, word, 1);
    in.next();
    in.next();
    s.value(0);
    s.done();
    return true;
  }
  if (word == "_MAPUNICODE" && !after.is("(")) {
    shape s(in, out, word, 2);
    in.next();
    s.value(0);
    in.expect("TO");
    s.value(1);
    s.done();
    return true;
  }
  if (word == "KEY" && (after.is("ON") || after.is("OFF") || after.is("LIST"))) {
    shape s(in, out, "KEY " + after.text, 0);
    in.next();
    in.next();
    s.done();
    return true;
  }
  if (word == "KEY" && !after.is("(")) {
    shape s(in, out, "KEY", 2);
    in.next();
    s.value(0);
    in.expect(",");
    s.value(1);
    s.done();
    return true;
  }

  // CALL INTERRUPT / INTERRUPTX (n, inregs, outregs) and CALL ABSOLUTE
  // ([arguments,] offset), with or without CALL and the parentheses.
  const size_t at = word == "CALL" ? 1 : 0;
  const token& name = in.peek(at);
  if (name.is("INTERRUPT") || name.is("INTERRUPTX") || name.is("ABSOLUTE")) {
    shape s(in, out, name.text, 0);
    for (size_t k = 0; k <= at; ++k) in.next();
    const bool parenthesized = in.accept("(");
    std::vector<expr_ptr> args;
    if (!(parenthesized && in.peek(0).is(")"))) {
      do {
        args.push_back(in.expression());
      } while (in.accept(","));
    }
    if (parenthesized) in.expect(")");
    for (expr_ptr& a : args) s.push(std::move(a));
    s.done();
    return true;
  }
  if (word == "RUN") {
    shape s(in, out, "RUN", 0);
    in.next();
    if (!in.at_statement_end()) s.push(in.expression());
    s.done();
    return true;
  }

  struct reader {
    std::string_view word;
    size_t slots;
    void (*read)(shape&);
  };
  static constexpr reader readers[] = {
      {"PSET", 3, pset},
      {"PRESET", 3, pset},
      {"LINE", 7, line},
      {"CIRCLE", 7, circle},
      {"PAINT", 5, paint},
      {"VIEW", 6, [](shape& s) { view_or_window(s, true); }},
      {"WINDOW", 4, [](shape& s) { view_or_window(s, false); }},
      {"_PUTIMAGE", 10, putimage},
      {"_PRINTSTRING", 4, printstring},
      {"_CLEARCOLOR", 3, clearcolor},
      {"_SETALPHA", 4, setalpha},
      {"LOCK", 3, lock},
      {"UNLOCK", 3, lock},
      {"_SCREENMOVE", 3, screenmove},
      {"_FULLSCREEN", 2, [](shape& s) { two_options(s, fullscreen_modes, resize_scaling); }},
      {"_ALLOWFULLSCREEN", 2, [](shape& s) { two_options(s, allowed_modes, allowed_smoothing); }},
      {"_RESIZE", 2, [](shape& s) { two_options(s, switches, resize_scaling); }},
      {"_FPS", 2, fps},
      {"_GLRENDER", 1, [](shape& s) { s.number(0, s.required_option(render_orders, "_BEHIND, _ONTOP or _ONLY")); }},
      {"_DISPLAYORDER", 4, displayorder},
      {"_PRINTMODE", 2, printmode},
      {"_BLINK", 1, [](shape& s) { s.number(0, s.required_option(switches, "ON or OFF")); }},
      {"_CONTROLCHR", 1, [](shape& s) { s.number(0, s.required_option(switches, "ON or OFF")); }},
      {"_CAPSLOCK", 1, [](shape& s) { s.number(0, s.required_option(lock_key_switches, "ON, OFF or _TOGGLE")); }},
      {"_NUMLOCK", 1, [](shape& s) { s.number(0, s.required_option(lock_key_switches, "ON, OFF or _TOGGLE")); }},
      {"_SCROLLLOCK", 1, [](shape& s) { s.number(0, s.required_option(lock_key_switches, "ON, OFF or _TOGGLE")); }},
      {"_MEMGET", 3, memget},
      {"_MEMPUT", 4, memput},
      {"_MEMFILL", 5, memfill},
      {"_MEMCOPY", 5, memcopy},
      {"_MEMFREE", 1, [](shape& s) { s.value(0); }},
  };
  if (word == "GET" || word == "PUT") {
    const bool graphics = after.is("(") || after.is("STEP");
    shape s(in, out, word + (graphics ? "@" : "#"), graphics ? (word == "GET" ? 6 : 5) : 3);
    in.next();
    if (graphics) {
      if (word == "GET") graphics_get(s);
      else graphics_put(s);
    } else {
      file_record(s, word);
    }
    s.done();
    return true;
  }
  for (const reader& r : readers) {
    if (r.word != word) continue;
    if (word == "LINE" && after.is("INPUT")) return false;
    if (word == "VIEW" && after.is("PRINT")) return false;
    shape s(in, out, word, r.slots);
    in.next();
    r.read(s);
    s.done();
    return true;
  }
  return false;
}

}  // namespace kxc
