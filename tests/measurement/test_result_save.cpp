// The Person row, X-B QC rows, the hand-off to printing and the LIS, and a whole result
// processing through the real library into a fresh data store.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <vector>

#include "core/ado_conn.h"
#include "core/db_errors.h"
#include "core/value_format.h"
#include "measurement/result_save.h"
#include "measurement/run_result.h"
#include "platform/sys/clock.h"
#include "program_folder.h"
#include "tests/support/io_faults.h"
#include "tools/boardsim/blood_profile.h"

using namespace measurement;

namespace {

const std::string kUnits[20] = {"10^9/L", "10^9/L", "10^9/L", "10^9/L", "%",  "%",      "%",
                                "10^12/L", "g/L",   "%",      "fL",     "pg", "g/L",    "fL",
                                "%",      "10^9/L", "fL",     "fL",     "%",  "%"};

PersonRow SampleRow(const std::string& no) {
  PersonRow r;
  r.sampleNo = no;
  r.testDate = "2026-01-05";
  r.testTime = "08:00:00";
  r.bloodType = "Whole blood";
  r.referValue = "General";
  for (int i = 0; i < 20; ++i) r.values[i] = std::to_string(i) + ".0";
  r.values[0] = "*12.50 H";
  r.warning = "LF1 ";
  UnitColumnsOf(kUnits, r.units);
  r.refText = "4.00-10.00,";
  r.originalWbc = 12.5f;
  r.markers[0] = 15.625f;
  r.markers[1] = 93.75f;
  r.markers[2] = 2.0f;
  r.markers[3] = 30.0f;
  return r;
}

struct Notices {
  std::vector<std::string> texts;
  int prints = 0, sends = 0;
  std::string printedSample, sentSample;
  Notices() {
    SetHandOffNotice([this](const std::string& t) { texts.push_back(t); });
  }
  void Install() {
    SetHandOffEntry(HandOffKind::Print, [this](const ReportSnapshot& s) {
      printedSample = s.sampleNo;
      return ++prints > 0;
    });
    SetHandOffEntry(HandOffKind::Send, [this](const ReportSnapshot& s) {
      sentSample = s.sampleNo;
      return ++sends > 0;
    });
  }
  ~Notices() {
    SetHandOffNotice(nullptr);
    SetHandOffEntry(HandOffKind::Print, nullptr);
    SetHandOffEntry(HandOffKind::Send, nullptr);
  }
};

class ResultSaving : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearRecentDbErrors();
    UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  }
  MeasurementFolder folder;
};

}  // namespace

TEST_F(ResultSaving, InsertThenUpdateKeepsPatientColumns) {
  CADOConn conn;
  PersonRow row = SampleRow("7");
  ASSERT_EQ(SavePersonRow(conn, row), SaveStatus::Inserted);
  EXPECT_EQ(Scalar("select WBC from Person where SampleNo='7'"), "*12.50 H");
  EXPECT_EQ(Scalar("select Age from Person where SampleNo='7'"), "0");
  EXPECT_EQ(Scalar("select ReferValue from Person where SampleNo='7'"), "General");
  EXPECT_EQ(Scalar("select PCTUnit from Person where SampleNo='7'"), "%");
  EXPECT_EQ(Scalar("select WMARKER3 from Person where SampleNo='7'"), "93.75");

  Exec("update Person set Name='Ann', ReferValue='Adult female' where SampleNo='7'");
  row.values[0] = "5.00";
  row.testTime = "09:30:00";
  row.warning = "";
  ASSERT_EQ(SavePersonRow(conn, row), SaveStatus::Updated);
  EXPECT_EQ(Scalar("select count(*) from Person"), "1");
  EXPECT_EQ(Scalar("select WBC from Person where SampleNo='7'"), "5.00");
  EXPECT_EQ(Scalar("select Name from Person where SampleNo='7'"), "Ann");
  EXPECT_EQ(Scalar("select ReferValue from Person where SampleNo='7'"), "Adult female");
  EXPECT_EQ(Scalar("select TestTime from Person where SampleNo='7'"), "09:30:00");

  row.sampleNo = "7'; drop table Person; --";
  EXPECT_EQ(SavePersonRow(conn, row), SaveStatus::Inserted);
  EXPECT_EQ(Scalar("select count(*) from Person"), "2");
}

