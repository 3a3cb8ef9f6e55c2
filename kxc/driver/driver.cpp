#include "kxc/driver/driver.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "kxc/driver/build_config.h"
#include "kxc/driver/translate.h"

extern char** environ;

namespace kxc {

namespace {

constexpr const char* usage =
    "usage: kxc build [OPTIONS] PROG.BAS [-o OUT]   translate and build an executable\n"
    "       kxc run [OPTIONS] PROG.BAS [ARGS...]    build into the cache and run it with ARGS\n"
    "       kxc check [OPTIONS] PROG.BAS            report the program's errors only\n"
    "       kxc --version | --help\n"
    "\n"
    "options (each may also be given as a metacommand in the source):\n"
    "  --console          a console: _ECHO and PRINT to _CONSOLE go to standard output ($CONSOLE)\n"
    "  --console-only     no window: PRINT goes to standard output, INPUT reads standard input\n"
    "                     ($CONSOLE:ONLY); the program needs no X server\n"
    "  --asserts          _ASSERT checks its condition ($ASSERTS)\n"
    "  --resize           the window may be resized ($RESIZE)\n"
    "  --hidden           the window starts hidden ($SCREENHIDE)\n"
    "  --crunched         a listing whose keywords run together without blanks, as the\n"
    "                     1970s BASICs wrote them: FORI=1TO8 is FOR I = 1 TO 8, and a\n"
    "                     name ends where a reserved word begins ($CRUNCHED, from its line on)\n"
    "  --emit-cpp FILE    write the generated C++ to FILE\n"
    "  --no-main          leave main() out of the C++, to link the program into another\n"
    "  -o OUT             the executable (build; default: PROG without .BAS)\n"
    "\n"
    "exit status: 0 when the program was translated (check, build) or the program's own\n"
    "status (run); 1 when the program has errors or could not be built.\n";

struct command {
  std::string verb;
  std::string source;
  std::string output;
  std::string emit_cpp;
  program_options options;
  bool without_main = false;
  std::vector<std::string> program_args;
};

// Runs argv without a shell and waits; returns its exit status (128 + a
// signal), or -1 when it could not be started. Its standard error goes to
// errors_path when given.
int run_and_wait(const std::vector<std::string>& args, const std::string& errors_path) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!errors_path.empty()) {
    posix_spawn_file_actions_addopen(&actions, 2, errors_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 2, 1);
  }
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool write_file(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

bool make_directories(const std::string& path) {
  std::string partial;
  std::stringstream parts(path);
  std::string part;
  if (!path.empty() && path[0] == '/') partial = "/";
  while (std::getline(parts, part, '/')) {
    if (part.empty()) continue;
    partial += part + "/";
    if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return true;
}

std::string folder_of(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char here[4096];
  if (!getcwd(here, sizeof here)) return path;
  return std::string(here) + "/" + path;
}

// FNV-1a, 64 bits: the cache key of a build.
uint64_t hash(const std::string& text, uint64_t h = 1469598103934665603ULL) {
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ULL;
  }
  return h;
}

// What identifies the runtime a program is built against: the library's
// size and time, and the flags it was built with.
std::string runtime_identity() {
  struct stat st {};
  std::string id = KXC_VERSION;
  id += KXC_CXX_FLAGS;
  // The translator itself and the support header count too: a new kxc
  // translates the same source differently.
  for (const char* file : {KXC_RUNTIME_LIBRARY, "/proc/self/exe", KXC_SUPPORT_INCLUDE "/kxc_support.h"}) {
    if (stat(file, &st) == 0) {
      id += "|" + std::to_string(st.st_size) + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
            std::to_string(st.st_mtim.tv_nsec);
    }
  }
  return id;
}

std::string cache_folder() {
  if (const char* c = std::getenv("KXC_CACHE"); c && *c) return c;
  if (const char* x = std::getenv("XDG_CACHE_HOME"); x && *x) return std::string(x) + "/kxc";
  if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.cache/kxc";
  return "/tmp/kxc-cache";
}

std::string options_text(const program_options& o) {
  return std::string(o.console ? "c" : "-") + (o.console_only ? "o" : "-") + (o.asserts ? "a" : "-") +
         (o.resizable ? "r" : "-") + (o.start_hidden ? "h" : "-") + (o.crunched ? "k" : "-");
}

// The BASIC line of the block the C++ compiler complained about: the
// nearest "// LINE: " comment above the reported line of the generated file.
std::string basic_line_of(const std::string& cpp, const std::string& errors, const std::string& cpp_path) {
  const std::string marker = cpp_path + ":";
  const size_t at = errors.find(marker);
  if (at == std::string::npos) return "";
  const int reported = std::atoi(errors.c_str() + at + marker.size());
  std::istringstream lines(cpp);
  std::string line, last;
  for (int n = 1; std::getline(lines, line) && n <= reported; ++n) {
    const size_t first = line.find_first_not_of(' ');
    if (first != std::string::npos && line.compare(first, 3, "// ") == 0 && first + 3 < line.size() &&
        std::isdigit(static_cast<unsigned char>(line[first + 3]))) {
      last = line.substr(first + 3);
    }
  }
  return last;
}

// Translates and compiles; the executable lands at exe. Returns 0 or 1.
int build(const command& c, const std::string& exe, translation* result) {
  source_program source;
  std::string problem;
  if (!source.load(c.source, &problem)) {
    std::cerr << "kxc: " << problem << "\n";
    return 1;
  }
  translation t = translate(source, c.options, c.without_main);
  if (!t.ok) {
    std::cerr << t.diagnostics;
    std::cerr << c.source << ": " << t.errors << " error" << (t.errors == 1 ? "" : "s") << "\n";
    return 1;
  }
  if (!c.emit_cpp.empty() && !write_file(c.emit_cpp, t.cpp)) {
    std::cerr << "kxc: cannot write " << c.emit_cpp << "\n";
    return 1;
  }
  if (c.verb == "check") return 0;
  const std::string cpp_path = exe + ".cpp";
  const std::string errors_path = exe + ".errors";
  if (!write_file(cpp_path, t.cpp)) {
    std::cerr << "kxc: cannot write " << cpp_path << "\n";
    return 1;
  }
  std::vector<std::string> args = {KXC_COMPILER, "-std=c++20", "-O2", "-fno-strict-aliasing", "-w"};
  std::istringstream flags(KXC_CXX_FLAGS);
  for (std::string f; flags >> f;) args.push_back(f);
  args.insert(args.end(), {"-I", KXC_RUNTIME_INCLUDE, "-I", KXC_SUPPORT_INCLUDE, cpp_path, "-o", exe,
                           KXC_RUNTIME_LIBRARY});
  std::istringstream libraries(KXC_LINK_LIBRARIES);
  for (std::string l; libraries >> l;) args.push_back(l);
  const int status = run_and_wait(args, errors_path);
  if (status != 0) {
    const std::string errors = read_file(errors_path);
    const std::string where = basic_line_of(t.cpp, errors, cpp_path);
    std::cerr << c.source << ": internal error: the C++ compiler refused the translation"
              << (where.empty() ? std::string() : " of line " + where) << "\n"
              << "(a fault of kxc; the compiler's report is in " << errors_path << ")\n";
    return 1;
  }
  std::remove(errors_path.c_str());
  if (result) *result = std::move(t);
  return 0;
}

int run_cached(const command& c) {
  source_program source;
  std::string problem;
  if (!source.load(c.source, &problem)) {
    std::cerr << "kxc: " << problem << "\n";
    return 1;
  }
  std::string key_text = runtime_identity() + "|" + options_text(c.options);
  for (size_t i = 0; i < source.files().size(); ++i) key_text += "|" + source.files()[i] + "|" + source.contents()[i];
  char key[17];
  std::snprintf(key, sizeof key, "%016llx", static_cast<unsigned long long>(hash(key_text)));
  const std::string folder = cache_folder() + "/" + key;
  const std::string exe = folder + "/program";
  if (access(exe.c_str(), X_OK) != 0) {
    if (!make_directories(folder)) {
      std::cerr << "kxc: cannot make the cache folder " << folder << "\n";
      return 1;
    }
    // Built under a private name and renamed, so that a run that is
    // interrupted leaves no half-built program behind.
    const std::string partial = folder + "/program.partial." + std::to_string(getpid());
    if (build(c, partial, nullptr) != 0) return 1;
    std::remove((partial + ".cpp").c_str());
    if (std::rename(partial.c_str(), exe.c_str()) != 0) {
      std::cerr << "kxc: cannot place the program in " << folder << "\n";
      return 1;
    }
  }
  setenv("KXC_PROGRAM_FOLDER", folder_of(absolute(c.source)).c_str(), 1);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(exe.c_str()));
  for (const std::string& a : c.program_args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(exe.c_str(), argv.data());
  std::cerr << "kxc: cannot run " << exe << ": " << std::strerror(errno) << "\n";
  return 1;
}

bool option(const std::string& a, program_options* o) {
  if (a == "--console") o->console = true;
  else if (a == "--console-only") o->console = o->console_only = true;
  else if (a == "--asserts") o->asserts = true;
  else if (a == "--resize") o->resizable = true;
  else if (a == "--hidden") o->start_hidden = true;
  else if (a == "--crunched") o->crunched = true;
  else return false;
  return true;
}

}  // namespace

int run_driver(const std::vector<std::string>& args) {
  if (args.empty()) {
    std::cerr << usage;
    return 1;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::cout << usage;
    return 0;
  }
  if (args[0] == "--version") {
    std::cout << "kxc " << KXC_VERSION << " (HALCYONIX BASIC translator)\n";
    return 0;
  }
  command c;
  c.verb = args[0];
  if (c.verb != "build" && c.verb != "run" && c.verb != "check") {
    std::cerr << "kxc: unknown command '" << c.verb << "'\n" << usage;
    return 1;
  }
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!c.source.empty() && c.verb == "run") {
      c.program_args.push_back(a);  // everything after the program is its own
      continue;
    }
    if (option(a, &c.options)) continue;
    if (a == "--no-main") {
      c.without_main = true;
      continue;
    }
    if ((a == "-o" || a == "--emit-cpp") && i + 1 < args.size()) {
      (a == "-o" ? c.output : c.emit_cpp) = args[++i];
      continue;
    }
    if (!a.empty() && a[0] == '-') {
      std::cerr << "kxc: unknown option '" << a << "'\n" << usage;
      return 1;
    }
    if (!c.source.empty()) {
      std::cerr << "kxc: one program at a time ('" << c.source << "' and '" << a << "')\n";
      return 1;
    }
    c.source = a;
  }
  if (c.source.empty()) {
    std::cerr << "kxc: no program given\n" << usage;
    return 1;
  }
  if (c.verb == "run") return run_cached(c);
  if (c.verb == "check") return build(c, "", nullptr);
  std::string exe = c.output;
  if (exe.empty()) {
    exe = c.source;
    const size_t dot = exe.rfind('.');
    if (dot != std::string::npos && exe.find('/', dot) == std::string::npos) exe = exe.substr(0, dot);
    if (exe == c.source) exe += ".out";
  }
  const int status = build(c, exe, nullptr);
  if (status == 0) std::remove((exe + ".cpp").c_str());
  return status;
}

}  // namespace kxc
