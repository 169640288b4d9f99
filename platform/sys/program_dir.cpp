#include "platform/sys/program_dir.h"

#include <unistd.h>

#include <climits>
#include <mutex>

#include "platform/sys/path_map.h"

namespace sys {
namespace {

std::mutex g_mu;
std::string g_override;
std::string g_exeDir;

std::string ExecutableDir() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  if (n <= 0) return "./";
  std::string p(buf, static_cast<size_t>(n));
  size_t slash = p.rfind('/');
  if (slash == std::string::npos) return "./";
  return p.substr(0, slash + 1);
}

}  // namespace

std::string ProgramDir() {
  std::lock_guard<std::mutex> g(g_mu);
  if (!g_override.empty()) return g_override;
  if (g_exeDir.empty()) g_exeDir = ExecutableDir();
  return g_exeDir;
}

void SetProgramDir(const std::string& dir) {
  std::string d = dir;
  for (char& c : d)
    if (c == '\\') c = '/';
  if (!d.empty() && d.back() != '/') d += '/';
  std::lock_guard<std::mutex> g(g_mu);
  g_override = d;
}

std::string ProgramFile(const std::string& name) { return MapPath(ProgramDir() + name); }

}  // namespace sys
