// Keeps the arrows between the library's folders pointing down: reads every
// #include line under libkx/, kxx/ and kxc/ and checks it against the table
// of allowed directions below, which the README's architecture section
// shows. The translator's phases point down too, and only its support
// header (what translated programs include) reaches into the runtime.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct layer_rule {
  std::string_view folder;
  // Folders this one may include besides itself. A name covers the folder
  // and every sub-folder of it ("screen" covers "screen/images").
  std::vector<std::string_view> may_include;
};

// Bottom to top. Sub-folders of the screen are ordered among themselves;
// graphics and copy are the places for the primitives and image copies.
const std::vector<layer_rule>& layer_rules() {
  static const std::vector<layer_rule> rules = {
      {"base", {}},
      {"values", {"base"}},
      {"screen/fonts", {"values", "base"}},
      {"screen/images", {"screen/fonts", "values", "base"}},
      {"screen/graphics", {"screen/images", "screen/fonts", "values", "base"}},
      {"screen/text", {"screen/graphics", "screen/images", "screen/fonts", "values", "base"}},
      {"screen/copy", {"screen/graphics", "screen/images", "screen/fonts", "values", "base"}},
      {"screen/compose", {"screen/text", "screen/images", "screen/fonts", "values", "base"}},
      {"screen", {"screen", "values", "base"}},
      {"input", {"screen", "values", "base"}},
      {"net", {"values", "base"}},
      {"legacy", {"input", "screen", "values", "base"}},
      {"files", {"net", "input", "screen", "values", "base"}},
      {"platform", {"files", "legacy", "net", "input", "screen", "values", "base"}},
      {"frame", {"platform", "files", "legacy", "net", "input", "screen", "values", "base"}},
      {"kxx", {"frame", "platform", "files", "legacy", "net", "input", "screen", "values", "base"}},
      {"kxc/source", {}},
      {"kxc/lex", {"kxc/source"}},
      {"kxc/parse", {"kxc/lex", "kxc/source"}},
      {"kxc/check", {"kxc/parse", "kxc/lex", "kxc/source"}},
      {"kxc/emit", {"kxc/check", "kxc/parse", "kxc/lex", "kxc/source"}},
      {"kxc/driver", {"kxc/emit", "kxc/check", "kxc/parse", "kxc/lex", "kxc/source"}},
      {"kxc", {"kxc/driver"}},
      {"kxc/support", {"frame", "files", "legacy", "net", "input", "screen", "values", "base"}},
  };
  return rules;
}

// Only this folder may include the window system's headers.
constexpr std::string_view window_system_folder = "platform";
constexpr std::array<std::string_view, 2> window_system_prefixes = {"GL/", "X11/"};

bool covers(std::string_view name, std::string_view folder) {
  return folder == name || (folder.size() > name.size() && folder.starts_with(name) && folder[name.size()] == '/');
}

const layer_rule* rule_for(std::string_view folder) {
  for (const auto& rule : layer_rules())
    if (rule.folder == folder) return &rule;
  return nullptr;
}

bool may_include(const layer_rule& rule, std::string_view target) {
  if (target == rule.folder) return true;
  return std::any_of(rule.may_include.begin(), rule.may_include.end(),
                     [&](std::string_view name) { return covers(name, target); });
}

std::string folder_of(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string{} : path.substr(0, slash);
}

