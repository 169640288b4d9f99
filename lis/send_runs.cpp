#include "lis/send_runs.h"

#include <cstring>

#include "analyzer/serial_port.h"
#include "controls/grid/grid_ctrl.h"
#include "core/ado_conn.h"
#include "core/field_read.h"
#include "core/lis_link_state.h"
#include "core/param_order.h"
#include "core/sys_log.h"
#include "lis/hl7_messages.h"
#include "lis/send_texts.h"
#include "lis/stored_items.h"
#include "lis/stored_send.h"
#include "lis/text_cut.h"
#include "lis/text_records.h"
#include "measurement/raw_files.h"
#include "measurement/zentil_call.h"
#include "platform/sys/clock.h"
#include "platform/sys/program_dir.h"

namespace lis {
namespace {

void Pause(int ms) {
  if (ms > 0) sys::Clock::SleepMs(ms);
}

void Begin(const SendContext& c, int upper) {
  c.panel->EnableSend(false);
  c.panel->SetProgressRange(upper);
  c.panel->SetProgress(0);
  c.panel->SetStatus(LisText(SendText::Sending, c.language));
}

std::string NotComputedText(const RunOutcome& o, int language) {
  std::string text = LisText(SendText::NotComputedLeftOut, language);
  for (size_t i = 0; i < o.notComputed.size(); ++i) text += (i ? ", " : "") + o.notComputed[i];
  return text;
}

// Rows of counts not computed yet were left out of the walk: the operator is told which (a
// warning box, and the status at the end) and the system log keeps it.
void NoteNotComputed(const SendContext& c, const RunOutcome& o) {
  if (o.notComputed.empty()) return;
  const std::string text = NotComputedText(o, c.language);
  c.panel->Message(text, 2);
  WriteSysLog(*c.conn, LisText(SendText::LogEvent, c.language), text);
}

// The end of every walk: Send and Exit back, and the status says how it went: "Finished" only
// when everything went out.
void End(const SendContext& c, RunOutcome& o) {
  NoteNotComputed(c, o);
  c.panel->EnableSend(true);
  c.panel->EnableExit(true);
  c.panel->SetSendCaption(LisText(SendText::SendAgain, c.language));
  if (o.finished) {
    c.panel->SetStatus(LisText(SendText::Finished, c.language));
    return;
  }
  std::string why = SendOutcomeText(o.last, c.language);
  if (o.last.outcome == SendOutcome::NotConnected || o.last.outcome == SendOutcome::LinkLost)
    why = LisText(SendText::LinkLost, c.language);
  if (!o.notSent.empty()) why = LisText(SendText::NotTakenFrom, c.language) + o.notSent;
  if (why.empty() && !o.notComputed.empty()) why = NotComputedText(o, c.language);
  if (why.empty()) why = LisText(SendText::Stopped, c.language);
  c.panel->SetStatus(why);
}

bool HasSelection(const SendContext& c) { return c.grid && c.grid->IsValidRange(c.grid->GetSelectedCellRange()); }

// Sends one message of a walk and says whether the walk goes on.
bool Exchange(const SendContext& c, const LisMessage& m, RunOutcome& o) {
  o.last = SendLisMessage(m, ReplyWaitMs());
  if (o.last.delivered()) {
    ++o.sent;
    return true;
  }
  if (o.last.outcome == SendOutcome::NoReply) c.panel->Message(LisText(SendText::Timeout, c.language), 3);
  return false;
}

}  // namespace

int BloodTypeCode(const std::string& t) {
  static const char* const peripheral[] = {"抗凝末梢血", "Peripheral blood", "Sangre periferica", "Sang peripherique",
                                           "Капілярна кров"};
  static const char* const prediluted[] = {"预稀释末梢血", "Pre-diluted blood", "Sangre Pre-diluida", "Sang pre dilue",
                                           "Передрозвед. кап. кров"};
  for (const char* p : peripheral)
    if (t == p) return 1;
  for (const char* p : prediluted)
    if (t == p) return 2;
  return 0;
}

RunOutcome SendSamplesNetwork(const SendContext& c) {
  RunOutcome o;
  UnitTable units;
  if (c.scope == 0) {
    if (!HasSelection(c)) {
      c.panel->Message(LisText(SendText::NoDataSelected, c.language), 1);
      c.panel->EnableExit(true);
      return o;
    }
    const std::vector<int> cols = c.grid->GetSortedPickedColumns();
    o.items = static_cast<int>(cols.size());
    Begin(c, o.items);
    int done = 0;
    bool stopped = false;
    for (int col : cols) {
      const std::string no = c.grid->GetItemText(0, col);
      if (no.empty()) {
        o.items = o.sent;  // an empty sample number ends the list: what came before went out
        break;
      }
      if (c.grid->GetItemText(3, col).empty()) {
        --o.items;
        c.panel->SetProgress(++done);
        continue;
      }
      SampleProfileRecord p;
      SampleResultTexts t;
      p.sampleNo = CutChars(no, 50);
      RecordsetPtr& rs = c.conn->OpenRecordset(PersonKeySql(no, c.grid->GetItemText(1, col)));
      bool kept = false;
      if (c.conn->RecordsetOpen() && HasRows(*rs)) {
        kept = RowKeptForComputation(*rs);
        ProfileFromRow(*rs, c.language, &p);
        UnitsAndRangesFromRow(*rs, units, &t);
      } else {
        ApplyUnits(units, &t);
      }
      c.conn->CloseRecordset();
      if (kept) {
        o.notComputed.push_back(no);
        c.panel->SetProgress(++done);
        continue;
      }
      std::string cells[20];
      for (int i = 0; i < 20; ++i) cells[i] = c.grid->GetItemText(3 + i, col);
      ReorderParamTextsForStore(cells);
      for (int i = 0; i < 20; ++i) SplitResultText(cells[i], &t.values[i], &t.flags[i]);
      if (!Exchange(c, BuildSampleResult(p, t), o)) {
        stopped = true;
        break;
      }
      c.panel->SetProgress(++done);
      Pause(WalkPauseMs());
    }
    o.finished = !stopped && o.sent == o.items && o.notComputed.empty();
  } else {
    std::vector<StoredSampleKey> keys;
    RecordsetPtr& rs = c.conn->OpenRecordset("Select SampleNo, TestDate from Person");
    if (c.conn->RecordsetOpen() && HasRows(*rs)) {
      while (!rs->IsEOF()) {
        StoredSampleKey k;
        ReadField(*rs, "SampleNo", k.sampleNo);
        ReadField(*rs, "TestDate", k.testDate);
        keys.push_back(k);
        if (!rs->MoveNext()) break;
      }
    }
    c.conn->CloseRecordset();
    o.items = static_cast<int>(keys.size());
    Begin(c, o.items);
    BatchResult b = SendStoredSamples(*c.conn, keys, c.language, [&](int done, int) { c.panel->SetProgress(done); });
    o.sent = b.delivered;
    o.last = b.last;
    o.notComputed = b.notComputed;
    o.finished = b.complete();
    if (b.last.outcome == SendOutcome::NoReply) c.panel->Message(LisText(SendText::Timeout, c.language), 3);
  }
  End(c, o);
  return o;
}

RunOutcome SendQcNetwork(const SendContext& c, QcKind kind) {
  RunOutcome o;
  if (c.scope == 0) {
    if (!HasSelection(c)) return o;
    const std::vector<int> cols = c.grid->GetSortedPickedColumns();
    o.items = static_cast<int>(cols.size());
    Begin(c, o.items);
    bool stopped = false;
    int done = 0;
    for (int col : cols) {
      QcRun run;
      run.date = c.grid->GetItemText(1, col);
      run.time = c.grid->GetItemText(2, col);
      for (int i = 0; i < 20; ++i) run.values[i] = c.grid->GetItemText(3 + i, col);
      ReorderParamTextsForStore(run.values);
      c.panel->SetProgress(++done);
      if (!Exchange(c, BuildQcResultFor(kind, QcRecordFor(kind, c.qcFileNo, run)), o)) {
        stopped = true;
        break;
      }
      Pause(WalkPauseMs());
    }
    o.finished = !stopped;
  } else {
    Begin(c, 0);
    BatchResult b = SendStoredQcRuns(*c.conn, kind, c.qcFileNo, [&](int done, int total) {
      c.panel->SetProgressRange(total);
      c.panel->SetProgress(done);
    });
    o.items = b.total;
    o.sent = b.delivered;
    o.last = b.last;
    o.finished = b.complete();
    if (b.last.outcome == SendOutcome::NoReply) c.panel->Message(LisText(SendText::Timeout, c.language), 3);
  }
  End(c, o);
  return o;
}

namespace {

struct SerialSample {
  std::string sampleNo, testDate;
  int bloodMode = 0;
  std::string warning;
  float markers[4] = {0, 0, 0, 0};  // WMARKER2, WMARKER3, PMARKER1, PMARKER2
  bool hasRow = false;
  bool kept = false;  // the row holds a count not computed yet
};

// Reads the current Person row into the record fields and the pass-2 facts.
void ReadSerialRow(db::Recordset& rs, int language, UnitTable& units, SampleRecordFields& f, SerialSample& s) {
  ReadField(rs, "TestDate", f.testDate);
  ReadField(rs, "TestTime", f.testTime);
  ReadField(rs, "Name", f.name);
  ReadField(rs, "Sex", f.sex);
  uint8_t age = 0;
  ReadField(rs, "Age", age);
  f.age = std::to_string(age);
  ReadField(rs, "AgeUnit", f.ageUnit);
  f.ageUnit = SerialAgeUnit(f.ageUnit, language);
  std::string blood;
  if (ReadField(rs, "BloodType", blood)) {
    f.sampleType = blood;
    s.bloodMode = BloodTypeCode(blood);
  } else {
    f.sampleType = WholeBloodText(language);
  }
  std::string group;
  f.group = ReadField(rs, "ReferValue", group) ? group : GeneralGroupText(language);
  ReadField(rs, "MedicalNo", f.medicalNo);
  ReadField(rs, "BedNo", f.bedNo);
  ReadField(rs, "Dept", f.dept);
  ReadField(rs, "Sender", f.sender);
  ReadField(rs, "Scrutator", f.scrutator);
  ReadField(rs, "Checker", f.checker);
  ReadField(rs, "Warning", s.warning);
  const char* markers[4] = {"WMARKER2", "WMARKER3", "PMARKER1", "PMARKER2"};
  for (int i = 0; i < 4; ++i) ReadField(rs, markers[i], s.markers[i]);
  units.TakeFrom(rs);
  for (int i = 0; i < 20; ++i) f.units[i] = units.units[i];
  s.hasRow = true;
  s.kept = RowKeptForComputation(rs);
}

// Pass 2 of one sample: its histograms recomputed from the raw data, three "W," and one "M,".
bool SendHistograms(const SendContext& c, const SerialSample& s, uint8_t wbcTime) {
  measurement::HistogramBuffers h;
  const std::string folder = sys::ProgramFile("");
  if (!measurement::ReadTestDataRecord(folder, measurement::TestDataKey(s.testDate, s.sampleNo), &h)) return true;
  measurement::CountInputs in;
  in.wbcTimeTenths = wbcTime;
  {
    RecordsetPtr& rs = c.conn->OpenRecordset("Select * from CalibrationCoef where BloodType=" + std::to_string(s.bloodMode));
    if (c.conn->RecordsetOpen() && HasRows(*rs)) {
      float f[20];
      for (int i = 0; i < 20; ++i) {
        f[i] = 1.0f;
        ReadField(*rs, i + 1, f[i]);
      }
      ReorderParamsForDisplay(f);
      std::memcpy(in.calibration, f, sizeof f);
    }
    c.conn->CloseRecordset();
  }
  static AlgorithmInput input;
  static AlgorithmResult result;
  measurement::FillAlgorithmInput(input, in, h);
  std::memset(&result, 0, sizeof result);
  measurement::CallAlgorithmMain(result, input);
  const float wbcLine4 = (result.WbcLines[3] + 1) * 1.5625f;
  const float rbcLine2 = (result.RbcUpper + 1) * 0.9765625f;
  bool ok = true;
  Pause(200);
  ok = ok && QueueRecord(*c.port, HistogramRecord(s.sampleNo, s.testDate, 1, {15.0f, s.markers[0], s.markers[1], wbcLine4},
                                                  result.WbcCurve, 256).WithChecksum(c.language));
  Pause(200);
  ok = ok && QueueRecord(*c.port, HistogramRecord(s.sampleNo, s.testDate, 2, {25.0f, rbcLine2}, result.RbcCurve, 256)
                                      .WithChecksum(c.language));
  Pause(200);
  ok = ok && QueueRecord(*c.port, HistogramRecord(s.sampleNo, s.testDate, 3, {s.markers[2], s.markers[3]}, result.PltCurve, 128)
                                      .WithChecksum(c.language));
  Pause(100);
  ok = ok && QueueRecord(*c.port, WarningRecord(s.warning).Plain(c.language));
  Pause(100);
  return ok;
}

}  // namespace

RunOutcome SendSamplesSerial(const SendContext& c) {
  RunOutcome o;
  if (c.scope == 0 && !HasSelection(c)) {
    c.panel->Message(LisText(SendText::NoDataSelected, c.language), 1);
    c.panel->EnableExit(true);
    return o;
  }
  // The histograms are recomputed by the algorithm library: without it nothing is sent.
  if (CallZentilEntry(measurement::ZentilLibraryPath(), "AlgorithmMain", [](void*) {}) ==
      ZentilCallStatus::LibraryMissing) {
    c.panel->Message(LisText(SendText::LoadZentilFailed, c.language), 3);
    c.panel->EnableExit(true);
    o.last.outcome = SendOutcome::SendFailed;
    return o;
  }
  uint8_t wbcTime = 50;
  {
    RecordsetPtr& rs = c.conn->OpenRecordset("Select * from EngineeringAdjust");
    if (c.conn->RecordsetOpen() && HasRows(*rs)) ReadField(*rs, "WBCTIME", wbcTime);
    c.conn->CloseRecordset();
  }
  // The samples, each with its "R," record built and its pass-2 facts.
  std::vector<std::pair<std::string, SerialSample>> samples;
  UnitTable units;
  if (c.scope == 0) {
    for (int col : c.grid->GetSortedPickedColumns()) {
      SampleRecordFields f;
      SerialSample s;
      f.sampleNo = s.sampleNo = c.grid->GetItemText(0, col);
      if (f.sampleNo.empty()) break;
      if (c.grid->GetItemText(3, col).empty()) continue;
      s.testDate = c.grid->GetItemText(1, col);
      RecordsetPtr& rs = c.conn->OpenRecordset(PersonKeySql(s.sampleNo, s.testDate));
      if (c.conn->RecordsetOpen() && HasRows(*rs)) ReadSerialRow(*rs, c.language, units, f, s);
      else for (int i = 0; i < 20; ++i) f.units[i] = units.units[i];
      c.conn->CloseRecordset();
      f.testDate = s.testDate;
      if (s.kept) {
        o.notComputed.push_back(s.sampleNo);
        continue;
      }
      std::string cells[20];
      for (int i = 0; i < 20; ++i) cells[i] = c.grid->GetItemText(3 + i, col);
      ReorderParamTextsForStore(cells);
      for (int i = 0; i < 20; ++i) f.values[i] = CleanResultText(cells[i]);
      samples.emplace_back(SampleRecord(f).WithChecksum(c.language), s);
    }
  } else {
    RecordsetPtr& rs = c.conn->OpenRecordset("Select * from Person");
    if (c.conn->RecordsetOpen() && HasRows(*rs)) {
      while (!rs->IsEOF()) {
        SampleRecordFields f;
        SerialSample s;
        ReadField(*rs, "SampleNo", s.sampleNo);
        f.sampleNo = s.sampleNo;
        ReadSerialRow(*rs, c.language, units, f, s);
        s.testDate = f.testDate;
        bool complete = true;
        for (int i = 0; i < 20; ++i) {
          std::string v;
          if (!ReadField(*rs, kParamColumns[i], v)) complete = false;
          f.values[i] = CleanResultText(v);
        }
        if (complete && s.kept) o.notComputed.push_back(s.sampleNo);
        else if (complete) samples.emplace_back(SampleRecord(f).WithChecksum(c.language), s);
        if (!rs->MoveNext()) break;
      }
    }
    c.conn->CloseRecordset();
  }
  o.items = static_cast<int>(samples.size());
  Begin(c, 2 * o.items);
  int progress = 0;
  bool ok = true;
  for (auto& [record, s] : samples) {
    if (!(ok = QueueRecord(*c.port, record))) {
      o.notSent = s.sampleNo + " " + s.testDate;
      break;
    }
    c.panel->SetProgress(++progress);
    Pause(50);
  }
  if (ok && !(ok = QueueRecord(*c.port, kTransferFinish))) o.notSent = kTransferFinish;
  for (auto& [record, s] : samples) {
    if (!ok) break;
    if (!(ok = SendHistograms(c, s, wbcTime))) o.notSent = s.sampleNo + " " + s.testDate;
    c.panel->SetProgress(++progress);
  }
  if (ok && !(ok = QueueRecord(*c.port, kTransferFinish))) o.notSent = kTransferFinish;
  o.sent = ok ? o.items : 0;
  o.finished = ok && o.notComputed.empty();
  o.last.outcome = ok ? SendOutcome::Sent : SendOutcome::SendFailed;
  End(c, o);
  return o;
}

RunOutcome SendQcSerial(const SendContext& c, QcKind kind) {
  RunOutcome o;
  const char* prefix = kind == QcKind::LeveyJennings ? "LJR" : kind == QcKind::XB ? "XBR" : "XRR";
  const std::string file = std::to_string(c.qcFileNo);
  const std::string* fileField = kind == QcKind::XB ? nullptr : &file;
  std::vector<std::string> records, labels;
  if (c.scope == 0) {
    if (!HasSelection(c)) return o;
    for (int col : c.grid->GetSortedPickedColumns()) {
      std::string values[20];
      for (int i = 0; i < 20; ++i) values[i] = c.grid->GetItemText(3 + i, col);
      ReorderParamTextsForStore(values);
      records.push_back(QcRunRecord(prefix, fileField, c.grid->GetItemText(1, col), c.grid->GetItemText(2, col), values)
                            .WithChecksum(c.language));
      labels.push_back(c.grid->GetItemText(1, col) + " " + c.grid->GetItemText(2, col));
    }
  } else {
    RecordsetPtr& rs = c.conn->OpenRecordset(QcAllSql(kind, c.qcFileNo));
    if (c.conn->RecordsetOpen() && HasRows(*rs)) {
      while (!rs->IsEOF()) {
        std::string date, time, values[20];
        ReadField(*rs, "TestDate", date);
        ReadField(*rs, "TestTime", time);
        for (int i = 0; i < 20; ++i) {
          double v = -1;
          ReadField(*rs, kParamColumns[i], v);
          values[i] = QcValueText(v, true);
        }
        records.push_back(QcRunRecord(prefix, fileField, date, time, values).WithChecksum(c.language));
        labels.push_back(date + " " + time);
        if (!rs->MoveNext()) break;
      }
    }
    c.conn->CloseRecordset();
  }
  o.items = static_cast<int>(records.size());
  Begin(c, o.items);
  bool ok = true;
  for (size_t i = 0; i < records.size(); ++i) {
    if (!(ok = QueueRecord(*c.port, records[i]))) {
      o.notSent = labels[i];
      break;
    }
    c.panel->SetProgress(++o.sent);
    Pause(100);
  }
  if (ok && c.scope == 0 && kind == QcKind::LeveyJennings) Pause(200);
  if (ok && !(ok = QueueRecord(*c.port, kTransferFinish))) o.notSent = kTransferFinish;
  o.finished = ok;
  if (!ok) o.last.outcome = SendOutcome::SendFailed;
  End(c, o);
  return o;
}

bool DispatchSend(const SendContext& c, SendDataKind kind, int linkKind, bool portOpen, RunOutcome* outcome) {
  if (linkKind == 0) {
    if (!portOpen || c.port == nullptr) {
      c.panel->Message(LisText(SendText::PortNotOpen, c.language), c.language == 0 ? 2 : 0);
      return false;
    }
  } else if (linkKind == 1) {
    if (LisLinkState.LisConnected.load() != 1) {
      c.panel->Message(LisText(SendText::NotConnected, c.language), 0);
      return false;
    }
  } else {
    return false;
  }
  if (kind == SendDataKind::Samples) c.panel->EnableExit(false);
  RunOutcome o;
  const QcKind qc = kind == SendDataKind::LjQc ? QcKind::LeveyJennings : kind == SendDataKind::XbQc ? QcKind::XB : QcKind::XR;
  if (linkKind == 0) o = kind == SendDataKind::Samples ? SendSamplesSerial(c) : SendQcSerial(c, qc);
  else o = kind == SendDataKind::Samples ? SendSamplesNetwork(c) : SendQcNetwork(c, qc);
  if (outcome) *outcome = o;
  return true;
}

}  // namespace lis
