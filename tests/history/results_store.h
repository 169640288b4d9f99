#pragma once
// A results store at a laboratory's size, built in one transaction: n Person rows over several
// years, 40 samples a day numbered 1..40 with times 08:00:00 + 10 min each, the three blood
// modes and ten groups named in turn in the five languages, every 7th row with invalid values,
// every 5th with a high WBC mark, and raw records for every `rawEvery`-th row. Row i's fields
// follow from i alone, so a test works its expected values out from the same rule.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/app_settings.h"
#include "measurement/histograms.h"
#include "platform/ui/test_driver.h"
#include "tests/support/program_folder.h"

namespace history_test {

struct StoreRow {
  std::string sampleNo, testDate, testTime, name, wbc, bloodType, referValue;
};
// The fields of row i.
StoreRow RowOf(int i);
inline constexpr int kPerDay = 40;

// Writes n rows (and raw records) into the data store of the current program folder.
void BuildStore(int n, int rawEvery = 1000);
// The histograms the raw record of a row holds.
measurement::HistogramBuffers RawOf(int i);

// A program folder with the store, the offscreen UI and the program's message box.
class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  void Sql(const std::string& sql) { support::ExecSql(sql); }
  std::string Scalar(const std::string& sql) { return support::QueryText(sql); }
  void Shot(const std::string& name);

  ui::TestDriver d;
  std::unique_ptr<support::ScratchProgramFolder> program_;
  AppSettingsValues saved_;
};

}  // namespace history_test
