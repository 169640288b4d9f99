#pragma once
// A test's own program folder with a fresh data store, and small helpers to fill and read it.
#include <filesystem>
#include <string>

class PatientFolder {
 public:
  PatientFolder();
  ~PatientFolder();
  std::string folder() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

// Runs SQL on the data store outside CADOConn; fails the test on an error.
void Exec(const std::string& sql);
// The first column of the first row of a query as text ("" when no row, "<null>" for Null).
std::string Scalar(const std::string& sql);
// A limit row (NormalLimits or PathologyLimits) of a group: low and high of each parameter in
// table order, given as 20 pairs.
void InsertLimits(const std::string& table, int kind, const float lowHigh[40]);
// The same pair (low, high) for every parameter.
void InsertUniformLimits(const std::string& table, int kind, float low, float high);
// A Person row with the given value texts (table order; empty texts are stored as Null).
void InsertPersonRow(const std::string& sampleNo, const std::string& testDate, const std::string values[20],
                     const std::string& referValue = "General");
// The built algorithm library.
std::string BuiltZentilPath();
