#include "measurement/count_settings.h"

#include <cstdio>

#include "core/ado_conn.h"
#include "core/field_read.h"
#include "core/param_order.h"

namespace measurement {

bool ReadCountTimes(CADOConn& conn, uint8_t* wbc, uint8_t* rbc) {
  RecordsetPtr& rs = conn.OpenRecordset("Select * from EngineeringAdjust");
  bool both = false;
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    const bool w = ReadField(*rs, "WBCTIME", *wbc);
    const bool r = ReadField(*rs, "RBCTIME", *rbc);
    both = w && r;
  }
  conn.CloseRecordset();
  return both;
}

void LoadCalibrationFactors(CADOConn& conn, int bloodMode, float factors[20]) {
  for (int i = 0; i < 20; ++i) factors[i] = 1.0f;
  char sql[64];
  std::snprintf(sql, sizeof sql, "Select * from CalibrationCoef where BloodType=%d", bloodMode);
  RecordsetPtr& rs = conn.OpenRecordset(sql);
  if (conn.RecordsetOpen() && HasRows(*rs))
    for (int i = 0; i < 20; ++i) ReadField(*rs, 1 + i, factors[i]);
  conn.CloseRecordset();
  ReorderParamsForDisplay(factors);
}

}  // namespace measurement
