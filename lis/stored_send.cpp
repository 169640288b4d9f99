#include "lis/stored_send.h"

#include <atomic>

#include "core/ado_conn.h"
#include "core/field_read.h"
#include "lis/hl7_messages.h"
#include "lis/stored_items.h"
#include "lis/text_cut.h"
#include "platform/sys/clock.h"

namespace lis {
namespace {
std::atomic<int> g_pauseMs{50};
std::atomic<int> g_replyWaitMs{10000};
}

void SetReplyWaitMs(int ms) { g_replyWaitMs = ms > 0 ? ms : 10000; }
int ReplyWaitMs() { return g_replyWaitMs.load(); }

void SetWalkPauseMs(int ms) { g_pauseMs = ms < 0 ? 0 : ms; }
int WalkPauseMs() { return g_pauseMs.load(); }

QcMessageRecord QcRecordFor(QcKind kind, int qcFileNo, const QcRun& run) {
  QcMessageRecord r;
  if (kind != QcKind::XB) r.identity1 = std::to_string(qcFileNo);
  r.runTime = CutChars(run.date + " " + run.time, 20);
  for (int i = 0; i < 20; ++i) r.results[i] = CutChars(run.values[i], 15);
  return r;
}

std::string QcAllSql(QcKind kind, int qcFileNo) {
  switch (kind) {
    case QcKind::LeveyJennings: return "Select * from LJQCRunResult where QcFileNo = " + std::to_string(qcFileNo);
    case QcKind::XB: return "Select * from XBQCRunResult";
    case QcKind::XR: return "select * from XRQCRunResult where QcFileNo = " + std::to_string(qcFileNo);
  }
  return std::string();
}

LisMessage BuildQcResultFor(QcKind kind, const QcMessageRecord& r) {
  switch (kind) {
    case QcKind::LeveyJennings: return BuildLjQcResultMessage(r);
    case QcKind::XB: return BuildXbQcResultMessage(r);
    case QcKind::XR: return BuildXrQcResultMessage(r);
  }
  return LisMessage{};
}

BatchResult SendStoredSamples(CADOConn& conn, const std::vector<StoredSampleKey>& keys, int language,
                              const SendProgress& progress) {
  BatchResult b;
  b.total = static_cast<int>(keys.size());
  UnitTable units;
  int done = 0;
  for (const StoredSampleKey& k : keys) {
    SampleProfileRecord p;
    SampleResultTexts t;
    RecordsetPtr& rs = conn.OpenRecordset(PersonKeySql(k.sampleNo, k.testDate));
    const bool found = conn.RecordsetOpen() && HasRows(*rs);
    const bool kept = found && RowKeptForComputation(*rs);
    if (found && !kept) {
      ProfileFromRow(*rs, language, &p);
      TextsFromRow(*rs, units, &t);
    }
    conn.CloseRecordset();
    if (!found) {
      ++b.skipped;
    } else if (kept) {
      b.notComputed.push_back(k.sampleNo);
    } else {
      b.last = SendLisMessage(BuildSampleResult(p, t), ReplyWaitMs());
      if (!b.last.delivered()) break;
      ++b.delivered;
    }
    ++done;
    if (progress) progress(done, b.total);
    if (WalkPauseMs() > 0) sys::Clock::SleepMs(WalkPauseMs());
  }
  return b;
}

BatchResult SendStoredQcRuns(CADOConn& conn, QcKind kind, int qcFileNo, const SendProgress& progress) {
  BatchResult b;
  std::vector<QcRun> runs;
  RecordsetPtr& rs = conn.OpenRecordset(QcAllSql(kind, qcFileNo));
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    while (!rs->IsEOF()) {
      QcRun run;
      ReadField(*rs, "TestDate", run.date);
      ReadField(*rs, "TestTime", run.time);
      for (int i = 0; i < 20; ++i) {
        double v = -1;
        ReadField(*rs, kParamColumns[i], v);
        run.values[i] = QcValueText(v, false);
      }
      runs.push_back(run);
      if (!rs->MoveNext()) break;
    }
  }
  conn.CloseRecordset();
  b.total = static_cast<int>(runs.size());
  int done = 0;
  for (const QcRun& run : runs) {
    b.last = SendLisMessage(BuildQcResultFor(kind, QcRecordFor(kind, qcFileNo, run)), ReplyWaitMs());
    if (!b.last.delivered()) break;
    ++b.delivered;
    ++done;
    if (progress) progress(done, b.total);
    if (WalkPauseMs() > 0) sys::Clock::SleepMs(WalkPauseMs());
  }
  return b;
}

}  // namespace lis