TEST_F(ResultSaving, FailedWriteIsReportedAndNothingIsHandedOn) {
  Exec("create trigger refuse before insert on Person begin select raise(abort, 'disk full'); end");
  CADOConn conn;
  std::string error;
  EXPECT_EQ(SavePersonRow(conn, SampleRow("8"), &error), SaveStatus::Failed);
  EXPECT_NE(error.find("disk full"), std::string::npos);
  EXPECT_FALSE(RecentDbErrors().empty());  // the operator saw the engine's text

  Notices n;
  n.Install();
  RunResult r;
  r.save = SaveStatus::Failed;
  HandOffOutcome o = HandOffResult(r, true, true, 1, ReportSnapshot{});
  EXPECT_FALSE(o.printed);
  EXPECT_FALSE(o.sent);
  EXPECT_EQ(n.prints + n.sends, 0);
  ASSERT_EQ(n.texts.size(), 1u);
  EXPECT_EQ(n.texts[0], "The result could not be saved; it is not printed or sent");
}

TEST_F(ResultSaving, HandOffWithAndWithoutEntries) {
  Notices n;
  RunResult stored;
  stored.save = SaveStatus::Inserted;
  ReportSnapshot sample;
  sample.sampleNo = "17";
  HandOffOutcome o = HandOffResult(stored, true, true, 1, sample);
  EXPECT_FALSE(o.printed);
  EXPECT_FALSE(o.sent);
  // Printing and the LIS are part of the program: without their entries nothing is said.
  EXPECT_TRUE(n.texts.empty());

  n.Install();
  n.texts.clear();
  o = HandOffResult(stored, true, false, 1, sample);
  EXPECT_TRUE(o.printed);
  EXPECT_EQ(n.prints, 1);
  EXPECT_EQ(n.printedSample, "17");  // the entry gets the snapshot it was handed
  EXPECT_EQ(n.sends, 0);
  EXPECT_TRUE(n.texts.empty());

  // A result the library did not compute goes to neither, whether or not its row was written
  // (it is kept with "- - -" values to be computed later).
  for (SaveStatus save : {SaveStatus::Inserted, SaveStatus::Updated, SaveStatus::Failed}) {
    RunResult uncomputed;
    uncomputed.status = ZentilStatus::LibraryMissing;
    uncomputed.save = save;
    o = HandOffResult(uncomputed, true, true, 1, sample);
    EXPECT_EQ(n.prints, 1) << static_cast<int>(save);
    EXPECT_EQ(n.sends, 0) << static_cast<int>(save);
    EXPECT_FALSE(o.printed || o.sent) << static_cast<int>(save);
    // Unless its row was lost: that is said first.
    EXPECT_EQ(o.notice, save == SaveStatus::Failed ? "The result could not be saved; it is not printed or sent"
                                                   : "No result: the algorithm library could not be used")
        << static_cast<int>(save);
  }
}

