#include "measurement/sample_number.h"

#include <cstdio>

#include "core/ado_conn.h"
#include "core/field_read.h"
#include "core/person_row.h"

namespace measurement {

SampleNumberChoice ChooseSampleNumber(uint32_t counter, bool retestRequested, bool numberEntered,
                                      const std::function<bool(uint32_t)>& hasResult,
                                      const std::function<ExistingSampleAnswer(uint32_t)>& ask) {
  SampleNumberChoice c;
  c.counter = counter;
  if (retestRequested || numberEntered) return c;
  auto next = [&c] { return c.counter < kLastSampleNo ? c.counter + 1 : kLastSampleNo; };
  while (hasResult(next())) {
    switch (ask(next())) {
      case ExistingSampleAnswer::Skip:
        if (next() == kLastSampleNo) {
          // No number above the highest: no count rather than one whose result is lost.
          c.counter -= static_cast<uint32_t>(c.skipped);
          c.skipped = 0;
          c.start = false;
          c.noNumberLeft = true;
          return c;
        }
        ++c.counter;
        ++c.skipped;
        continue;
      case ExistingSampleAnswer::Overwrite:
        return c;
      case ExistingSampleAnswer::Cancel:
        c.counter -= static_cast<uint32_t>(c.skipped);
        c.skipped = 0;
        c.start = false;
        return c;
    }
  }
  return c;
}

bool SampleHasResult(CADOConn& conn, uint32_t sampleNo, const std::string& testDate) {
  RecordsetPtr& rs = conn.OpenRecordset(SelectPersonSql(std::to_string(sampleNo), testDate));
  std::string wbc;
  const bool has = conn.RecordsetOpen() && HasRows(*rs) && ReadField(*rs, "WBC", wbc);
  conn.CloseRecordset();
  return has;
}

std::string ExistingSampleQuestion(uint32_t sampleNo) {
  char text[160];
  std::snprintf(text, sizeof text, "Sample %u existed, if retest, new result will cover previous result,skip?",
                sampleNo);
  return text;
}

}  // namespace measurement
