#pragma once
// A temporary folder owned by one test, removed with everything in it at the end.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testutil {

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "qxsys-XXXXXX").string();
    char* p = mkdtemp(tmpl.data());
    path_ = p ? std::string(p) + "/" : std::string();
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, ending in '/'.
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

  void Write(const std::string& name, const std::string& content) const {
    std::filesystem::create_directories(std::filesystem::path(path_ + name).parent_path());
    std::ofstream(path_ + name, std::ios::binary) << content;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(path_ + name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(path_ + name); }

 private:
  std::string path_;
};

}  // namespace testutil
