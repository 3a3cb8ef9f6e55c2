#include "e2e_support.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

extern char** environ;

namespace e2e {

namespace {

int temp_counter = 0;

std::string temp_file(const char* stem) {
  return (std::filesystem::temp_directory_path() /
          (std::string(stem) + "_" + std::to_string(getpid()) + "_" + std::to_string(temp_counter++)))
      .string();
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<char*> c_strings(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (auto& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

}  // namespace

std::string halcyonix_path() { return KX_HALCYONIX; }
std::string program_path(const std::string& name) { return std::string(KX_E2E_PROGRAMS) + "/" + name; }
std::string wm_delete_path() { return KX_WM_DELETE; }
std::string wm_watch_path() { return KX_WM_WATCH; }
std::string clip_peer_path() { return KX_CLIP_PEER; }

temp_folder::temp_folder(const std::string& stem) : path_(temp_file(stem.c_str())) {
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

temp_folder::~temp_folder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string install_halcyonix(const std::string& root, const std::string& folder) {
  const auto dir = std::filesystem::path(root) / folder;
  std::filesystem::create_directories(dir);
  const auto exe = dir / "halcyonix";
  std::filesystem::copy_file(halcyonix_path(), exe, std::filesystem::copy_options::overwrite_existing);
  return exe.string();
}

xvfb::xvfb() {
  int fds[2];
  if (pipe(fds) != 0) return;
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    const int devnull = open("/dev/null", O_WRONLY);
    if (devnull >= 0) {
      dup2(devnull, 1);
      dup2(devnull, 2);
    }
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
           "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    return;
  }
  std::string number;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return;
  }
  pid_ = pid;
  display_ = ":" + number;
  setenv("DISPLAY", display_.c_str(), 1);
}

xvfb::~xvfb() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

process::process(const std::string& path, const std::vector<std::string>& args, const std::string& cwd,
                 const std::vector<std::string>& extra_env) {
  out_path_ = temp_file("kx_e2e_out");
  err_path_ = temp_file("kx_e2e_err");
  std::vector<std::string> argv{path};
  argv.insert(argv.end(), args.begin(), args.end());
  // An entry NAME=value replaces the variable, a bare NAME removes it.
  const auto name_of = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const bool replaced = std::any_of(extra_env.begin(), extra_env.end(),
                                      [&](const std::string& x) { return name_of(x) == name_of(entry); });
    if (!replaced) env.push_back(entry);
  }
  for (const auto& x : extra_env)
    if (x.find('=') != std::string::npos) env.push_back(x);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  auto argv_c = c_strings(argv);
  auto env_c = c_strings(env);
  pid_t pid = -1;
  if (posix_spawnp(&pid, path.c_str(), &actions, nullptr, argv_c.data(), env_c.data()) == 0) pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
}

process::~process() {
  kill_now();
  std::remove(out_path_.c_str());
  std::remove(err_path_.c_str());
}

std::optional<int> process::wait_exit(std::chrono::milliseconds timeout) {
  if (status_) return status_;
  if (pid_ <= 0) return std::nullopt;
  eventually(
      [&] {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return status_.has_value();
      },
      timeout);
  return status_;
}

bool process::running() { return pid_ > 0 && !wait_exit(0ms); }

void process::kill_now() {
  if (running()) {
    kill(pid_, SIGKILL);
    wait_exit(5000ms);
  }
}

std::string process::output() const { return slurp(out_path_); }
std::string process::errors() const { return slurp(err_path_); }

std::string run_tool(const std::vector<std::string>& argv, int* exit_status) {
  process tool(argv.at(0), std::vector<std::string>(argv.begin() + 1, argv.end()));
  const auto status = tool.wait_exit(30000ms);
  if (exit_status) *exit_status = status.value_or(-1);
  return tool.output();
}

namespace {

// A regular expression that matches exactly this text.
std::string exact_pattern(const std::string& text) {
  std::string out = "^";
  for (char c : text) {
    if (std::strchr(".[]()*+?{}|^$\\", c)) out += '\\';
    out += c;
  }
  return out + "$";
}

struct child_window {
  unsigned long id;
  geometry relative;
  int absolute_x, absolute_y;
};

// The children of a window as xwininfo -tree lists them.
std::vector<child_window> children_of(unsigned long id) {
  std::vector<child_window> out;
  std::istringstream lines(run_tool({"xwininfo", "-tree", "-id", std::to_string(id)}));
  std::string line;
  // "     0x200036 (has no name): ()  29x17+4+57  +509+529"
  static const std::regex child_line(
      R"(^\s*0x([0-9a-f]+) .*\s(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s+\+(-?\d+)\+(-?\d+)\s*$)");
  while (std::getline(lines, line)) {
    std::smatch m;
    if (!std::regex_match(line, m, child_line)) continue;
    child_window w{};
    w.id = std::stoul(m[1].str(), nullptr, 16);
    w.relative = {std::stoi(m[4].str()), std::stoi(m[5].str()), std::stoi(m[2].str()), std::stoi(m[3].str())};
    w.absolute_x = std::stoi(m[6].str());
    w.absolute_y = std::stoi(m[7].str());
    out.push_back(w);
  }
  return out;
}

}  // namespace

std::optional<unsigned long> wait_for_window(const std::string& name, std::chrono::milliseconds timeout) {
  std::optional<unsigned long> found;
  eventually(
      [&] {
        std::istringstream ids(run_tool({"xdotool", "search", "--name", exact_pattern(name)}));
        unsigned long id = 0;
        if (ids >> id) found = id;
        return found.has_value();
      },
      timeout);
  return found;
}

bool window_gone(unsigned long id) {
  int status = 0;
  run_tool({"xwininfo", "-id", std::to_string(id)}, &status);
  return status != 0;
}

std::optional<geometry> window_geometry(unsigned long id) {
  int status = 0;
  std::istringstream lines(run_tool({"xwininfo", "-id", std::to_string(id)}, &status));
  if (status != 0) return std::nullopt;
  geometry g;
  std::string line;
  while (std::getline(lines, line)) {
    std::sscanf(line.c_str(), "  Absolute upper-left X: %d", &g.x);
    std::sscanf(line.c_str(), "  Absolute upper-left Y: %d", &g.y);
    std::sscanf(line.c_str(), "  Width: %d", &g.width);
    std::sscanf(line.c_str(), "  Height: %d", &g.height);
  }
  return g;
}

bool answer_message_box(const std::string& caption, int index, std::chrono::milliseconds timeout) {
  const auto box = wait_for_window(caption, timeout);
  if (!box) return false;
  // xmessage: the top window holds a form whose children are the message
  // text and, on the bottom row, the buttons from left to right.
  std::vector<child_window> buttons;
  const bool found = eventually(
      [&] {
        const auto all = children_of(*box);
        int bottom = -1;
        for (const auto& w : all) bottom = std::max(bottom, w.absolute_y);
        buttons.clear();
        for (const auto& w : all) {
          if (w.absolute_y == bottom && w.relative.height < 40) buttons.push_back(w);
        }
        std::sort(buttons.begin(), buttons.end(),
                  [](const child_window& a, const child_window& b) { return a.absolute_x < b.absolute_x; });
        return static_cast<int>(buttons.size()) > index;
      },
      timeout);
  if (!found) return false;
  const auto& b = buttons[static_cast<size_t>(index)];
  const std::string x = std::to_string(b.absolute_x + b.relative.width / 2);
  const std::string y = std::to_string(b.absolute_y + b.relative.height / 2);
  // Entering the button first arms it, as a real pointer does.
  run_tool({"xdotool", "mousemove", "--sync", std::to_string(b.absolute_x + 1), std::to_string(b.absolute_y + 1)});
  run_tool({"xdotool", "mousemove", "--sync", x, y, "click", "1"});
  return true;
}

void move_to_origin(unsigned long id) { run_tool({"xdotool", "windowmove", "--sync", std::to_string(id), "0", "0"}); }

std::optional<kx::screen_reader::Image> capture_window(unsigned long id) {
  std::istringstream ppm(run_tool({"import", "-window", std::to_string(id), "-depth", "8", "ppm:-"}));
  return kx::screen_reader::read_ppm(ppm);
}

bool page_matches(unsigned long id, int width, int height,
                  const std::function<int(const page_pixel& at, std::string& report)>& compare, std::string& report,
                  std::chrono::milliseconds timeout) {
  return eventually(
      [&] {
        const auto shot = capture_window(id);
        if (!shot || shot->width % width || shot->height % height) return false;
        const int sx = shot->width / width, sy = shot->height / height;
        const page_pixel at = [&](int x, int y) {
          const kx::screen_reader::Rgb c = shot->at(x * sx + sx / 2, y * sy + sy / 2);
          return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
        };
        report.clear();
        const int wrong = compare(at, report);
        report += std::to_string(wrong) + " wrong";
        return wrong == 0;
      },
      timeout);
}

std::vector<kx::screen_reader::Row> read_screen_rows(unsigned long id, int cell_width, int cell_height) {
  const auto image = capture_window(id);
  if (!image) return {};
  kx::screen_reader::CellGeometry g;
  g.cell_width = cell_width;
  g.cell_height = cell_height;
  return kx::screen_reader::read_cells(*image, g);
}

bool wait_until_viewable(unsigned long id, std::chrono::milliseconds timeout) {
  return eventually(
      [&] {
        int status = 0;
        const std::string info = run_tool({"xwininfo", "-id", std::to_string(id)}, &status);
        return status == 0 && info.find("Map State: IsViewable") != std::string::npos;
      },
      timeout);
}

bool focus_window(unsigned long id, std::chrono::milliseconds timeout) {
  const std::string window = std::to_string(id);
  if (!wait_until_viewable(id, timeout)) return false;
  return eventually(
      [&] {
        int status = 0;
        run_tool({"xdotool", "windowfocus", "--sync", window}, &status);
        if (status != 0) return false;
        std::istringstream focused(run_tool({"xdotool", "getwindowfocus"}));
        unsigned long focus = 0;
        return focused >> focus && focus == id;
      },
      timeout);
}

void type_keys(unsigned long id, const std::vector<std::string>& keys) {
  focus_window(id);
  for (const auto& key : keys) run_tool({"xdotool", "key", key});
}

double cpu_seconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const auto paren = text.rfind(')');
  if (paren == std::string::npos) return 0;
  // The fields after the command name (which is in parentheses and may hold
  // blanks): utime and stime are the 14th and 15th of the whole line.
  std::istringstream fields(text.substr(paren + 2));
  std::string field;
  long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stoll(field);
    if (i == 15) stime = std::stoll(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::vector<std::string> lines_starting(const std::string& text, const std::string& prefix) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(prefix, 0) == 0) out.push_back(line.substr(prefix.size()));
  }
  return out;
}

bool has_sanitizer_report(const std::string& errors) {
  return errors.find("ThreadSanitizer") != std::string::npos ||
         errors.find("AddressSanitizer") != std::string::npos || errors.find("runtime error:") != std::string::npos;
}

}  // namespace e2e

long long e2e::monotonic_us() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

double e2e::percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto index = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(index, values.size() - 1)];
}

std::optional<unsigned long> e2e::wait_until_ready(const process& program, const std::string& window_name) {
  const auto window = wait_for_window(window_name, 20s);
  if (!window || !wait_until_viewable(*window)) return std::nullopt;
  const bool ready = eventually([&] { return program.output().find("ready") != std::string::npos; }, 10s);
  return ready ? window : std::nullopt;
}