TEST_F(ResultSaving, XbQcFollowsSwitchesAndStopsAtSampleNum) {
  Exec("insert into XBQCSet (SampleNum, IsOn, Q1, Q2, Q10, Q15) values (2, 1, 1, 0, 1, 1)");
  CADOConn conn;
  XbQcState st = LoadXbQcState(conn);
  EXPECT_EQ(st.sampleNum, 2);
  EXPECT_TRUE(st.isOn);
  EXPECT_EQ(st.resultCount, 0);
  float values[20];
  for (int i = 0; i < 20; ++i) values[i] = 100.0f + i;
  std::string units[7];
  UnitColumnsOf(kUnits, units);
  EXPECT_EQ(AddXbQcRow(conn, st, values, true, "2026-01-05", "08:00:00", units), XbQcOutcome::Incomplete);
  EXPECT_EQ(AddXbQcRow(conn, st, values, false, "2026-01-05", "08:00:00", units), XbQcOutcome::Added);
  EXPECT_EQ(Scalar("select WBC from XBQCRunResult"), "100");
  EXPECT_EQ(Scalar("select LYMA from XBQCRunResult"), "-2");
  EXPECT_EQ(Scalar("select MCHC from XBQCRunResult"), "112");  // Q10 is MCHC: screen position 12
  EXPECT_EQ(Scalar("select HCT from XBQCRunResult"), "109");   // Q15 is HCT: screen position 9
  EXPECT_EQ(AddXbQcRow(conn, st, values, false, "2026-01-05", "08:01:00", units), XbQcOutcome::Added);
  EXPECT_EQ(AddXbQcRow(conn, st, values, false, "2026-01-05", "08:02:00", units), XbQcOutcome::Full);
  EXPECT_EQ(Scalar("select count(*) from XBQCRunResult"), "2");
}

TEST_F(ResultSaving, XbQcTrimDeletesTheOldestRow) {
  Exec("insert into XBQCSet (SampleNum, IsOn) values (20, 1)");
  // 1995 rows; the oldest by date and time is not the first inserted.
  std::string sql = "insert into XBQCRunResult (TestDate, TestTime, WBC) values ";
  for (int i = 0; i < 1995; ++i) {
    if (i) sql += ",";
    sql += i == 10 ? "('2025-12-31','23:59:59',-7)" : "('2026-01-0" + std::to_string(1 + i % 4) + "','10:00:00',1)";
  }
  Exec(sql);
  CADOConn conn;
  XbQcState st = LoadXbQcState(conn);
  EXPECT_EQ(st.resultCount, 1995);
  float values[20] = {};
  std::string units[7];
  for (int k = 0; k < 5; ++k) ASSERT_EQ(AddXbQcRow(conn, st, values, false, "2026-01-05", "08:00:00", units), XbQcOutcome::Added);
  EXPECT_EQ(Scalar("select count(*) from XBQCRunResult"), "2000");
  EXPECT_EQ(Scalar("select count(*) from XBQCRunResult where WBC=-7"), "1");
  ASSERT_EQ(AddXbQcRow(conn, st, values, false, "2026-01-05", "08:00:00", units), XbQcOutcome::Added);
  EXPECT_EQ(Scalar("select count(*) from XBQCRunResult"), "2000");
  EXPECT_EQ(Scalar("select count(*) from XBQCRunResult where WBC=-7"), "0");
}

TEST(AgeText, NumberAndUnitWord) {
  EXPECT_EQ(AgeWithUnit(3, "J", 0), "3 天");
  EXPECT_EQ(AgeWithUnit(40, "Y", 1), "40 years");
  EXPECT_EQ(AgeWithUnit(5, "М", 4), "5 місяців");
  EXPECT_EQ(AgeWithUnit(5, "?", 1), "5");
}

// ---- Whole result processing through the built library.
namespace {

RunInputs NormalRun(const std::string& folder, const std::string& sampleNo, uint16_t* blank, uint16_t* sample,
                    HistogramBuffers* last) {
  RunInputs in;
  const boardsim::BloodProfile& p = boardsim::ProfileData(boardsim::Profile::Normal);
  for (int k = 0; k < 2; ++k) {
    boardsim::CountData d = boardsim::GenerateCount(p, 5.0f, false, 10 + k, true);
    for (size_t i = 0; i < kWbcChannels; ++i) in.counts[k].wbc[i] = d.wbc[i];
    for (size_t i = 0; i < kRbcChannels; ++i) in.counts[k].rbc[i] = d.rbc[i];
    for (size_t i = 0; i < kPltChannels; ++i) in.counts[k].plt[i] = d.plt[i];
    *blank = d.hgbBlank;
    *sample = d.hgbSample;
    for (size_t i = 0; i < kWbcChannels; ++i) last->wbc[i] = d.wbc[i];
  }
  in.count.hgbBlank = blank;
  in.count.hgbSample = sample;
  in.sampleNo = sampleNo;
  in.bloodModeText = "Whole blood";
  for (int i = 0; i < 20; ++i) in.units[i] = kUnits[i];
  in.folder = folder;
  return in;
}

}  // namespace

