#include "platform/sys/file_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

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
  int in = open(src.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return Fail(error, "cannot open", src, errno);
  struct stat st;
  mode_t mode = fstat(in, &st) == 0 ? (st.st_mode & 07777) : 0644;
  const std::string tmp = dst + ".tmp" + std::to_string(getpid());
  int out = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (out < 0) {
    const int err = errno;
    close(in);
    return Fail(error, "cannot create", tmp, err);
  }
  char buf[1 << 16];
  bool ok = true;
  std::string failure;
  for (;;) {
    ssize_t n = read(in, buf, sizeof(buf));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ok = Fail(&failure, "cannot read", src, errno);
      break;
    }
    if (n == 0) break;
    for (ssize_t done = 0; done < n;) {
      ssize_t w = write(out, buf + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) {
        ok = Fail(&failure, "cannot write", tmp, errno);
        break;
      }
      done += w;
    }
    if (!ok) break;
  }
  close(in);
  if (ok && fsync(out) != 0) ok = Fail(&failure, "cannot flush", tmp, errno);
  if (close(out) != 0 && ok) ok = Fail(&failure, "cannot close", tmp, errno);
  if (ok && rename(tmp.c_str(), dst.c_str()) != 0) ok = Fail(&failure, "cannot replace", dst, errno);
  if (!ok) {
    unlink(tmp.c_str());
    if (error) *error = failure;
  }
  return ok;
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
