#include "measurement/raw_files.h"

#include <cstring>

namespace measurement {

static_assert(sizeof(HistogramBuffers) == kTestDataRecordSize, "one data record is the three histograms");

TestDataWrite WriteTestDataRecord(const std::string& folder, const std::string& key, const HistogramBuffers& h,
                                  std::string* error) {
  // Little-endian floats; this platform stores them so.
  uint8_t record[kTestDataRecordSize];
  std::memcpy(record, h.wbc, sizeof h.wbc);
  std::memcpy(record + 1024, h.rbc, sizeof h.rbc);
  std::memcpy(record + 2048, h.plt, sizeof h.plt);
  return analyzer::WriteRawRecord(folder, key, record, error);
}

bool ReadTestDataRecord(const std::string& folder, const std::string& key, HistogramBuffers* out) {
  uint8_t record[kTestDataRecordSize];
  if (!analyzer::ReadRawRecord(folder, key, record)) return false;
  std::memcpy(out->wbc, record, sizeof out->wbc);
  std::memcpy(out->rbc, record + 1024, sizeof out->rbc);
  std::memcpy(out->plt, record + 2048, sizeof out->plt);
  return true;
}

}  // namespace measurement
