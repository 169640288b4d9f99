#include "platform/sys/shell_open.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>

#include "platform/sys/path_map.h"
#include "platform/sys/process.h"

namespace sys {
namespace {

enum class Arg { kNone, kFile, kHome };

// One program that can stand in for a helper: its command line (the first word is the
// program) and the title of the window it opens ("" when not known).
struct Program {
  Program(const char* c, const char* title = "") : command(c), windowTitle(title) {}
  const char* command;
  const char* windowTitle;
};

struct Helper {
  const char* name;       // file name, or "*.ext" for an extension
  const char* overrideVar;
  std::vector<Program> programs;
  Arg arg;
};

const std::vector<Helper>& Table() {
  static const std::vector<Helper> table = {
      // The default layout of matchbox-keyboard has no digits; "lq1" has letters and a number pad.
      {"Keyboard.exe",
       "QUORVEX_HELPER_KEYBOARD",
       {{"matchbox-keyboard --fontptsize 14 lq1", "Keyboard"}, {"onboard"}, {"florence"}, {"xvkbd"}},
       Arg::kNone},
      {"*.chm", "QUORVEX_HELPER_HELP", {"xchm", "kchmviewer", "xdg-open"}, Arg::kFile},
      {"TouchKit.exe", "QUORVEX_HELPER_TOUCH", {"xinput_calibrator"}, Arg::kNone},
      {"xAuto4PtsCal.exe", "QUORVEX_HELPER_TOUCH", {"xinput_calibrator"}, Arg::kNone},
      {"Explorer.exe", "QUORVEX_HELPER_FILES", {"pcmanfm", "thunar", "nautilus", "nemo", "caja", "xdg-open"}, Arg::kHome},
      {"MERDO.EXE", "QUORVEX_HELPER_MERDO", {}, Arg::kNone},
      {"Travenzo.exe", "QUORVEX_HELPER_TRAVENZO", {}, Arg::kNone},
  };
  return table;
}

bool EndsWithNoCase(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && EqualsNoCase(s.substr(s.size() - suffix.size()), suffix);
}

bool Matches(const Helper& h, const std::string& base) {
  std::string n = h.name;
  if (n.rfind("*.", 0) == 0) return EndsWithNoCase(base, n.substr(1));
  return EqualsNoCase(n, base);
}

bool IsExecutableFile(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(p.c_str(), X_OK) == 0;
}

bool IsFile(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0;
}

std::string Home() {
  const char* h = std::getenv("HOME");
  return h && *h ? h : "/";
}

// A native program standing beside "X.exe": X or X.sh, in any letter case.
std::string NativeSibling(const std::string& dir, const std::string& stem) {
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string found;
  while (dirent* e = readdir(d)) {
    std::string n = e->d_name;
    if (!(EqualsNoCase(n, stem) || EqualsNoCase(n, stem + ".sh"))) continue;
    std::string p = (dir.empty() ? std::string("./") : dir) + n;
    if (IsExecutableFile(p) && (found.empty() || p < found)) found = p;
  }
  closedir(d);
  return found;
}

void AddParameters(std::vector<std::string>& argv, const std::string& parameters) {
  for (auto& w : SplitWords(parameters)) argv.push_back(w);
}

}  // namespace

ShellCommand ResolveShellOpen(const std::string& file, const std::string& parameters) {
  ShellCommand cmd;
  if (file.empty()) {
    cmd.error = "no file name given";
    return cmd;
  }
  const std::string path = MapPath(file);
  std::string dir, base = path;
  size_t slash = path.rfind('/');
  if (slash != std::string::npos) {
    dir = path.substr(0, slash + 1);
    base = path.substr(slash + 1);
  }
  const Helper* helper = nullptr;
  for (const auto& h : Table())
    if (Matches(h, base)) helper = &h;

  // 1. An explicit override.
  if (helper) {
    if (const char* o = std::getenv(helper->overrideVar); o && *o) {
      cmd.argv = SplitWords(o);
      if (helper->arg == Arg::kFile) cmd.argv.push_back(path);
      AddParameters(cmd.argv, parameters);
      if (FindProgram(cmd.argv[0]).empty()) {
        cmd.error = std::string(helper->overrideVar) + " names a program that is not there: " + cmd.argv[0];
        cmd.argv.clear();
      }
      return cmd;
    }
  }

  // 2. A native program beside the named .exe.
  const bool isExe = EndsWithNoCase(base, ".exe");
  if (isExe) {
    std::string native = NativeSibling(dir, base.substr(0, base.size() - 4));
    if (!native.empty()) {
      cmd.argv = {native};
      AddParameters(cmd.argv, parameters);
      return cmd;
    }
  }

  // 3. The table.
  if (helper) {
    if (helper->arg == Arg::kFile && !IsFile(path)) {
      cmd.error = "file not found: " + path;
      return cmd;
    }
    std::string tried;
    for (const Program& prog : helper->programs) {
      const std::vector<std::string> words = SplitWords(prog.command);
      const std::string& p = words.front();
      if (!FindProgram(p).empty()) {
        cmd.argv = words;
        cmd.windowTitle = prog.windowTitle;
        if (helper->arg == Arg::kFile) cmd.argv.push_back(path);
        if (helper->arg == Arg::kHome) cmd.argv.push_back(Home());
        AddParameters(cmd.argv, parameters);
        return cmd;
      }
      tried += tried.empty() ? p : ", " + p;
    }
    cmd.error = "no program installed for " + base +
                (tried.empty() ? std::string() : " (tried " + tried + ")") + "; set " + helper->overrideVar;
    return cmd;
  }

  if (isExe) {
    cmd.error = "no native program for " + path;
    return cmd;
  }
  if (!IsFile(path)) {
    cmd.error = "file not found: " + path;
    return cmd;
  }
  // 4. A native executable named directly, else any document.
  if (IsExecutableFile(path) && base.find('.') == std::string::npos) {
    cmd.argv = {path};
    AddParameters(cmd.argv, parameters);
    return cmd;
  }
  if (FindProgram("xdg-open").empty()) {
    cmd.error = "xdg-open is not installed; cannot open " + path;
    return cmd;
  }
  cmd.argv = {"xdg-open", path};
  return cmd;
}

bool ShellOpen(const std::string& file, const std::string& parameters, std::string* error) {
  ShellCommand cmd = ResolveShellOpen(file, parameters);
  if (cmd.argv.empty()) {
    if (error) *error = cmd.error;
    return false;
  }
  return StartDetached(cmd.argv, error);
}

}  // namespace sys
