// The result's middle stage without a store: from the values and the context loaded for it to
// the marks, texts and the row that will be stored.
#include <gtest/gtest.h>

#include <memory>

#include "measurement/run_result.h"

using namespace measurement;

namespace {

TEST(RunPipeline, TheRowIsBuiltFromTheContextWithoutAStore) {
  RunInputs in;
  in.sampleNo = "12";
  in.bloodModeText = "Whole blood";
  for (int i = 0; i < 20; ++i) in.units[i] = "u" + std::to_string(i);
  RunContext ctx;
  ctx.testDate = "2026-12-09";
  ctx.testTime = "08:15:30";
  ctx.groupIndex = 2;
  ctx.referValue = "Adult female";
  ctx.person.found = true;
  ctx.person.Name = "Ann";
  for (int i = 0; i < 40; i += 2) {
    ctx.normal.pairs[i] = -1e9f;
    ctx.normal.pairs[i + 1] = 1e9f;
    ctx.panic.pairs[i] = -1e10f;
    ctx.panic.pairs[i + 1] = 1e10f;
  }
  ctx.normal.pairs[0] = 4.0f;  // WBC 4-10, panic above 30
  ctx.normal.pairs[1] = 10.0f;
  ctx.panic.pairs[1] = 30.0f;

  auto result = std::make_unique<AlgorithmResult>();
  RunResult r;
  r.status = ZentilStatus::Computed;
  r.values.values[0] = 12.5f;  // WBC high
  r.stars[0] = true;           // and its counts disagreed
  CompleteRunResult(in, *result, ctx, r);

  EXPECT_EQ(r.markTexts[0], "H");
  // Indicator, the value with the unit's decimals (a setting of the store), mark.
  const std::string& wbc = r.storedTexts[0];
  EXPECT_EQ(wbc.substr(0, 3), "*12") << wbc;
  EXPECT_EQ(wbc.substr(wbc.size() - 2), " H") << wbc;
  EXPECT_EQ(r.row.sampleNo, "12");
  EXPECT_EQ(r.row.testDate, "2026-12-09");
  EXPECT_EQ(r.row.testTime, "08:15:30");
  EXPECT_EQ(r.row.referValue, "Adult female");
  EXPECT_EQ(r.row.bloodType, "Whole blood");
  EXPECT_EQ(r.groupIndex, 2);
  EXPECT_EQ(r.person.Name, "Ann");
  // The seven unit columns: WBC RBC HGB MCHC HCT PLT PCT.
  const char* units[7] = {"u0", "u7", "u8", "u12", "u9", "u15", "u18"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(r.row.units[i], units[i]) << i;
  const std::string wbcRange = r.refText.substr(0, r.refText.find(','));
  EXPECT_EQ(wbcRange.substr(0, 1), "4") << r.refText;
  EXPECT_NE(wbcRange.find("-10"), std::string::npos) << r.refText;
  ASSERT_EQ(r.logLines.size(), 1u);  // the third count's note
  EXPECT_NE(r.logLines[0].find("12"), std::string::npos);
  EXPECT_EQ(r.save, SaveStatus::Failed) << "nothing stored yet";
}

}  // namespace
