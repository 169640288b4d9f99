// Range marks, value texts, flag texts, reference texts and the patient group of a sample.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "core/ado_conn.h"
#include "core/value_format.h"
#include "measurement/flagging.h"
#include "measurement/run_result.h"
#include "program_folder.h"

using namespace measurement;

TEST(RangeMark, BoundariesAreInside) {
  // Normal 4.0-10.0, panic 2.0-30.0.
  const struct {
    float v;
    const char* mark;
  } cases[] = {{1.9f, "L-"}, {2.0f, "L"}, {3.9f, "L"}, {4.0f, ""}, {10.0f, ""},
               {10.1f, "H"}, {30.0f, "H"}, {30.1f, "H+"}};
  for (const auto& c : cases) EXPECT_EQ(RangeMark(c.v, 4.0f, 10.0f, 2.0f, 30.0f), c.mark) << c.v;
  // Unordered limits: the high side wins.
  EXPECT_EQ(RangeMark(5.0f, 6.0f, 4.0f, 0.0f, 100.0f), "H");
}

TEST(RangeMark, NotReportableValuesGetNoMark) {
  float values[20];
  uint8_t marks[20] = {};
  for (float& v : values) v = 1000.0f;
  marks[9] = 1;
  LimitPairs normal, panic;
  for (int i = 0; i < 20; ++i) {
    normal.pairs[2 * i] = 1;
    normal.pairs[2 * i + 1] = 2;
    panic.pairs[2 * i] = 0;
    panic.pairs[2 * i + 1] = 3;
  }
  std::string texts[20];
  MarkValues(values, marks, normal, panic, texts);
  EXPECT_EQ(texts[0], "H+");
  EXPECT_EQ(texts[9], "");
  EXPECT_EQ(StoredValueText(1000.0f, 9, false, "", ""), "- - -");
}

TEST(ValueTexts, IndicatorStandsBeforeTheValue) {
  UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  const struct {
    float v;
    int index;
    const char* indicator;
    const char* mark;
    const char* stored;
  } cases[] = {
      {12.5f, 0, "*", "H", "*12.50 H"},
      {12.5f, 0, "", "H", "12.50 H"},
      {4.5f, 7, "*", "", "*4.50"},
      {250.0f, 15, "", "L-", "250 L-"},
      {-100000.0f, 15, "*", "H", "- - -"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StoredValueText(c.v, c.index, true, c.indicator, c.mark), c.stored);
  }
  EXPECT_EQ(ShownValueText(12.5f, 0, true), "12.50");
  EXPECT_EQ(ShownValueText(12.5f, 0, false), "- - -");
}

TEST(PatientGroups, NamesInAnyLanguage) {
  const struct {
    const char* text;
    int kind;
  } cases[] = {{"General", 0},      {"通用", 0},          {"Adulte femme", 2}, {"Дорослий чоловік", 1},
               {"2 місяці – 2 роки", 6}, {"User defined", 9}, {"adult male", 0},  {"Nonsense", 0}, {"", 0}};
  for (const auto& c : cases) EXPECT_EQ(GroupIndexFromText(c.text), c.kind) << c.text;
  EXPECT_STREQ(GroupName(0, 1), "General");
  EXPECT_STREQ(GroupName(8, 3), "Premiere Semaine");
}

TEST(FlagTexts, CodesInOrderAndSuppression) {
  auto r = std::make_unique<AlgorithmResult>();
  std::memset(r.get(), 0, sizeof *r);
  r->LF1 = 1;
  r->PF2 = 1;
  FlagTexts f = BuildFlagTexts(*r);
  EXPECT_EQ(f.warning, "LF1 PF2 ");
  EXPECT_TRUE(f.wbcLabels[0]);
  EXPECT_TRUE(f.pltLabels[1]);
  EXPECT_EQ(FlagLogLine("12", f.chineseDescription),
            "样本12:淋巴细胞峰左侧区域异常,血小板右侧区域异常,可能血样太久了或者是病态的样本，根据需要重测样本或镜检确认");

  r->LF2 = 1;
  r->WbcLow = 1;  // a low WBC keeps the WBC flags out
  f = BuildFlagTexts(*r);
  EXPECT_EQ(f.warning, "PF2 ");
  EXPECT_TRUE(f.wbcSuppressed);
  r->PltLow = 1;
  EXPECT_EQ(BuildFlagTexts(*r).warning, "");
  EXPECT_EQ(FlagLogLine("12", ""), "");
}

