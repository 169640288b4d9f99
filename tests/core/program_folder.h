#pragma once
// A temporary program folder of a test's own: the program's files (data store, Setting.ini,
// ProduceInfo) live there while the test runs, and it is removed afterwards. The folder starts
// empty: the tests make the data store themselves.
#include <string>

#include "tests/support/program_folder.h"

class TempProgramFolder : public support::ScratchProgramFolder {
 public:
  TempProgramFolder() : ScratchProgramFolder("quorvex_app_", /*withDataStore=*/false) {}
};

// Runs SQL directly on the data store file of the current program folder (outside CADOConn),
// making the file when missing, for building old files and checking what was written. Fails the
// test on an engine error.
inline void RawExec(const std::string& sql) { support::ExecSql(sql, /*create=*/true); }
// The first column of the first row of a query, as text ("" when none).
inline std::string RawScalar(const std::string& sql) { return support::QueryText(sql); }
