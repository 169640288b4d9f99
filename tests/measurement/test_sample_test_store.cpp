// What the test screen reads from the store when it opens, without a window.
#include <gtest/gtest.h>

#include "core/ado_conn.h"
#include "measurement/screen/sample_globals.h"
#include "measurement/screen/sample_test_store.h"
#include "printing/print_items.h"
#include "program_folder.h"

using namespace measurement;

namespace {

TEST(SampleTestStore, NextSampleNumberOfTheDay) {
  MeasurementFolder folder;
  CADOConn conn;
  EXPECT_EQ(NextSampleNumberOf(conn, "2026-12-09"), 1);
  Exec("insert into Person(SampleNo, TestDate) values('5','2026-12-09'),('12','2026-12-09'),('7','2026-12-09'),"
       "('99','2026-12-08')");
  EXPECT_EQ(NextSampleNumberOf(conn, "2026-12-09"), 13);  // numbers, not texts: 12 above 7
  EXPECT_EQ(NextSampleNumberOf(conn, "2026-12-08"), 100);
  Exec("insert into Person(SampleNo, TestDate) values('99999999','2026-12-10')");
  EXPECT_EQ(NextSampleNumberOf(conn, "2026-12-10"), 99999999);
}

TEST(SampleTestStore, UnitTextsOverTheDefaults) {
  MeasurementFolder folder;
  Exec("update ParasUnit set WBC='W', RBC='R', HGB='H', HCT='T', MCHC='M', PLT='P', PCT='C'");
  CADOConn conn;
  std::string units[20], defaults[20];
  LoadScreenUnitTexts(conn, units);
  DefaultUnitTexts(defaults);
  struct Case {
    int row;
    const char* unit;
  } cases[] = {{0, "W"}, {1, "W"}, {2, "W"}, {3, "W"}, {7, "R"}, {8, "H"}, {9, "T"}, {12, "M"}, {15, "P"}, {18, "C"}};
  bool fromRow[20] = {};
  for (const Case& c : cases) {
    EXPECT_EQ(units[c.row], c.unit) << c.row;
    fromRow[c.row] = true;
  }
  for (int i = 0; i < 20; ++i)
    if (!fromRow[i]) {
      EXPECT_EQ(units[i], defaults[i]) << i;
    }
  Exec("delete from ParasUnit");
  LoadScreenUnitTexts(conn, units);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(units[i], defaults[i]) << i;
}

TEST(SampleTestStore, LisPortIndexesAndDefaultPrintItems) {
  MeasurementFolder folder;
  CADOConn conn;
  Exec("delete from CommSet");
  LisPortIndexes none = LoadLisPortIndexes(conn);
  EXPECT_EQ(none.baud, 0);
  EXPECT_EQ(none.bits, 3);
  EXPECT_EQ(none.parity, 0);
  EXPECT_EQ(none.stop, 0);
  Exec("insert into CommSet values (2, 1, 3, 1)");
  const LisPortIndexes p = LoadLisPortIndexes(conn);
  EXPECT_EQ(p.baud, 2);
  EXPECT_EQ(p.bits, 1);
  EXPECT_EQ(p.parity, 3);
  EXPECT_EQ(p.stop, 1);

  uint8_t flags[20];
  std::fill(flags, flags + 20, 7);
  EXPECT_TRUE(LoadDefaultPrintItems(conn, flags));
  for (int i = 0; i < 20; ++i) EXPECT_EQ(flags[i], 1) << i;  // the delivered default prints everything
  Exec("update PrintItemsSet set IsDefault = 0");
  std::fill(flags, flags + 20, 7);
  EXPECT_FALSE(LoadDefaultPrintItems(conn, flags));
  EXPECT_EQ(flags[0], 7);
}

}  // namespace