// Every problem found under root (which holds libkx/ and kxx/), one line
// each, naming the file, the line and the include.
std::vector<std::string> include_problems(const fs::path& root) {
  static const std::regex quoted(R"(^\s*#\s*include\s*"([^"]+)\")");
  static const std::regex angled(R"(^\s*#\s*include\s*<([^>]+)>)");
  std::vector<std::string> problems;
  std::map<std::string, std::set<std::string>> edges;  // folder -> folders it includes
  std::map<std::pair<std::string, std::string>, std::string> first_place;

  const std::array<std::pair<std::string, std::string>, 3> trees = {{{"libkx", ""}, {"kxx", "kxx"}, {"kxc", "kxc"}}};
  for (const auto& [tree, prefix] : trees) {
    const fs::path top = root / tree;
    if (!fs::exists(top)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(top)) {
      if (!entry.is_regular_file()) continue;
      const auto ext = entry.path().extension();
      if (ext != ".h" && ext != ".cpp") continue;
      std::string relative = fs::relative(entry.path(), top).generic_string();
      if (!prefix.empty()) relative = prefix + "/" + relative;
      const std::string folder = tree == "kxx" ? "kxx" : folder_of(relative);
      const std::string shown = tree == "libkx" ? "libkx/" + relative : relative;
      const layer_rule* rule = rule_for(folder);
      if (!rule) {
        problems.push_back(shown + ": folder '" + folder + "' has no row in the table of allowed includes");
        continue;
      }
      std::ifstream in(entry.path());
      std::string line;
      for (int number = 1; std::getline(in, line); ++number) {
        const std::string place = shown + ":" + std::to_string(number);
        std::smatch m;
        if (std::regex_search(line, m, angled)) {
          const std::string header = m[1];
          const bool window_system = std::any_of(window_system_prefixes.begin(), window_system_prefixes.end(),
                                                 [&](std::string_view p) { return header.starts_with(p); });
          if (window_system && !covers(window_system_folder, folder))
            problems.push_back(place + ": <" + header + "> is a window-system header outside " +
                               std::string(window_system_folder) + "/");
          continue;
        }
        if (!std::regex_search(line, m, quoted)) continue;
        const std::string header = m[1];
        const std::string target = folder_of(header);
        if (target.empty() || target == folder) continue;
        if (!may_include(*rule, target))
          problems.push_back(place + ": \"" + header + "\" points up, from " + folder + " to " + target);
        if (edges[folder].insert(target).second) first_place[{folder, target}] = place;
      }
    }
  }
  for (const auto& [from, targets] : edges)
    for (const auto& to : targets)
      if (from < to && edges.count(to) && edges[to].count(from))
        problems.push_back(from + " and " + to + " include each other (" + first_place[{from, to}] + " and " +
                           first_place[{to, from}] + ")");
  std::sort(problems.begin(), problems.end());
  return problems;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const auto& l : lines) all += l + "\n";
  return all;
}

TEST(IncludeRules, TheSourcesKeepEveryArrowPointingDown) {
  const auto problems = include_problems(KX_SOURCE_DIR);
  EXPECT_TRUE(problems.empty()) << joined(problems);
}

// The checker itself, on a small tree of its own: each kind of fault is
// found and named, and allowed includes pass.
TEST(IncludeRules, FaultsInAScratchTreeAreNamed) {
  const fs::path root = fs::temp_directory_path() / ("kx_include_rules_" + std::to_string(::getpid()));
  fs::remove_all(root);
  const auto write = [&](const std::string& path, const std::string& text) {
    fs::create_directories((root / path).parent_path());
    std::ofstream(root / path) << text;
  };
  write("libkx/base/error.h", "#pragma once\n#include <cstdint>\n");
  write("libkx/values/strings.cpp", "#include \"values/strings.h\"\n#include \"base/error.h\"\n");
  write("libkx/screen/images/table.cpp", "#include \"screen/fonts/fonts.h\"\n#include \"base/error.h\"\n");
  write("kxx/kxmain.cpp", "#include \"frame/startup.h\"\n#include \"kxx/shell.h\"\n");
  write("libkx/platform/window.cpp", "#include <GL/freeglut.h>\n#include \"screen/images/table.h\"\n");
  write("kxc/emit/emitter.cpp", "#include \"kxc/check/checker.h\"\n");
  write("kxc/support/kxc_support.h", "#include \"values/strings.h\"\n");
  EXPECT_EQ(include_problems(root), std::vector<std::string>{});

  write("libkx/values/upward.cpp", "// LSET on a field\n#include \"files/file_fields.h\"\n");
  write("libkx/screen/fonts/fonts.cpp", "#include \"screen/images/table.h\"\n");
  write("libkx/input/keys.cpp", "#include <cstdint>\n  #  include <X11/Xlib.h>\n");
  write("libkx/net/handles.cpp", "#include \"legacy/ports.h\"\n");
  write("libkx/legacy/ports.cpp", "#include \"net/handles.h\"\n");
  write("libkx/sound/beep.cpp", "#include \"base/error.h\"\n");
  write("kxc/parse/parser.cpp", "#include \"kxc/emit/emitter.h\"\n#include \"values/strings.h\"\n");
  write("libkx/values/translator.cpp", "#include \"kxc/parse/ast.h\"\n");
  const std::vector<std::string> expected = {
      "kxc/parse and values include each other (kxc/parse/parser.cpp:2 and libkx/values/translator.cpp:1)",
      "kxc/parse/parser.cpp:1: \"kxc/emit/emitter.h\" points up, from kxc/parse to kxc/emit",
      "kxc/parse/parser.cpp:2: \"values/strings.h\" points up, from kxc/parse to values",
      "legacy and net include each other (libkx/legacy/ports.cpp:1 and libkx/net/handles.cpp:1)",
      "libkx/input/keys.cpp:2: <X11/Xlib.h> is a window-system header outside platform/",
      "libkx/legacy/ports.cpp:1: \"net/handles.h\" points up, from legacy to net",
      "libkx/net/handles.cpp:1: \"legacy/ports.h\" points up, from net to legacy",
      "libkx/screen/fonts/fonts.cpp:1: \"screen/images/table.h\" points up, from screen/fonts to screen/images",
      "libkx/sound/beep.cpp: folder 'sound' has no row in the table of allowed includes",
      "libkx/values/translator.cpp:1: \"kxc/parse/ast.h\" points up, from values to kxc/parse",
      "libkx/values/upward.cpp:2: \"files/file_fields.h\" points up, from values to files",
      "screen/fonts and screen/images include each other (libkx/screen/fonts/fonts.cpp:1 and "
      "libkx/screen/images/table.cpp:1)",
  };
  EXPECT_EQ(include_problems(root), expected) << joined(include_problems(root));
  fs::remove_all(root);
}

}  // namespace
