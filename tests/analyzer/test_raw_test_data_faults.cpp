// The raw test-data files (TD.dat, TDI.dat) when the disk fails at any step of a write: the
// writer reports it, and every record a reader finds is whole (the old one or the new one).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "analyzer/raw_test_data.h"
#include "tests/support/io_faults.h"

using namespace analyzer;

namespace {

class RawFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string t = (std::filesystem::temp_directory_path() / "qxraw-XXXXXX").string();
    ASSERT_NE(mkdtemp(t.data()), nullptr);
    dir = t + "/";
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  void Write(const std::string& key, uint8_t fill) {
    uint8_t record[kRawDataRecordSize];
    std::memset(record, fill, sizeof record);
    std::string error;
    ASSERT_EQ(WriteRawRecord(dir, key, record, &error), RawWrite::Written) << error;
  }
  // The fill of a key's record: -1 when it is not found; -2 when its bytes are mixed.
  int Fill(const std::string& key) {
    uint8_t record[kRawDataRecordSize];
    if (!ReadRawRecord(dir, key, record)) return -1;
    for (uint8_t b : record)
      if (b != record[0]) return -2;
    return record[0];
  }
  void Reset() {
    std::filesystem::remove(dir + kRawDataFile);
    std::filesystem::remove(dir + kRawIndexFile);
    Write("20260105 1", 'a');
    Write("20260105 2", 'b');
  }
  RawWrite Put(const std::string& key, uint8_t fill, std::string* error) {
    uint8_t record[kRawDataRecordSize];
    std::memset(record, fill, sizeof record);
    return WriteRawRecord(dir, key, record, error);
  }
  std::string dir;
};

TEST_F(RawFaults, ANewRecordIsWholeOrAbsentAndTheOthersStay) {
  support::EachStepFailing(
      [&] { Reset(); }, [&](std::string* e) { return Put("20260105 3", 'c', e) == RawWrite::Written; },
      [&](const std::string& where, bool ok, const std::string& error) {
        EXPECT_FALSE(ok) << where;
        EXPECT_FALSE(error.empty()) << where;
        EXPECT_EQ(Fill("20260105 1"), 'a') << where;
        EXPECT_EQ(Fill("20260105 2"), 'b') << where;
        const int c = Fill("20260105 3");
        // A failed flush of the index may leave the record findable; then it is whole.
        EXPECT_TRUE(c == -1 || c == 'c') << where << ": " << c;
        // The next write of the sample succeeds and lands after the two others.
        std::string again;
        EXPECT_EQ(Put("20260105 3", 'c', &again), RawWrite::Written) << where << ": " << again;
        EXPECT_EQ(FindRawIndex(dir + kRawIndexFile, "20260105 3"), 2) << where;
        EXPECT_EQ(Fill("20260105 3"), 'c') << where;
        EXPECT_EQ(Fill("20260105 2"), 'b') << where;
      });
}

TEST_F(RawFaults, ARecountReplacingARecordLeavesTheOldOrTheNewOne) {
  support::EachStepFailing(
      [&] { Reset(); }, [&](std::string* e) { return Put("20260105 1", 'd', e) == RawWrite::Written; },
      [&](const std::string& where, bool ok, const std::string& error) {
        EXPECT_FALSE(ok) << where;
        EXPECT_FALSE(error.empty()) << where;
        const int now = Fill("20260105 1");
        EXPECT_TRUE(now == 'a' || now == 'd') << where << ": " << now;
        EXPECT_EQ(Fill("20260105 2"), 'b') << where;
      });
}

TEST_F(RawFaults, WhichFileFailedIsSaid) {
  Reset();
  struct Case {
    sys::IoOp op;
    const char* file;
    RawWrite expected;
  } cases[] = {
      {sys::IoOp::Open, "TDI.dat", RawWrite::IndexFailed}, {sys::IoOp::Open, "TD.dat", RawWrite::DataFailed},
      {sys::IoOp::Write, "TD.dat", RawWrite::DataFailed},  {sys::IoOp::Sync, "TD.dat", RawWrite::DataFailed},
      {sys::IoOp::Write, "TDI.dat", RawWrite::IndexFailed}, {sys::IoOp::Sync, "TDI.dat", RawWrite::IndexFailed},
  };
  for (const Case& c : cases) {
    support::IoFaults faults;
    faults.Add({c.op, std::string("/") + c.file, 1, support::IoFaults::Error(EIO)});
    std::string error;
    EXPECT_EQ(Put("20260106 9", 'e', &error), c.expected) << support::IoOpName(c.op) << " " << c.file;
    EXPECT_NE(error.find(c.file), std::string::npos) << error;
  }
}

}  // namespace