TEST_F(ResultSaving, ProcessRunResultStoresAFlaggedRow) {
  sys::Clock::UseManual(sys::LocalTime{2026, 12, 9, 8, 15, 30, 0, 3});
  SetZentilLibraryPath(BuiltZentilPath());
  Exec("insert into XBQCSet (SampleNum, IsOn, Q1) values (20, 1, 1)");
  uint16_t blank, sample;
  HistogramBuffers h;
  RunInputs in = NormalRun(folder.folder(), "12", &blank, &sample, &h);
  CADOConn conn;
  XbQcState xb = LoadXbQcState(conn);
  RunResult r = ProcessRunResult(conn, in, h, xb);
  SetZentilLibraryPath("");
  sys::Clock::UseReal();

  ASSERT_EQ(r.status, ZentilStatus::Computed);
  EXPECT_EQ(r.save, SaveStatus::Inserted);
  EXPECT_TRUE(r.Stored());
  EXPECT_EQ(r.testDate, "2026-12-09");
  EXPECT_EQ(r.testTime, "08:15:30");
  EXPECT_EQ(r.groupIndex, 0);
  EXPECT_NEAR(r.values.values[0], 7.0, 1.5);
  EXPECT_EQ(Scalar("select WBC from Person where SampleNo='12' and TestDate='2026-12-09'"), r.storedTexts[0]);
  EXPECT_EQ(Scalar("select ReferValue from Person where SampleNo='12'"), "General");
  EXPECT_EQ(Scalar("select RefText from Person where SampleNo='12'").substr(0, 11), "4.00-10.00,");
  // The mean of the two counts went to the raw data file under the sample's key.
  HistogramBuffers back;
  ASSERT_TRUE(ReadTestDataRecord(folder.folder(), "2026120912", &back));
  EXPECT_FLOAT_EQ(back.wbc[100], (in.counts[0].wbc[100] + in.counts[1].wbc[100]) * 0.5f);
  EXPECT_EQ(r.xb, XbQcOutcome::Added);
}

// The LIS's patient data for the sample (an order answer, query mode 2) is stored between the
// count's read of the row and the write of its result. The row keeps the group its marks and
// range text came from, beside the LIS's other patient columns.
TEST_F(ResultSaving, GroupStoredBetweenTheReadAndTheWriteNeverStandsBesideOtherMarks) {
  struct Case {
    const char* name;
    const char* before;  // the row before the count, or nullptr
    const char* lis;     // the LIS's statement, as its answer is stored
    const char* group;   // the row's group afterwards ("NULL": none)
  } cases[] = {
      {"row of group General", "insert into Person (SampleNo,TestDate,Name,ReferValue) values ('5','2026-12-09','Ann','General')",
       "update Person set Name='Bob',ReferValue='Adult female' where SampleNo='5' and TestDate='2026-12-09'", "General"},
      {"row without a group", "insert into Person (SampleNo,TestDate,Name) values ('5','2026-12-09','Ann')",
       "update Person set Name='Bob',ReferValue='Adult female' where SampleNo='5' and TestDate='2026-12-09'", "NULL"},
      {"no row yet", nullptr,
       "insert into Person (SampleNo,TestDate,TestTime,Name,ReferValue) values "
       "('5','2026-12-09','08:15:30','Bob','Adult female')",
       "General"},
  };
  // The female adults' WBC range differs from General's 4.00-10.00.
  Exec("delete from NormalLimits where Kind=2");
  Exec("insert into NormalLimits (Kind, WBCL, WBCH) values (2, 1, 2)");
  ASSERT_EQ(GroupIndexFromText("Adult female"), 2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Exec("delete from Person");
    if (c.before) Exec(c.before);
    sys::Clock::UseManual(sys::LocalTime{2026, 12, 9, 8, 15, 30, 0, 3});
    SetZentilLibraryPath(BuiltZentilPath());
    uint16_t blank, sample;
    HistogramBuffers h;
    RunInputs in = NormalRun(folder.folder(), "5", &blank, &sample, &h);
    CADOConn conn;
    XbQcState xb = LoadXbQcState(conn);
    RunResult r = PrepareRunResult(conn, in, h);
    Exec(c.lis);
    StoreRunResult(conn, in, h, xb, r);
    SetZentilLibraryPath("");
    sys::Clock::UseReal();
    ASSERT_TRUE(r.Stored());
    EXPECT_EQ(Scalar("select count(*) from Person"), "1");
    EXPECT_EQ(Scalar("select ifnull(ReferValue,'NULL') from Person"), c.group);
    EXPECT_EQ(Scalar("select Name from Person"), "Bob");
    EXPECT_EQ(Scalar("select RefText from Person").substr(0, 11), "4.00-10.00,");
    EXPECT_EQ(Scalar("select WBC from Person"), r.storedTexts[0]);
  }
}

