// Re-flagging a stored result for a new patient group: the stored texts read back in the form
// the result saving writes, the new marks, the kept indicators and the rebuilt range text.
#include <gtest/gtest.h>

#include "core/ado_conn.h"
#include "core/value_format.h"
#include "measurement/flagging.h"
#include "measurement/patient/reflag.h"
#include "patient_folder.h"

using namespace measurement;

namespace {
// WBC counts 2, percentages 1, RBC 2, HGB 0, HCT 1, MCV 1, MCH 1, MCHC 0, RDW-SD 1, RDW-CV 1,
// PLT 0, MPV 1, PCT 3, PDW 1.
void SetDecimals() { UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1}; }
}  // namespace

TEST(StoredValueParse, TextsOfTheResultSavingReadBack) {
  SetDecimals();
  const struct {
    const char* text;
    bool available;
    float value;
    int mark;
  } cases[] = {
      {"12.30", true, 12.3f, 0},
      {"*12.30 H", true, 12.3f, 1},
      {"e1.50 L", true, 1.5f, 2},
      {"E30.0", true, 30.0f, 2},
      {"!0.25 H+", true, 0.25f, 3},
      {"250 L-", true, 250.0f, 0},
      {"- - -", false, 0, 0},
      {"***", false, 0, 0},
      {" ", false, 0, 0},
      {"", false, 0, 0},
      {"abc", false, 0, 0},
      {"12.3 Q", false, 0, 0},  // not a form the screen writes: kept as it is
  };
  for (const auto& c : cases) {
    const StoredValue v = ParseStoredValueText(c.text);
    EXPECT_EQ(v.available, c.available) << c.text;
    if (!c.available) continue;
    EXPECT_FLOAT_EQ(v.value, c.value) << c.text;
    EXPECT_EQ(v.mark, c.mark) << c.text;
  }
  // Every text the result saving builds reads back as its value and indicator.
  const char* indicators[] = {"", kDisagreementIndicator};
  const char* marks[] = {"", "L", "L-", "H", "H+"};
  for (const char* ind : indicators)
    for (const char* mark : marks)
      for (int i : {0, 7, 15, 18}) {
        const float value = 3.25f;
        const std::string text = StoredValueText(value, i, true, ind, mark);
        const StoredValue v = ParseStoredValueText(text);
        ASSERT_TRUE(v.available) << text;
        EXPECT_EQ(FormatValue(v.value, i), FormatValue(value, i)) << text;
        EXPECT_EQ(v.mark, *ind ? 1 : 0) << text;
        EXPECT_EQ(ReflaggedText(v, i, mark), text);
      }
}

TEST(StoredValueParse, IndicatorsFollowTheirPositions) {
  SetDecimals();
  const StoredValue e = ParseStoredValueText("e1.50");
  EXPECT_EQ(ReflaggedText(e, 1, ""), "e1.50");     // LYM#
  EXPECT_EQ(ReflaggedText(e, 4, "H"), "E1.5 H");   // LYM%
  EXPECT_EQ(ReflaggedText(e, 0, ""), "1.50");      // WBC: no hand-entered mark there
  EXPECT_EQ(ReflaggedText(ParseStoredValueText("- - -"), 3, "H"), "- - -");
}

class Reflag : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDecimals();
    // Group 1: normal 4-10 and panic 2-30 for every parameter.
    InsertUniformLimits("NormalLimits", 1, 4.0f, 10.0f);
    InsertUniformLimits("PathologyLimits", 1, 2.0f, 30.0f);
  }
  std::string Column(const char* col, const char* sample = "5") {
    return Scalar(std::string("select ") + col + " from Person where SampleNo='" + sample +
                  "' and TestDate='2026-01-05'");
  }
  PatientFolder folder;
  CADOConn conn;
};

TEST_F(Reflag, MarksFollowTheNewGroupsLimits) {
  const struct {
    const char* stored;
    const char* reflagged;
  } cases[] = {
      {"3.90", "3.90 L"}, {"1.50 H", "1.50 L-"}, {"10.50", "10.50 H"}, {"31.00 L", "31.00 H+"},
      {"4.00 L", "4.00"}, {"10.00 H", "10.00"}, {"*12.30 H", "*12.30 H"}, {"*7.00 H", "*7.00"},
      {"- - -", "- - -"}, {"!5.00 L-", "!5.00"},
  };
  std::string values[20];
  for (auto& v : values) v = "5.00";
  for (const auto& c : cases) {
    Exec("delete from Person");
    values[0] = c.stored;  // WBC
    InsertPersonRow("5", "2026-01-05", values, "General");
    const ReflagOutcome r = ReflagStoredResult(conn, "5", "2026-01-05", "Adult male", 0);
    ASSERT_TRUE(r.done) << c.stored;
    EXPECT_EQ(r.kind, 1);
    EXPECT_EQ(Column("WBC"), c.reflagged) << c.stored;
  }
}

