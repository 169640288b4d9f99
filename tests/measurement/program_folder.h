#pragma once
// A test's own program folder with a fresh data store; removed afterwards.
#include <string>

#include "tests/support/program_folder.h"

class MeasurementFolder : public support::ScratchProgramFolder {
 public:
  explicit MeasurementFolder(bool withDatabase = true) : ScratchProgramFolder("quorvex_meas_", withDatabase) {}
};

// Runs SQL on the data store outside CADOConn; fails the test on an error.
inline void Exec(const std::string& sql) { support::ExecSql(sql); }
// The first column of the first row of a query as text ("" when no row).
inline std::string Scalar(const std::string& sql) { return support::QueryText(sql); }
using support::BuiltZentilPath;
using support::FileBytes;