TEST_F(ResultSaving, MissingLibraryKeepsTheCountToComputeLater) {
  // The library is absent: the count keeps its raw record and a row in which no value is a
  // number, with the count's other inputs beside it; nothing goes to X-B QC, printing or the LIS.
  sys::Clock::UseManual(sys::LocalTime{2026, 12, 9, 8, 15, 30, 0, 3});
  SetZentilLibraryPath(folder.file("libZentil.so"));
  std::vector<std::string> messages;
  SetZentilMessageHook([&](const std::string& m) { messages.push_back(m); });
  Notices n;
  n.Install();
  Exec("insert into XBQCSet (SampleNum, IsOn, Q1) values (20, 1, 1)");
  // Equal normal limits: every element of the range text is one blank.
  std::string limits;
  for (const char* c : {"WBC", "LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP", "RBC", "HGB", "MCHC", "MCH", "MCV",
                        "RDWCV", "RDWSD", "HCT", "PLT", "MPV", "PDW", "PCT", "PLCR"})
    limits += std::string(limits.empty() ? "" : ",") + c + "L=0," + c + "H=0";
  Exec("update NormalLimits set " + limits + " where Kind=0");
  // An earlier row of the sample today, with patient columns the count keeps.
  Exec("insert into Person (SampleNo, TestDate, Name, Age, ReferValue, WBC, OriginalWbc, WMARKER2) "
       "values ('12', '2026-12-09', 'Ann', 40, 'General', '6.10', 6.1, 20)");
  uint16_t blank, sample;
  HistogramBuffers h;
  RunInputs in = NormalRun(folder.folder(), "12", &blank, &sample, &h);
  in.count.wbcTimeTenths = 60;
  in.count.calibration[8] = 1.25f;   // HGB
  in.count.calibration[15] = 0.5f;   // PLT
  in.count.calibration[3] = 7.0f;    // not one the library takes
  CADOConn conn;
  XbQcState xb = LoadXbQcState(conn);
  RunResult r = ProcessRunResult(conn, in, h, xb);
  const HandOffOutcome o = HandOffResult(r, true, true, 1, ReportSnapshot{});
  SetZentilLibraryPath("");
  SetZentilMessageHook(nullptr);
  sys::Clock::UseReal();

  EXPECT_EQ(r.status, ZentilStatus::LibraryMissing);
  EXPECT_EQ(messages, std::vector<std::string>{"Load Zentil.dll failed!"});
  EXPECT_EQ(r.testData, TestDataWrite::Written);
  EXPECT_EQ(r.save, SaveStatus::Updated);
  EXPECT_EQ(r.xb, XbQcOutcome::Incomplete);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(r.shownTexts[i], "- - -") << i;
  EXPECT_FALSE(o.printed || o.sent);
  EXPECT_EQ(n.prints + n.sends, 0);
  EXPECT_EQ(n.texts, std::vector<std::string>{"No result: the algorithm library could not be used"});
  EXPECT_EQ(Scalar("select count(*) from XBQCRunResult"), "0");

  // The raw record holds the mean of the two counts.
  HistogramBuffers back;
  ASSERT_TRUE(ReadTestDataRecord(folder.folder(), "2026120912", &back));
  for (size_t i : {0u, 57u, 255u}) {
    EXPECT_FLOAT_EQ(back.wbc[i], (in.counts[0].wbc[i] + in.counts[1].wbc[i]) * 0.5f) << i;
    EXPECT_FLOAT_EQ(back.rbc[i], (in.counts[0].rbc[i] + in.counts[1].rbc[i]) * 0.5f) << i;
  }
  for (size_t i : {0u, 40u, 127u})
    EXPECT_FLOAT_EQ(back.plt[i], (in.counts[0].plt[i] + in.counts[1].plt[i]) * 0.5f) << i;

  // Every column of the row.
  std::map<std::string, std::string> texts = {
      {"SampleNo", "12"}, {"TestDate", "2026-12-09"}, {"TestTime", "08:15:30"}, {"Name", "Ann"},
      {"Sex", "<null>"}, {"Age", "40"}, {"AgeUnit", "<null>"}, {"BloodType", "Whole blood"},
      {"ReferValue", "General"}, {"MedicalNo", "<null>"}, {"BedNo", "<null>"}, {"Dept", "<null>"},
      {"Sender", "<null>"}, {"Scrutator", "<null>"}, {"Checker", "<null>"}, {"Warning", ""},
      {"WBCUnit", "10^9/L"}, {"RBCUnit", "10^12/L"}, {"HGBUnit", "g/L"}, {"MCHCUnit", "g/L"},
      {"HCTUnit", "%"}, {"PLTUnit", "10^9/L"}, {"PCTUnit", "%"}, {"Abnormal", "0"},
      {"CountInputs", "time=08:15:30 mode=0 wbct=60 hgb=" + std::to_string(blank) + "/" + std::to_string(sample) +
                          " f=1,1.25,1,1,0.5,1 stars=000"}};
  std::string refText;
  for (const char* c : {"WBC", "LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP", "RBC", "HGB", "MCHC", "MCH", "MCV",
                        "RDWCV", "RDWSD", "HCT", "PLT", "MPV", "PDW", "PCT", "PLCR"}) {
    texts[c] = "- - -";
    refText += " ,";
  }
  texts["RefText"] = refText;
  // No WBC and no lines were computed: the numbers read as none.
  const std::map<std::string, double> numbers = {
      {"OriginalWbc", 0.0}, {"WMARKER2", 0.0}, {"WMARKER3", 0.0}, {"PMARKER1", 0.0}, {"PMARKER2", 0.0}};
  std::stringstream names(Scalar("select group_concat(name, ',') from pragma_table_info('Person')"));
  std::string column;
  size_t seen = 0;
  while (std::getline(names, column, ',')) {
    ++seen;
    const std::string stored = support::QueryText("select " + column + " from Person where SampleNo='12'", "<null>");
    if (numbers.count(column)) {
      EXPECT_EQ(std::atof(stored.c_str()), numbers.at(column)) << column << " " << stored;
    } else if (texts.count(column)) {
      EXPECT_EQ(stored, texts[column]) << column;
    } else {
      ADD_FAILURE() << "no expectation for column " << column << " (stored " << stored << ")";
    }
  }
  EXPECT_EQ(seen, texts.size() + numbers.size());
  EXPECT_EQ(Scalar("select count(*) from Person"), "1");
}