TEST_F(Reflag, HighSideWinsOverLowSideWithCrossedLimits) {
  float v[40];
  for (int i = 0; i < 20; ++i) {
    v[2 * i] = 6.0f;      // normal low above the value
    v[2 * i + 1] = 4.0f;  // normal high below it
  }
  InsertLimits("NormalLimits", 2, v);
  std::string values[20];
  for (auto& t : values) t = "5.00";
  InsertPersonRow("5", "2026-01-05", values);
  ASSERT_TRUE(ReflagStoredResult(conn, "5", "2026-01-05", "Adult female", 0).done);
  EXPECT_EQ(Column("WBC"), "5.00 H");
}

TEST_F(Reflag, HandEnteredMarksStayOnlyOnTheDifferential) {
  std::string values[20];
  for (auto& t : values) t = "e5.0";
  values[1] = "e5.00 L";  // LYMA (LYM#)
  values[4] = "E5.0";     // LYMP (LYM%)
  InsertPersonRow("5", "2026-01-05", values);
  ASSERT_TRUE(ReflagStoredResult(conn, "5", "2026-01-05", "Adult male", 0).done);
  EXPECT_EQ(Column("LYMA"), "e5.00");
  EXPECT_EQ(Column("LYMP"), "E5.0");
  EXPECT_EQ(Column("RBC"), "5.00");  // the mark of another parameter is dropped
}

TEST_F(Reflag, EachLoadStartsWithFreshMarks) {
  std::string marked[20], plain[20];
  for (int i = 0; i < 20; ++i) {
    marked[i] = "*5.00";
    plain[i] = "5.00";
  }
  InsertPersonRow("5", "2026-01-05", marked);
  InsertPersonRow("6", "2026-01-05", plain);
  ASSERT_TRUE(ReflagStoredResult(conn, "5", "2026-01-05", "Adult male", 0).done);
  ASSERT_TRUE(ReflagStoredResult(conn, "6", "2026-01-05", "Adult male", 0).done);
  EXPECT_EQ(Column("WBC", "5"), "*5.00");
  EXPECT_EQ(Column("WBC", "6"), "5.00");  // no indicator carried over from the previous row
}

TEST_F(Reflag, RangeTextOfTheNewGroup) {
  std::string values[20];
  for (auto& t : values) t = "5.00";
  InsertPersonRow("5", "2026-01-05", values);
  // Group 3 has no limit rows: twenty open entries.
  ASSERT_TRUE(ReflagStoredResult(conn, "5", "2026-01-05", "14-18 years", 0).done);
  std::string open;
  for (int i = 0; i < 20; ++i) open += " ,";
  EXPECT_EQ(Column("RefText"), open);
  EXPECT_EQ(Column("WBC"), "5.00");
  // Group 1, WBC 4-10 with two decimals; a pair with equal limits is open at its own place.
  float v[40];
  for (int i = 0; i < 20; ++i) {
    v[2 * i] = 4.0f;
    v[2 * i + 1] = 10.0f;
  }
  v[2 * 8] = v[2 * 8 + 1] = 100.0f;  // HGB (table position 8)
  InsertLimits("NormalLimits", 1, v);
  ASSERT_TRUE(ReflagStoredResult(conn, "5", "2026-01-05", "Adult male", 0).done);
  const std::string ref = Column("RefText");
  EXPECT_EQ(ref.substr(0, 11), "4.00-10.00,");
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t p; (p = ref.find(',', start)) != std::string::npos; start = p + 1) pieces.push_back(ref.substr(start, p - start));
  ASSERT_EQ(pieces.size(), 20u);
  EXPECT_EQ(pieces[8], " ");
  EXPECT_EQ(pieces[9], "4-10");      // MCHC, no decimals
  EXPECT_EQ(pieces[15], "4-10");     // PLT
  EXPECT_EQ(pieces[18], "4.000-10.000");  // PCT
}

TEST_F(Reflag, NothingIsWrittenWithoutAResult) {
  std::string none[20];
  InsertPersonRow("5", "2026-01-05", none);
  EXPECT_FALSE(ReflagStoredResult(conn, "5", "2026-01-05", "Adult male", 0).done);
  EXPECT_FALSE(ReflagStoredResult(conn, "9", "2026-01-05", "Adult male", 0).done);
  EXPECT_EQ(Column("RefText"), "<null>");
  // An unknown group text falls back to the caller's group.
  EXPECT_EQ(GroupKindOfText("Someone else", 4), 4);
  EXPECT_EQ(GroupKindOfText("Перший тиждень", 4), 8);
}