TEST(ReferenceTexts, TableOrderAndBlanks) {
  UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  LimitPairs normal;
  for (int i = 0; i < 20; ++i) {
    normal.pairs[2 * i] = static_cast<float>(i);
    normal.pairs[2 * i + 1] = static_cast<float>(i + 1);
  }
  normal.pairs[2] = normal.pairs[3] = 0.0f;  // LYM# (0, 0): a blank element
  std::string ref, range[20];
  BuildReferenceTexts(normal, &ref, range);
  EXPECT_EQ(range[0], "0.00-1.00");
  EXPECT_EQ(range[1], " ");
  EXPECT_EQ(range[9], "12-13");      // table position 9 is MCHC, screen position 12
  EXPECT_EQ(range[14], "9.0-10.0");  // table position 14 is HCT, screen position 9
  EXPECT_EQ(ref.substr(0, 12), "0.00-1.00, ,");
  int commas = 0;
  for (char ch : ref) commas += ch == ',';
  EXPECT_EQ(commas, 20);

  LimitPairs open;
  for (int i = 0; i < 20; ++i) {
    open.pairs[2 * i] = -1000000000.0f;
    open.pairs[2 * i + 1] = 1000000000.0f;
  }
  BuildReferenceTexts(open, &ref, range);
  EXPECT_EQ(ref, " , , , , , , , , , , , , , , , , , , , ,");
}

class GroupOfSample : public ::testing::Test {
 protected:
  MeasurementFolder folder;
};

TEST_F(GroupOfSample, StoredTextOrGeneral) {
  Exec("insert into Person (SampleNo, TestDate, ReferValue) values ('1', '2026-01-05', 'Adulte femme')");
  Exec("insert into Person (SampleNo, TestDate, ReferValue) values ('2', '2026-01-05', 'Somebody''s group')");
  Exec("insert into Person (SampleNo, TestDate) values ('3', '2026-01-05')");
  CADOConn conn;
  const struct {
    const char* sample;
    int group;
    const char* refer;
  } cases[] = {
      {"1", 2, "Adulte femme"},
      {"2", 0, "Somebody's group"},  // no such group: General, not the previous sample's group
      {"3", 0, "General"},           // no group stored
      {"4", 0, "General"},           // no row
  };
  for (const auto& c : cases) {
    std::string refer;
    EXPECT_EQ(ResolveSampleGroup(conn, c.sample, "2026-01-05", 1, &refer), c.group) << c.sample;
    EXPECT_EQ(refer, c.refer) << c.sample;
  }
}

TEST_F(GroupOfSample, LimitsOfAGroupWithoutRowAreOpen) {
  CADOConn conn;
  LimitPairs general = LoadNormalLimits(conn, 0);
  EXPECT_FALSE(general.missing);
  EXPECT_FLOAT_EQ(general.pairs[0], 4.0f);     // WBC low
  EXPECT_FLOAT_EQ(general.pairs[18], 37.0f);   // screen position 9 is HCT
  EXPECT_FLOAT_EQ(general.pairs[24], 320.0f);  // screen position 12 is MCHC
  LimitPairs none = LoadNormalLimits(conn, 5);
  EXPECT_TRUE(none.missing);
  EXPECT_FLOAT_EQ(none.pairs[0], -1000000000.0f);
  LimitPairs panic = LoadPathologyLimits(conn, 5);
  EXPECT_FLOAT_EQ(panic.pairs[1], 10000000000.0f);
}
