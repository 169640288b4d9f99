#include <cstring>

#include "analyzer/raw_test_data.h"
#include "core/app_settings.h"
#include "platform/sys/program_dir.h"
#include "printing/histogram_print.h"

bool ReadTestDataRecordIn(const std::string& folder, uint8_t* buffer, const std::string& testDate,
                          const std::string& sampleNo) {
  const std::string key = analyzer::RawDataKey(testDate, sampleNo);
  if (key.empty()) return false;
  uint8_t record[analyzer::kRawDataRecordSize];
  if (!analyzer::ReadRawRecord(folder, key, record)) return false;
  std::memcpy(buffer, record, sizeof record);
  return true;
}

bool ReadTestDataRecord(uint8_t* buffer, const std::string& testDate, const std::string& sampleNo) {
  // The folder the sample writer uses; before the start-up has set it, the program's own.
  const std::string folder = AppSettings.ProgramFolder.empty() ? sys::ProgramDir() : AppSettings.ProgramFolder;
  return ReadTestDataRecordIn(folder, buffer, testDate, sampleNo);
}

void SplitTestDataRecord(const uint8_t* record, float wbc[256], float rbc[256], float plt[128]) {
  // Little-endian IEEE floats, as the writer stores them on this machine.
  std::memcpy(wbc, record, 256 * sizeof(float));
  std::memcpy(rbc, record + 1024, 256 * sizeof(float));
  std::memcpy(plt, record + 2048, 128 * sizeof(float));
}
