// TD.dat and TDI.dat: key format, byte layout, in-place replacement and damaged files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "measurement/raw_files.h"
#include "program_folder.h"

using namespace measurement;

namespace {

HistogramBuffers Filled(float base) {
  HistogramBuffers h;
  for (size_t i = 0; i < kWbcChannels; ++i) h.wbc[i] = base + i;
  for (size_t i = 0; i < kRbcChannels; ++i) h.rbc[i] = base + 1000 + i;
  for (size_t i = 0; i < kPltChannels; ++i) h.plt[i] = base + 2000 + i;
  return h;
}

float WbcBinOfRecord(const std::string& data, size_t record) {
  float v;
  std::memcpy(&v, data.data() + record * kTestDataRecordSize, 4);
  return v;
}

class TestDataFiles : public ::testing::Test {
 protected:
  MeasurementFolder folder{false};
  std::string index() const { return FileBytes(folder.file("TDI.dat")); }
  std::string data() const { return FileBytes(folder.file("TD.dat")); }
  void Write(const char* date, const char* sample, float base) {
    ASSERT_EQ(WriteTestDataRecord(folder.folder(), TestDataKey(date, sample), Filled(base)), TestDataWrite::Written);
  }
};

}  // namespace

TEST(TestDataKey, DateDigitsAndNumber) {
  const struct {
    const char* date;
    const char* sample;
    const char* key;
  } cases[] = {
      {"2026-12-09", "7", "20261209 7"},        {"2026-12-09", "12345", "2026120912345"},
      {"2026-12-09", "12", "2026120912"},       {"2026-12-09", "99999999", "2026120999999999"},
      {"2026-12-09", "007", "20261209 7"},      {"2026-12-9", "7", ""},  // not a date text of the store
      {"2026-12-09", "123456789", ""},          // would not fit in 16 characters
  };
  for (const auto& c : cases) EXPECT_EQ(TestDataKey(c.date, c.sample), c.key) << c.date << " " << c.sample;
}

TEST_F(TestDataFiles, FirstRecordLayout) {
  Write("2026-01-05", "5", 1.0f);
  const std::string idx = index();
  ASSERT_EQ(idx.size(), 32u);
  EXPECT_EQ(idx.substr(0, 10), "20260105 5");
  EXPECT_EQ(idx.substr(10), std::string(22, '\0'));
  const std::string d = data();
  ASSERT_EQ(d.size(), 2560u);
  float v;
  std::memcpy(&v, d.data() + 4 * 3, 4);
  EXPECT_EQ(v, 4.0f);  // WBC channel 3
  std::memcpy(&v, d.data() + 1024 + 4 * 255, 4);
  EXPECT_EQ(v, 1256.0f);  // RBC channel 255
  std::memcpy(&v, d.data() + 2048 + 4 * 127, 4);
  EXPECT_EQ(v, 2128.0f);  // PLT channel 127
}

TEST_F(TestDataFiles, KeysAreComparedWhole) {
  Write("2026-01-05", "120", 100.0f);
  Write("2026-01-05", "12", 200.0f);   // a prefix of sample 120's key
  Write("2026-01-05", "123", 300.0f);
  Write("2026-01-05", "12", 400.0f);   // again: replaces only its own record
  EXPECT_EQ(index().size(), 3 * 32u);
  const std::string d = data();
  ASSERT_EQ(d.size(), 3 * 2560u);
  EXPECT_EQ(WbcBinOfRecord(d, 0), 100.0f);
  EXPECT_EQ(WbcBinOfRecord(d, 1), 400.0f);
  EXPECT_EQ(WbcBinOfRecord(d, 2), 300.0f);
  EXPECT_EQ(FindTestDataIndex(folder.file("TDI.dat"), "2026010512"), 1);
  EXPECT_EQ(FindTestDataIndex(folder.file("TDI.dat"), "202601051"), -1);
}

TEST_F(TestDataFiles, RecountReplacesInPlaceAndDaysAreSeparate) {
  Write("2026-01-05", "3", 1.0f);
  Write("2026-01-05", "4", 2.0f);
  Write("2026-01-05", "5", 3.0f);
  Write("2026-01-05", "3", 9.0f);
  Write("2026-01-06", "3", 7.0f);
  EXPECT_EQ(index().size(), 4 * 32u);
  EXPECT_EQ(WbcBinOfRecord(data(), 0), 9.0f);
  EXPECT_EQ(WbcBinOfRecord(data(), 3), 7.0f);
  HistogramBuffers back;
  ASSERT_TRUE(ReadTestDataRecord(folder.folder(), "20260105 4", &back));
  EXPECT_EQ(back.plt[1], 2.0f + 2001);
}

TEST_F(TestDataFiles, ShortDataFileKeepsRecordsAtTheirIndex) {
  Write("2026-01-05", "1", 1.0f);
  Write("2026-01-05", "2", 2.0f);
  std::filesystem::resize_file(folder.file("TD.dat"), 2560 + 100);  // record 1 cut short
  Write("2026-01-05", "3", 3.0f);
  const std::string d = data();
  ASSERT_EQ(d.size(), 3 * 2560u);
  EXPECT_EQ(WbcBinOfRecord(d, 0), 1.0f);
  EXPECT_EQ(WbcBinOfRecord(d, 2), 3.0f);  // written at its own index, not appended after the stub
}

TEST_F(TestDataFiles, LongDataFileAndIncompleteIndexTail) {
  Write("2026-01-05", "1", 1.0f);
  {
    std::ofstream(folder.file("TD.dat"), std::ios::app | std::ios::binary) << std::string(2560, 'x');
    std::ofstream(folder.file("TDI.dat"), std::ios::app | std::ios::binary) << "2026010";
  }
  Write("2026-01-05", "2", 2.0f);
  const std::string idx = index();
  ASSERT_EQ(idx.size(), 2 * 32u);  // the torn tail is replaced by the new record
  EXPECT_EQ(idx.substr(32, 10), "20260105 2");
  EXPECT_EQ(WbcBinOfRecord(data(), 1), 2.0f);  // the stray data record is overwritten
}

TEST_F(TestDataFiles, UnwritableFolderIsReported) {
  std::string error;
  EXPECT_EQ(WriteTestDataRecord(folder.folder() + "missing/", "20260105 1", Filled(1), &error),
            TestDataWrite::IndexFailed);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(WriteTestDataRecord(folder.folder(), "", Filled(1)), TestDataWrite::BadKey);
}
