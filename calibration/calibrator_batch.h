#pragma once
// Calibrator batches (table AutoCalibration): the checks of a batch typed on the settings
// screen, and its statements. One row per batch number; an apostrophe in a batch number is
// stored as U+2018, so no operator text ever ends a quoted SQL string.
#include <string>
#include <vector>

#include "calibration/calibration_input.h"
#include "platform/sys/clock.h"

class CADOConn;

namespace calibration {

// What the settings screen holds when OK or Save is pressed.
struct BatchFields {
  std::string lot;                 // the batch box text as typed
  std::string year, month, day;
  int sampleType = -1;             // 0, 1, 2; -1 none
  std::string targets[5];          // WBC, RBC, HGB, MCV, PLT
  int selected[5] = {0, 0, 0, 0, 0};
};

// A batch as stored.
struct BatchRecord {
  std::string batchNo;             // trimmed, apostrophes replaced
  std::string expDate;             // "%d-%.2d-%.2d"
  int bloodType = 0;
  double targets[5] = {};
  int selected[5] = {};
};

// Checks in field order. `forSave` adds the Save button's rules (a batch number of at most 10
// characters as typed, targets trimmed on the left only). On success `out` holds the record and
// `fields.targets` the trimmed texts (an unselected target that is not a number becomes "").
InputCheck CheckBatch(BatchFields& fields, const sys::LocalTime& today, bool forSave, BatchRecord* out);

// The batch number as stored: blanks around it removed, apostrophes replaced.
std::string StoredBatchNo(const std::string& typed);

std::string BatchSelectSql(const std::string& storedBatchNo);
std::string BatchInsertSql(const BatchRecord& r);
std::string BatchUpdateSql(const BatchRecord& r);
std::string BatchDeleteSql(const std::string& typedBatchNo);

// Inserts or updates the batch's row. 1 inserted, 2 updated, 0 failed (reported by the
// connection).
int SaveBatch(CADOConn& conn, const BatchRecord& r);
// The batch numbers of the table in its order, NULLs left out.
std::vector<std::string> ListBatchNumbers(CADOConn& conn);

// A stored batch as the screens load it; a NULL column leaves the field as it was.
struct LoadedBatch {
  bool found = false;
  std::string expDate;
  bool hasBloodType = false;
  int bloodType = -1;
  bool hasTarget[5] = {};
  double targets[5] = {};
  bool hasSelected[5] = {};
  int selected[5] = {};
};
LoadedBatch LoadBatch(CADOConn& conn, const std::string& storedBatchNo);

}  // namespace calibration
