#include "kxc/lex/lexer.h"

#include <cctype>

#include "kxc/lex/keywords.h"

namespace kxc {

namespace {

bool name_start(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool name_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.'; }
bool digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

char up(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// Type suffixes, longest first, so that "~%%" is not read as "~%".
constexpr const char* suffixes[] = {"~%%", "~%&", "~&&", "~%", "~&", "~`", "%%", "%&", "&&", "##", "%", "&", "!", "#", "$", "`"};

std::string read_suffix(const std::string& s, size_t* i) {
  for (const char* suffix : suffixes) {
    const std::string_view sv(suffix);
    if (s.compare(*i, sv.size(), sv) == 0) {
      *i += sv.size();
      std::string out(sv);
      if (sv.back() == '`') {  // _BIT * n as `n
        while (*i < s.size() && digit(s[*i])) out += s[(*i)++];
      }
      return out;
    }
  }
  return {};
}

class line_lexer {
 public:
  line_lexer(const std::string& text, int file, int line, diagnostics& diag, lex_style style)
      : s_(text), file_(file), line_(line), diag_(diag), crunched_(style == lex_style::crunched) {}

  token_line run() {
    token_line out;
    while (true) {
      skip_blanks();
      if (i_ >= s_.size()) break;
      token t;
      t.at = {file_, line_, static_cast<int>(i_) + 1};
      const char c = s_[i_];
      if (c == '\'') {
        t.kind = tok::comment;
        t.text = s_.substr(i_ + 1);
        i_ = s_.size();
      } else if (name_start(c)) {
        if (crunched_) read_crunched_name(&t);
        else read_name(&t);
        if (t.keyword && t.text == "REM") {
          t.kind = tok::comment;
          t.text = i_ < s_.size() ? s_.substr(i_ + (s_[i_] == ' ' ? 1 : 0)) : std::string();
          i_ = s_.size();
        } else if (t.keyword && t.text == "DATA") {
          out.tokens.push_back(t);
          token raw;
          raw.kind = tok::data_text;
          raw.at = {file_, line_, static_cast<int>(i_) + 1};
          raw.text = read_data();
          out.tokens.push_back(raw);
          continue;
        }
      } else if (digit(c) || (c == '.' && i_ + 1 < s_.size() && digit(s_[i_ + 1]))) {
        read_number(&t);
      } else if (c == '&' && i_ + 1 < s_.size() &&
                 (std::string("HhOoBb").find(s_[i_ + 1]) != std::string::npos || digit(s_[i_ + 1]))) {
        read_radix(&t);
      } else if (c == '"') {
        t.kind = tok::string;
        const size_t close = s_.find('"', i_ + 1);
        // A string left open at the end of the line ends there.
        t.text = s_.substr(i_ + 1, close == std::string::npos ? std::string::npos : close - i_ - 1);
        i_ = close == std::string::npos ? s_.size() : close + 1;
      } else {
        read_operator(&t);
      }
      if (crunched_ && joins_go(out, t)) continue;
      out.tokens.push_back(t);
    }
    token end;
    end.kind = tok::end;
    end.at = {file_, line_, static_cast<int>(s_.size()) + 1};
    out.tokens.push_back(end);
    return out;
  }

 private:
  void skip_blanks() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\x1a')) ++i_;
  }

  void read_name(token* t) {
    t->kind = tok::name;
    while (i_ < s_.size() && name_char(s_[i_])) t->text += up(s_[i_++]);
    // A trailing dot belongs to no name ("A." is rare; keep it in the name).
    t->suffix = read_suffix(s_, &i_);
    t->keyword = t->suffix.empty() && is_reserved_word(t->text);
    // FN names: "FN X" is not written with a blank in practice.
  }

  // A name in a crunched line: a reserved word that begins here, FN and
  // the name after it, or letters and digits up to the next place where a
  // reserved word begins; a name that begins with '_' is read whole.
  void read_crunched_name(token* t) {
    // The dialect's own words that begin with '_' were never crunched.
    if (s_[i_] == '_') {
      read_name(t);
      return;
    }
    t->kind = tok::name;
    const size_t start = i_;
    const size_t word = reserved_word_at(std::string_view(s_.data() + i_, s_.size() - i_));
    if (word != 0 && !starts_fn(i_)) {
      for (size_t k = 0; k < word; ++k) t->text += up(s_[i_++]);
      if (t->text.back() == '$') {
        t->text.pop_back();
        t->suffix = "$";
      }
      t->keyword = t->suffix.empty() && is_reserved_word(t->text);
      return;
    }
    if (starts_fn(i_)) {
      // The function's first letter is its own, whatever word it begins.
      t->text = "FN";
      t->text += up(s_[i_ + 2]);
      i_ += 3;
    }
    while (i_ < s_.size() && name_char(s_[i_])) {
      if (i_ > start && word_begins(i_)) break;
      t->text += up(s_[i_++]);
    }
    t->suffix = read_suffix(s_, &i_);
    t->keyword = t->suffix.empty() && is_reserved_word(t->text);
  }

  // FN followed by the letter that begins a function's name.
  bool starts_fn(size_t at) const {
    return at + 2 < s_.size() && up(s_[at]) == 'F' && up(s_[at + 1]) == 'N' &&
           std::isalpha(static_cast<unsigned char>(s_[at + 2]));
  }

  bool word_begins(size_t at) const {
    return starts_fn(at) || reserved_word_at(std::string_view(s_.data() + at, s_.size() - at)) != 0;
  }

  // GO TO and GO SUB, written apart, are GOTO and GOSUB.
  static bool joins_go(token_line& out, const token& t) {
    if (out.tokens.empty() || !t.keyword || (t.text != "TO" && t.text != "SUB")) return false;
    token& go = out.tokens.back();
    if (go.kind != tok::name || go.text != "GO" || !go.suffix.empty()) return false;
    go.text += t.text;
    go.keyword = true;
    return true;
  }

  void read_number(token* t) {
    t->kind = tok::number;
    while (i_ < s_.size() && digit(s_[i_])) t->text += s_[i_++];
    if (i_ < s_.size() && s_[i_] == '.') {
      t->text += s_[i_++];
      while (i_ < s_.size() && digit(s_[i_])) t->text += s_[i_++];
    }
    if (i_ < s_.size() && (up(s_[i_]) == 'E' || up(s_[i_]) == 'D')) {
      size_t j = i_ + 1;
      if (j < s_.size() && (s_[j] == '+' || s_[j] == '-')) ++j;
      if (j < s_.size() && digit(s_[j])) {
        t->text += up(s_[i_]);
        for (size_t k = i_ + 1; k < j; ++k) t->text += s_[k];
        i_ = j;
        while (i_ < s_.size() && digit(s_[i_])) t->text += s_[i_++];
      }
    }
    t->suffix = read_suffix(s_, &i_);
  }

  void read_radix(token* t) {
    t->kind = tok::number;
    t->text = "&";
    ++i_;
    char radix = 'O';
    if (!digit(s_[i_])) radix = up(s_[i_++]);
    t->text += radix;
    const std::string allowed = radix == 'H' ? "0123456789ABCDEFabcdef" : radix == 'B' ? "01" : "01234567";
    while (i_ < s_.size() && allowed.find(s_[i_]) != std::string::npos) t->text += up(s_[i_++]);
    if (t->text.size() == 2) diag_.error(t->at, "digits expected after &" + std::string(1, radix));
    t->suffix = read_suffix(s_, &i_);
  }

  void read_operator(token* t) {
    t->kind = tok::op;
    const char c = s_[i_];
    const char next = i_ + 1 < s_.size() ? s_[i_ + 1] : '\0';
    if ((c == '<' && (next == '=' || next == '>')) || (c == '>' && (next == '=' || next == '<')) ||
        (c == '=' && (next == '<' || next == '>'))) {
      std::string two{c, next};
      if (two == "><") two = "<>";
      if (two == "=<") two = "<=";
      if (two == "=>") two = ">=";
      t->text = two;
      i_ += 2;
      return;
    }
    if (std::string("+-*/\\^=<>(),;:#?.").find(c) == std::string::npos) {
      diag_.error(t->at, std::string("unexpected character '") + c + "'");
    }
    t->text = std::string(1, c);
    ++i_;
  }

  // DATA items run to a colon outside quotation marks or to the end of the line.
  std::string read_data() {
    std::string raw;
    bool quoted = false;
    while (i_ < s_.size()) {
      const char c = s_[i_];
      if (c == '"') quoted = !quoted;
      if (c == ':' && !quoted) break;
      raw += c;
      ++i_;
    }
    return raw;
  }

  const std::string& s_;
  size_t i_ = 0;
  int file_, line_;
  diagnostics& diag_;
  bool crunched_;
};

}  // namespace

token_line lex_line(const std::string& text, int file, int line, diagnostics& diag, lex_style style) {
  return line_lexer(text, file, line, diag, style).run();
}

}  // namespace kxc
