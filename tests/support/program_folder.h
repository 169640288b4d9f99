#pragma once
// A temporary program folder of a test's own: while it lives it is the program folder (data
// store, Setting.ini, ProduceInfo, raw test data all go there); it is removed afterwards.
#include <filesystem>
#include <string>

namespace support {

class ScratchProgramFolder {
 public:
  // `prefix` names the folder under the system temp folder (made unique per process and
  // instance); `withDataStore` makes a fresh data store from the schema (a failure fails the test).
  explicit ScratchProgramFolder(const std::string& prefix, bool withDataStore = true);
  ~ScratchProgramFolder();
  ScratchProgramFolder(const ScratchProgramFolder&) = delete;
  ScratchProgramFolder& operator=(const ScratchProgramFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The folder as the program spells it, with a trailing slash.
  std::string folder() const { return path_.string() + "/"; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  // Writes a file below the folder, making its parent folders.
  void write(const std::string& name, const std::string& content) const;

 private:
  std::filesystem::path path_;
};

// Runs SQL on the data store of the current program folder outside the program's connection
// (`create` makes the file when missing); fails the test on an engine error.
void ExecSql(const std::string& sql, bool create = false);
// The first column of the first row of a query as text: "" when no row, `nullText` for Null,
// "<no database>" or "<engine error>" when the query can't run.
std::string QueryText(const std::string& sql, const std::string& nullText = "");
// The bytes of a file ("" when it can't be read).
std::string FileBytes(const std::string& path);
// The algorithm library as built beside the test programs.
std::string BuiltZentilPath();

}  // namespace support
