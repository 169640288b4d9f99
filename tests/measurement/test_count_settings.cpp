// Counting times and calibration factors read for a count.
#include <gtest/gtest.h>

#include "core/ado_conn.h"
#include "measurement/count_settings.h"
#include "program_folder.h"

using namespace measurement;

TEST(CountSettings, CountTimesKeepTheLastValueForNull) {
  MeasurementFolder folder;
  CADOConn conn;
  uint8_t w = 1, r = 2;
  EXPECT_TRUE(ReadCountTimes(conn, &w, &r));
  EXPECT_EQ(w, 50);
  EXPECT_EQ(r, 10);
  Exec("update EngineeringAdjust set WBCTIME=105, RBCTIME=NULL");
  EXPECT_FALSE(ReadCountTimes(conn, &w, &r));
  EXPECT_EQ(w, 105);
  EXPECT_EQ(r, 10);
}

TEST(CountSettings, CalibrationFactorsInScreenOrder) {
  MeasurementFolder folder;
  Exec("update CalibrationCoef set WBC=1.1, MCHC=1.2, HCT=1.3, MCV=0.9, PLT=0.95 where BloodType=2");
  CADOConn conn;
  float f[20];
  LoadCalibrationFactors(conn, 2, f);
  EXPECT_FLOAT_EQ(f[0], 1.1f);
  EXPECT_FLOAT_EQ(f[9], 1.3f);   // HCT
  EXPECT_FLOAT_EQ(f[10], 0.9f);  // MCV
  EXPECT_FLOAT_EQ(f[12], 1.2f);  // MCHC
  EXPECT_FLOAT_EQ(f[15], 0.95f);
  Exec("delete from CalibrationCoef where BloodType=1");
  LoadCalibrationFactors(conn, 1, f);
  for (float v : f) EXPECT_EQ(v, 1.0f);
}
