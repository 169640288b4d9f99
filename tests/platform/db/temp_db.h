#pragma once
// A fresh folder per test for database files, removed afterwards.
#include <string>

namespace dbtest {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace dbtest
