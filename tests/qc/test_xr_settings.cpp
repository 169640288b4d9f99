// The X-R file settings: the input check in order, the LIS record, and the screen's save,
// update and delete.
#include <gtest/gtest.h>

#include "core/value_format.h"
#include "qc/lj_qc_set.h"
#include "qc/xr_qc_set.h"
#include "qc/xr_settings_input.h"
#include "qc_screen_fixture.h"

namespace {

using qc::XrInputError;

TEST(XrSettingsInput, FirstFailureInOrder) {
  struct Case {
    const char* what;
    qc::XrSettingsInput in;
    XrInputError expected;
  } cases[] = {
      {"good", {"A", "2030", "1", "31", "20", "5"}, XrInputError::None},
      {"no batch", {"  ", "2030", "1", "31", "20", "5"}, XrInputError::NoLot},
      {"comma in the batch", {"A,B", "2030", "1", "31", "20", "5"}, XrInputError::LotComma},
      {"no year", {"A", "", "1", "31", "20", "5"}, XrInputError::DateIncomplete},
      {"letters", {"A", "20x0", "1", "31", "20", "5"}, XrInputError::DateFormat},
      {"month -1", {"A", "2030", "-1", "31", "20", "5"}, XrInputError::Month},
      {"day 32", {"A", "2030", "1", "32", "20", "5"}, XrInputError::Day},
      {"31 February", {"A", "2030", "2", "31", "20", "5"}, XrInputError::None},
      {"yesterday", {"A", "2026", "12", "9", "20", "5"}, XrInputError::Expired},
      {"today", {"A", "2026", "12", "10", "20", "5"}, XrInputError::None},
      {"no groups", {"A", "2030", "1", "31", "", "5"}, XrInputError::GroupDigits},
      {"samples with a comma", {"A", "2030", "1", "31", "20", "5,0"}, XrInputError::SampleDigits},
      {"one group", {"A", "2030", "1", "31", "1", "5"}, XrInputError::AtLeastTwo},
      {"one sample", {"A", "2030", "1", "31", "20", "1"}, XrInputError::AtLeastTwo},
      {"61 groups", {"A", "2030", "1", "31", "61", "5"}, XrInputError::MaxGroups},
      {"258 groups (no byte wrap to 2)", {"A", "2030", "1", "31", "258", "5"}, XrInputError::MaxGroups},
      {"11 samples", {"A", "2030", "1", "31", "20", "11"}, XrInputError::MaxSamples},
  };
  for (Case& c : cases) {
    std::string exp;
    int g = 0, n = 0;
    EXPECT_EQ(qc::CheckXrSettingsInput(c.in, 2026, 12, 10, &exp, &g, &n), c.expected) << c.what;
  }
  qc::XrSettingsInput in{" O'Neil ", "2031", "4", "9", "60", "10"};
  std::string exp;
  int g = 0, n = 0;
  ASSERT_EQ(qc::CheckXrSettingsInput(in, 2026, 12, 10, &exp, &g, &n), XrInputError::None);
  EXPECT_EQ(in.batch, "O\u2018Neil");
  EXPECT_EQ(exp, "2031-04-09");
  EXPECT_EQ(g, 60);
  EXPECT_EQ(n, 10);
}

TEST(XrSettingsInput, TextRecord) {
  const std::array<std::string, 20> units = {"10^9/L", "10^9/L", "10^9/L", "10^9/L", "%",  "%",      "%",  "10^12/L", "g/L", "g/L",
                                             "pg",     "fL",     "%",      "fL",     "%",  "10^9/L", "fL", "%",       "%",   "%"};
  const std::string r = qc::XrSettingsTextRecord(3, "1234AB", "2031-04-09", 20, 5, units);
  const std::string body =
      "XRS,3,1234AB,2031-04-09,20,5,10^9/L,10^9/L,10^9/L,10^9/L,%,%,%,10^12/L,g/L,g/L,pg,fL,%,fL,%,10^9/L,fL,%,%,%,";
  unsigned sum = 0;
  for (unsigned char c : body) sum += c;
  EXPECT_EQ(r, body + std::to_string(sum & 0xFFFF) + ",TRANSFER FINISH");
}

class XrSettings : public QcScreenTest {};

TEST_F(XrSettings, SaveInsertsThenUpdatesAndDeleteTakesTheResults) {
  Sql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(2,'2026-03-01','08:00:00',5)");
  qc::CXRQCSet screen(nullptr);
  std::string groups, perGroup;
  std::vector<std::string> first, second, deleted, noData;
  std::string afterDelete;
  auto set = [&](ui::TestDriver& s, int id, const std::string& v) {
    s.RunUntil([&] {
      s.TopWindow()->SetDlgItemText(id, v);
      return true;
    });
  };
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(qc::FileRadioId(2));
                            groups = s.Text(qc::IDC_XRS_GROUPS);
                            perGroup = s.Text(qc::IDC_XRS_PER_GROUP);
                            set(s, qc::IDC_XRS_BATCH, "XR-2");
                            set(s, qc::IDC_XRS_YEAR, "2030");
                            set(s, qc::IDC_XRS_MONTH, "6");
                            set(s, qc::IDC_XRS_DAY, "1");
                            s.Press(qc::IDC_XRS_SAVE);
                            first = DrainBoxes(s);
                            set(s, qc::IDC_XRS_GROUPS, "3");
                            s.Press(qc::IDC_XRS_SAVE);
                            second = DrainBoxes(s);
                            Shot("xr_settings_en");
                            s.Press(qc::IDC_XRS_DELETE);
                            deleted = DrainBoxes(s);
                            afterDelete = s.Text(qc::IDC_XRS_GROUPS);
                            s.Press(qc::IDC_XRS_DELETE);
                            noData = DrainBoxes(s);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(groups, "20");
  EXPECT_EQ(perGroup, "5");
  EXPECT_EQ(first, (std::vector<std::string>{"The QC data saved!"}));
  EXPECT_EQ(second, (std::vector<std::string>{"The QC data saved!"}));
  EXPECT_EQ(deleted, (std::vector<std::string>{"Are you sure to delete data of current QC file?", "Data of QC file deleted!"}));
  EXPECT_EQ(afterDelete, "");
  EXPECT_EQ(noData, (std::vector<std::string>{"No data in current QC file!"}));
  EXPECT_EQ(Scalar("select count(*) from XRQCSet"), "0");
  EXPECT_EQ(Scalar("select count(*) from XRQCRunResult"), "0");
}

TEST_F(XrSettings, AStoredFileLoadsAndUpdates) {
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(4,'B4','2031-04-09',12,3)");
  qc::CXRQCSet screen(nullptr);
  std::string batch, year, month, day, groups, perGroup;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(qc::FileRadioId(4));
                            batch = s.Text(qc::IDC_XRS_BATCH);
                            year = s.Text(qc::IDC_XRS_YEAR);
                            month = s.Text(qc::IDC_XRS_MONTH);
                            day = s.Text(qc::IDC_XRS_DAY);
                            groups = s.Text(qc::IDC_XRS_GROUPS);
                            perGroup = s.Text(qc::IDC_XRS_PER_GROUP);
                            s.Press(qc::IDC_XRS_SAVE);
                            DrainBoxes(s);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(batch, "B4");
  EXPECT_EQ(year + "/" + month + "/" + day, "2031/04/09");
  EXPECT_EQ(groups, "12");
  EXPECT_EQ(perGroup, "3");
  EXPECT_EQ(Scalar("select count(*) || BatchNo || ExpDate || GroupNum || NumPerGroup from XRQCSet"), "1B42031-04-09123");
}

}  // namespace
