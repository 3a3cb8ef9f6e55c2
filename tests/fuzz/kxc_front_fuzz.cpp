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

size_t count_of(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines of a listing are short; a megabyte of one line says nothing more.
  if (size > 4096) return 0;
  kxc::source_program source;
  source.load_text("fuzz.bas", std::string(reinterpret_cast<const char*>(data), size), false);
  const kxc::translation t = kxc::translate(source, {});
  if (t.ok) {
    if (t.errors != 0 || t.cpp.find("void KXMAIN(void*) {") == std::string::npos) std::abort();
  } else {
    if (t.errors <= 0 || !t.cpp.empty()) std::abort();
    if (count_of(t.diagnostics, ": error: ") != static_cast<size_t>(t.errors)) std::abort();
  }
  return 0;
}
