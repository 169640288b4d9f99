#include "platform/sys/file_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "platform/sys/file_io.h"
#include "platform/sys/path_map.h"

namespace sys {
namespace {

bool Fail(std::string* error, const std::string& what, const std::string& path, int err) {
  if (error) *error = what + " " + path + ": " + std::strerror(err);
  return false;
}

std::string StripSlash(std::string p) {
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(MapPath(path).c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(MapPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolder(const std::string& path, std::string* error) {
  const std::string p = StripSlash(MapPath(path));
  if (p.empty()) return Fail(error, "cannot create", "(empty)", ENOENT);
  if (mkdir(p.c_str(), 0755) == 0) return true;
  const int err = errno;
  if (err == EEXIST && IsDirectory(p)) return true;
  return Fail(error, "cannot create", p, err);
}

bool CreateFolders(const std::string& path, std::string* error) {
  const std::string p = StripSlash(MapPath(path));
  if (p.empty()) return Fail(error, "cannot create", "(empty)", ENOENT);
  for (size_t i = 1; i <= p.size(); ++i) {
    if (i < p.size() && p[i] != '/') continue;
    const std::string part = p.substr(0, i);
    if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return Fail(error, "cannot create", part, errno);
  }
  if (!IsDirectory(p)) return Fail(error, "cannot create", p, ENOTDIR);
  return true;
}

bool DeleteFile(const std::string& path, std::string* error) {
  const std::string p = MapPath(path);
  if (unlink(p.c_str()) != 0) return Fail(error, "cannot delete", p, errno);
  return true;
}

bool CopyFile(const std::string& from, const std::string& to, bool failIfExists, std::string* error) {
  const std::string src = MapPath(from);
  const std::string dst = MapPath(to);
  if (failIfExists && FileExists(dst)) return Fail(error, "will not replace", dst, EEXIST);
  File in;
  if (!in.Open(src, O_RDONLY)) {
    if (error) *error = in.ErrorText();
    return false;
  }
  struct stat st;
  const mode_t mode = fstat(in.fd(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  // The copy takes the source's permissions, also over an existing target.
  return ReplaceFile(
      dst,
      [&](File& out, std::string* failure) {
        char buf[1 << 16];
        for (;;) {
          const long n = in.Read(buf, sizeof buf);
          if (n < 0) {
            *failure = in.ErrorText();
            return false;
          }
          if (n == 0) return true;
          if (!out.WriteAll(buf, static_cast<size_t>(n))) return false;
        }
      },
      error, mode, false);
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
  auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::string> ListFolder(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> out;
  DIR* d = opendir(MapPath(folder).c_str());
  if (!d) return out;
  while (dirent* e = readdir(d)) {
    std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    if (WildcardMatch(pattern, n)) out.push_back(n);
  }
  closedir(d);
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace sys
