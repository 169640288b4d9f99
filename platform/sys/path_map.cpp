#include "platform/sys/path_map.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <mutex>

namespace sys {
namespace {

std::mutex g_mu;
std::string g_driveRoot;

bool Exists(const std::string& p) {
  struct stat st;
  return lstat(p.c_str(), &st) == 0;
}

std::string WithSlash(std::string s) {
  if (!s.empty() && s.back() != '/') s += '/';
  return s;
}

std::string DriveRoot() {
  {
    std::lock_guard<std::mutex> g(g_mu);
    if (!g_driveRoot.empty()) return WithSlash(g_driveRoot);
  }
  if (const char* e = std::getenv("QUORVEX_DRIVE_ROOT"); e && *e) return WithSlash(e);
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) return WithSlash(x) + "quorvex/";
  if (const char* h = std::getenv("HOME"); h && *h) return WithSlash(h) + ".local/share/quorvex/";
  return "/tmp/quorvex/";
}

// Finds a directory entry matching `name` without regard to case; empty when none.
std::string FindNoCase(const std::string& dir, const std::string& name) {
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string best;
  while (dirent* e = readdir(d)) {
    std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    // Several spellings in one folder: take the smallest so the choice is stable.
    if (EqualsNoCase(n, name) && (best.empty() || n < best)) best = n;
  }
  closedir(d);
  return best;
}

}  // namespace

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string NormalizeSeparators(const std::string& path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    if (c == '\\') c = '/';
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  return out;
}

void SetDriveRoot(const std::string& root) {
  std::lock_guard<std::mutex> g(g_mu);
  g_driveRoot = root;
}

std::string DriveFolder(char letter) {
  if (!std::isalpha(static_cast<unsigned char>(letter))) return {};
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  std::string var = std::string("QUORVEX_DRIVE_") + upper;
  {
    std::lock_guard<std::mutex> g(g_mu);
    if (!g_driveRoot.empty()) return WithSlash(g_driveRoot) + "drive_" + lower + "/";
  }
  if (const char* e = std::getenv(var.c_str()); e && *e) return WithSlash(e);
  return DriveRoot() + "drive_" + lower + "/";
}

std::string ResolveCase(const std::string& posixPath) {
  if (posixPath.empty() || Exists(posixPath)) return posixPath;
  std::string out;
  size_t i = 0;
  if (posixPath[0] == '/') {
    out.push_back('/');
    i = 1;
  }
  bool resolving = true;
  while (i <= posixPath.size()) {
    size_t j = posixPath.find('/', i);
    if (j == std::string::npos) j = posixPath.size();
    std::string comp = posixPath.substr(i, j - i);
    if (!comp.empty()) {
      if (resolving && comp != "." && comp != "..") {
        std::string candidate = out + comp;
        if (!Exists(candidate)) {
          std::string found = FindNoCase(out, comp);
          if (!found.empty()) {
            comp = found;
          } else {
            resolving = false;
          }
        }
      }
      out += comp;
    }
    if (j < posixPath.size()) out += '/';
    i = j + 1;
  }
  return out;
}

std::string MapPath(const std::string& path) {
  if (path.empty()) return path;
  std::string p = NormalizeSeparators(path);
  if (p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':' &&
      (p.size() == 2 || p[2] == '/')) {
    std::string rest = p.size() > 3 ? p.substr(3) : std::string();
    p = DriveFolder(p[0]) + rest;
  }
  return ResolveCase(p);
}

}  // namespace sys
