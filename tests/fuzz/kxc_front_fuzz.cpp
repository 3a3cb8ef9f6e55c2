// The translator's front end over any text: lexer, parser, checker and
// emitter must neither crash nor hang. A program without errors must give
// C++ with a main routine; a program with errors must give one located
// message per error and no C++.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "kxc/driver/translate.h"
#include "kxc/source/source_program.h"

namespace {

// Message lines start with the file's name; the quoted source lines under
// them start with blanks, whatever the source holds.
size_t messages_in(const std::string& text) {
  size_t n = 0;
  size_t line = 0;
  while (line < text.size()) {
    if (text.compare(line, 9, "fuzz.bas:") == 0 && text.find(": error: ", line) < text.find('\n', line)) ++n;
    const size_t end = text.find('\n', line);
    if (end == std::string::npos) break;
    line = end + 1;
  }
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines of a listing are short; a megabyte of one line says nothing more.
  if (size > 4096) return 0;
  kxc::source_program source;
  source.load_text("fuzz.bas", std::string(reinterpret_cast<const char*>(data), size), false);
  // Each text as the dialect reads it and as a listing whose keywords run
  // together.
  for (const bool crunched : {false, true}) {
    kxc::program_options options;
    options.crunched = crunched;
    const kxc::translation t = kxc::translate(source, options);
    if (t.ok) {
      if (t.errors != 0 || t.cpp.find("void KXMAIN(void*) {") == std::string::npos) std::abort();
    } else {
      if (t.errors <= 0 || !t.cpp.empty()) std::abort();
      if (messages_in(t.diagnostics) != static_cast<size_t>(t.errors)) std::abort();
    }
  }
  return 0;
}