TEST_F(ResultSaving, AStoredRowAlwaysHasItsRawRecord) {
  // Every durable operation of a result's saving fails in turn (the raw data files, the data
  // store and its journal): whatever fails, a Person row that exists has its histograms in
  // TD.dat, and a row counts as stored exactly when it is there. The same holds for a count the
  // library could not compute, which is kept in the same order.
  sys::Clock::UseManual(sys::LocalTime{2026, 12, 9, 8, 15, 30, 0, 3});
  for (const std::string& library : {BuiltZentilPath(), folder.file("absent/libZentil.so")}) {
    SetZentilLibraryPath(library);
    const std::string dir = folder.folder();
    auto reset = [&] {
      Exec("delete from Person");
      std::filesystem::remove(folder.file("TD.dat"));
      std::filesystem::remove(folder.file("TDI.dat"));
    };
    float expectedWbc100 = 0.0f;
    bool stored = false;
    auto action = [&](std::string* error) {
      uint16_t blank, sample;
      HistogramBuffers h;
      RunInputs in = NormalRun(dir, "12", &blank, &sample, &h);
      expectedWbc100 = (in.counts[0].wbc[100] + in.counts[1].wbc[100]) * 0.5f;
      CADOConn conn;
      XbQcState xb = LoadXbQcState(conn);
      const RunResult r = ProcessRunResult(conn, in, h, xb);
      *error = r.saveError;
      stored = r.Stored();
      return stored;
    };
    auto check = [&](const std::string& where, bool ok, const std::string&) {
      const bool rowThere = Scalar("select count(*) from Person where SampleNo='12' and TestDate='2026-12-09'") == "1";
      EXPECT_EQ(rowThere, ok) << where;
      if (!rowThere) return;
      HistogramBuffers back;
      ASSERT_TRUE(ReadTestDataRecord(dir, "2026120912", &back)) << where;
      EXPECT_FLOAT_EQ(back.wbc[100], expectedWbc100) << where;
    };
    support::EachStepFailing(reset, action, check);
  }
  SetZentilLibraryPath("");
  sys::Clock::UseReal();
}

