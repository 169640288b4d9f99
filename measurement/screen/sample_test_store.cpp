#include "measurement/screen/sample_test_store.h"

#include <algorithm>

#include "core/ado_conn.h"
#include "core/field_read.h"
#include "core/param_order.h"
#include "measurement/screen/sample_globals.h"

namespace measurement {

void LoadScreenUnitTexts(CADOConn& conn, std::string units[20]) {
  DefaultUnitTexts(units);
  RecordsetPtr& rs = conn.OpenRecordset("Select * from ParasUnit");
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    std::string u;
    if (ReadField(*rs, "WBC", u)) units[0] = units[1] = units[2] = units[3] = u;
    if (ReadField(*rs, "RBC", u)) units[7] = u;
    if (ReadField(*rs, "HGB", u)) units[8] = u;
    if (ReadField(*rs, "HCT", u)) units[9] = u;
    if (ReadField(*rs, "MCHC", u)) units[12] = u;
    if (ReadField(*rs, "PLT", u)) units[15] = u;
    if (ReadField(*rs, "PCT", u)) units[18] = u;
  }
  conn.CloseRecordset();
}

int NextSampleNumberOf(CADOConn& conn, const std::string& testDate) {
  RecordsetPtr& rs =
      conn.OpenRecordset("Select max(CAST(SampleNo AS INTEGER)) from Person where TestDate = '" + testDate + "'");
  int64_t largest = 0;
  if (conn.RecordsetOpen() && HasRows(*rs)) ReadField(*rs, 0, largest);
  conn.CloseRecordset();
  return static_cast<int>(std::min<int64_t>(largest + 1, 99999999));
}

LisPortIndexes LoadLisPortIndexes(CADOConn& conn) {
  LisPortIndexes p;
  RecordsetPtr& rs = conn.OpenRecordset("Select * from CommSet");
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    ReadField(*rs, "Bauds", p.baud);
    ReadField(*rs, "DataBits", p.bits);
    ReadField(*rs, "Parity", p.parity);
    ReadField(*rs, "StopBits", p.stop);
  }
  conn.CloseRecordset();
  return p;
}

}  // namespace measurement
