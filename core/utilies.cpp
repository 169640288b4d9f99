#include "core/utilies.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>

void CUtilies::SplitString(std::string text, std::vector<std::string>& out, char separator) {
  out.clear();
  size_t start = 0;
  for (;;) {
    size_t pos = text.find(separator, start);
    if (pos == std::string::npos) {
      out.push_back(text.substr(start));
      return;
    }
    out.push_back(text.substr(start, pos - start));
    start = pos + 1;
  }
}

bool CUtilies::IsNumericText(const std::string& text) {
  if (text.empty()) return false;
  std::string rest = text[0] == '-' ? text.substr(1) : text;
  if (rest.empty() || rest.size() > 259) return false;
  int points = 0;
  for (char c : rest) {
    if (c == '.') ++points;
    else if (c != ',' && (c < '0' || c > '9')) return false;
  }
  return rest != "." && points <= 1;
}

void CUtilies::FindFilesRecursive(std::string folder, const std::string& pattern,
                                  std::vector<std::string>& out) {
  // Folders may arrive in the Windows spelling of the stored settings.
  for (char& c : folder)
    if (c == '\\') c = '/';
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  const std::string base =
      (!folder.empty() && folder.back() == '/') ? folder.substr(0, folder.size() - 1) : folder;
  while (dirent* e = readdir(dir)) {
    const char* name = e->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    std::string path = base + "/" + name;
    struct stat st;
    bool isDir = lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    bool matches = std::strstr(name, pattern.c_str()) != nullptr;
    if (isDir) {
      if (std::strcmp(name, "System   Volume   Information") == 0) continue;
      if (matches) out.push_back(path);
      FindFilesRecursive(path, pattern, out);
    } else if (matches) {
      out.push_back(path);
    }
  }
  closedir(dir);
}
