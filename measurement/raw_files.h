#pragma once
// The raw test data of a sample (TD.dat and TDI.dat beside the program, see
// analyzer/raw_test_data.h for the files): here a data record is the sample's three histograms.
#include <cstdint>
#include <string>

#include "analyzer/raw_test_data.h"
#include "measurement/histograms.h"

namespace measurement {

inline constexpr const char* kTestDataFile = analyzer::kRawDataFile;
inline constexpr const char* kTestDataIndexFile = analyzer::kRawIndexFile;
constexpr size_t kTestDataRecordSize = analyzer::kRawDataRecordSize;
constexpr size_t kIndexRecordSize = analyzer::kRawIndexRecordSize;
constexpr size_t kIndexKeyMax = analyzer::kRawKeyMax;

// The key of a sample: "20261209 7" for sample 7 of 2026-12-09; empty when none can be made.
inline std::string TestDataKey(const std::string& testDateText, const std::string& sampleNoText) {
  return analyzer::RawDataKey(testDateText, sampleNoText);
}

// The position of a key among the complete index records of TDI.dat, or -1.
inline long FindTestDataIndex(const std::string& indexPath, const std::string& key) {
  return analyzer::FindRawIndex(indexPath, key);
}

using TestDataWrite = analyzer::RawWrite;

// Writes the sample's histograms as its record into the files of `folder` (ending in '/'), in
// place when the key is indexed, else appended (see analyzer::WriteRawRecord for the order of
// writes that keeps the pair consistent).
TestDataWrite WriteTestDataRecord(const std::string& folder, const std::string& key, const HistogramBuffers& h,
                                  std::string* error = nullptr);

// Reads the record of a key; false when the key is not indexed or its data record is missing.
bool ReadTestDataRecord(const std::string& folder, const std::string& key, HistogramBuffers* out);

}  // namespace measurement
