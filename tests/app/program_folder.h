#pragma once
// A temporary program folder of a test's own: the program's files (data store, Setting.ini,
// ProduceInfo) live there while the test runs, and it is removed afterwards.
#include <filesystem>
#include <string>

class TempProgramFolder {
 public:
  TempProgramFolder();
  ~TempProgramFolder();
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  void write(const std::string& name, const std::string& content) const;

 private:
  std::filesystem::path path_;
};

// Runs SQL directly on the data store file of the current program folder (outside CADOConn),
// for building old files and checking what was written. Fails the test on an engine error.
void RawExec(const std::string& sql);
// The first column of the first row of a query, as text ("" when none).
std::string RawScalar(const std::string& sql);
