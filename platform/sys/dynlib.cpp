#include "platform/sys/dynlib.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <vector>

#include "platform/sys/path_map.h"
#include "platform/sys/program_dir.h"

namespace sys {
namespace {

bool IsFile(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool EndsWithNoCase(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && EqualsNoCase(s.substr(s.size() - suffix.size()), suffix);
}

// Files to try, in order. Entries without '/' go to the system search.
std::vector<std::string> Candidates(const std::string& given) {
  std::string name = NormalizeSeparators(given);
  std::vector<std::string> out;
  std::string dirPart, base = name;
  size_t slash = name.rfind('/');
  if (slash != std::string::npos) {
    dirPart = name.substr(0, slash + 1);
    base = name.substr(slash + 1);
  }
  std::vector<std::string> bases;
  if (EndsWithNoCase(base, ".dll")) {
    std::string stem = base.substr(0, base.size() - 4);
    bases = {"lib" + stem + ".so", stem + ".so"};
  } else {
    bases = {base};
  }
  if (!dirPart.empty()) {
    for (const auto& b : bases) out.push_back(MapPath(dirPart + b));
    return out;
  }
  for (const auto& b : bases) out.push_back(ProgramFile(b));
  for (const auto& b : bases) out.push_back(b);
  return out;
}

}  // namespace

DynamicLibrary::~DynamicLibrary() { Unload(); }

bool DynamicLibrary::Load(const std::string& nameOrPath) {
  Unload();
  error_.clear();
  path_.clear();
  if (nameOrPath.empty()) {
    error_ = "no library name";
    return false;
  }
  std::string firstError;
  for (const std::string& c : Candidates(nameOrPath)) {
    const bool searched = c.find('/') == std::string::npos;
    if (!searched && !IsFile(c)) continue;
    dlerror();
    void* h = dlopen(c.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (h) {
      handle_ = h;
      path_ = c;
      return true;
    }
    const char* e = dlerror();
    // The message about a file that exists says most (a missing symbol, a wrong machine).
    if (firstError.empty() || !searched) firstError = e ? e : ("cannot load " + c);
    if (!searched) break;
  }
  error_ = firstError.empty() ? "cannot find " + nameOrPath : firstError;
  return false;
}

void* DynamicLibrary::Symbol(const std::string& name) {
  if (!handle_) {
    error_ = "no library loaded";
    return nullptr;
  }
  dlerror();
  void* p = dlsym(handle_, name.c_str());
  if (!p) {
    const char* e = dlerror();
    error_ = e ? e : "symbol " + name + " is null";
  }
  return p;
}

bool DynamicLibrary::Unload() {
  if (!handle_) return true;
  void* h = handle_;
  handle_ = nullptr;
  path_.clear();
  dlerror();
  if (dlclose(h) != 0) {
    const char* e = dlerror();
    error_ = e ? e : "cannot unload";
    return false;
  }
  return true;
}

}  // namespace sys