TEST_F(ResultSaving, RawRecordThatCannotBeWrittenStoresNoRow) {
  sys::Clock::UseManual(sys::LocalTime{2026, 12, 9, 8, 15, 30, 0, 3});
  SetZentilLibraryPath(BuiltZentilPath());
  Notices n;
  struct Case {
    const char* name;
    const char* file;
    sys::IoOp op;
  };
  const Case cases[] = {{"data write", "TD.dat", sys::IoOp::Write},
                        {"data flush", "TD.dat", sys::IoOp::Sync},
                        {"index write", "TDI.dat", sys::IoOp::Write},
                        {"index flush", "TDI.dat", sys::IoOp::Sync}};
  for (const Case& c : cases) {
    Exec("delete from Person");
    std::filesystem::remove(folder.file("TD.dat"));
    std::filesystem::remove(folder.file("TDI.dat"));
    n.texts.clear();
    uint16_t blank, sample;
    HistogramBuffers h;
    RunInputs in = NormalRun(folder.folder(), "12", &blank, &sample, &h);
    CADOConn conn;
    XbQcState xb = LoadXbQcState(conn);
    RunResult r;
    {
      support::IoFaults faults;
      faults.Add({c.op, c.file, 1, support::IoFaults::Error(ENOSPC), -1});
      r = ProcessRunResult(conn, in, h, xb);
    }
    EXPECT_EQ(r.save, SaveStatus::Failed) << c.name;
    EXPECT_FALSE(r.Stored()) << c.name;
    // The error names the file that failed.
    EXPECT_EQ(r.saveError.rfind(std::string(c.file) + ": ", 0), 0u) << c.name << ": " << r.saveError;
    EXPECT_EQ(Scalar("select count(*) from Person"), "0") << c.name;
    EXPECT_EQ(r.xb, XbQcOutcome::Failed) << c.name;
    EXPECT_EQ(n.texts, std::vector<std::string>{"The result could not be saved; it is not printed or sent"}) << c.name;
  }
  SetZentilLibraryPath("");
  sys::Clock::UseReal();
}
