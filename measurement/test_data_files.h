#pragma once
// The raw test data kept beside the program: TD.dat holds one 2560-byte record per sample (the
// final WBC, RBC and PLT histograms as little-endian floats) and TDI.dat one 32-byte index record
// per data record (the sample's key, zero-padded). Record n of both files is the same sample.
#include <cstdint>
#include <string>

#include "measurement/histograms.h"

namespace measurement {

inline constexpr const char* kTestDataFile = "TD.dat";
inline constexpr const char* kTestDataIndexFile = "TDI.dat";
constexpr size_t kTestDataRecordSize = 2560;
constexpr size_t kIndexRecordSize = 32;
constexpr size_t kIndexKeyMax = 16;

// The key of a sample: the eight date digits of "YYYY-MM-DD" and the sample number (the integer
// value of the text) as "%2d". Sample 7 of 2026-12-09: "20261209 7". Empty when the date text
// is not of that form or the key would not fit in 16 characters.
std::string TestDataKey(const std::string& testDateText, const std::string& sampleNoText);

// The position of a key among the complete index records of TDI.dat (the whole 32-byte record
// must be the key followed by zeros), or -1.
long FindTestDataIndex(const std::string& indexPath, const std::string& key);

enum class TestDataWrite {
  Written,      // a new record was added or the sample's record replaced
  BadKey,       // no key could be made
  IndexFailed,  // TDI.dat could not be opened, read or written
  DataFailed,   // TD.dat could not be opened or written
  Skipped,      // nothing to write (the sample's result was not computed)
};

// Writes the sample's record into the files of `folder` (ending in '/'): in place when the key
// is indexed, else as record n = the number of complete index records. The data record is
// written (and flushed to the disk) at n x 2560 before its index record is written at n x 32, so
// an interruption never leaves an index record without its data; a TD.dat shorter than n
// records is padded with zero records first, and an incomplete index tail is overwritten.
TestDataWrite WriteTestDataRecord(const std::string& folder, const std::string& key, const HistogramBuffers& h,
                                  std::string* error = nullptr);

// Reads the record of a key; false when the key is not indexed or its data record is missing.
bool ReadTestDataRecord(const std::string& folder, const std::string& key, HistogramBuffers* out);

}  // namespace measurement
