#include "measurement/count_note.h"

#include <cctype>
#include <vector>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/person_row.h"
#include "core/sys_log.h"
#include "core/write_log.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/file_io.h"
#include "platform/sys/file_ops.h"

namespace measurement {

std::string LostCountNotice;

namespace {

constexpr const char* kHeading = "Quorvex count in progress";

// Digits and fixed separators at the positions of `pattern` ('9' a digit, anything else itself).
bool Matches(const std::string& text, const char* pattern) {
  const std::string p(pattern);
  if (text.size() != p.size()) return false;
  for (size_t i = 0; i < p.size(); ++i) {
    if (p[i] == '9' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != p[i]) return false;
  }
  return true;
}

bool IsSampleNumber(const std::string& s) {
  if (s.empty() || s.size() > 8) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

CountNoteRead Unread(CountNoteState state, const std::string& problem) {
  CountNoteRead r;
  r.state = state;
  r.problem = problem;
  return r;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

}  // namespace

std::string CountNoteText(const CountNote& n) {
  return std::string(kHeading) + "\nversion=" + std::to_string(kCountNoteVersion) + "\nSampleNo=" + n.sampleNo +
         "\nTestDate=" + n.testDate + "\nTestTime=" + n.testTime + "\n";
}

CountNoteRead ParseCountNote(const std::string& text) {
  if (text.empty()) return Unread(CountNoteState::Empty, "the note is empty");
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  if (lines.empty() || lines[0] != kHeading) return Unread(CountNoteState::Damaged, "the note has no heading");
  std::string version, sampleNo, date, time;
  for (size_t i = 1; i < lines.size(); ++i) {
    const size_t eq = lines[i].find('=');
    if (eq == std::string::npos) continue;
    const std::string key = lines[i].substr(0, eq), value = lines[i].substr(eq + 1);
    if (key == "version") version = value;
    else if (key == "SampleNo") sampleNo = value;
    else if (key == "TestDate") date = value;
    else if (key == "TestTime") time = value;
  }
  if (version.empty()) return Unread(CountNoteState::Damaged, "the note has no version");
  if (version != std::to_string(kCountNoteVersion))
    return Unread(CountNoteState::OtherVersion, "the note is of version " + version);
  if (!IsSampleNumber(sampleNo) || !Matches(date, "9999-99-99") || !Matches(time, "99:99:99"))
    return Unread(CountNoteState::Damaged, "the note's sample number, date or time is damaged");
  CountNoteRead r;
  r.state = CountNoteState::Read;
  r.note = CountNote{sampleNo, date, time};
  return r;
}

CountNoteRead ReadCountNote(const std::string& path) {
  if (!sys::FileExists(path)) return {};
  std::string text, error;
  if (!sys::ReadWholeFile(path, &text, &error)) return Unread(CountNoteState::Damaged, error);
  return ParseCountNote(text);
}

bool WriteCountNote(const std::string& path, const CountNote& note, std::string* error) {
  return sys::WriteFileAtomic(path, CountNoteText(note), error);
}

bool ClearCountNote(const std::string& path, std::string* error) {
  if (!sys::FileExists(path)) return true;
  return sys::DeleteFile(path, error) && sys::SyncFolder(FolderOf(path), error);
}

bool CountNoteRowStored(CADOConn& conn, const CountNote& n, bool* ok) {
  if (ok) *ok = false;
  // The count writes a value text into every value column (a value, or "- - -"); the patient
  // screen's and the LIS's rows have none. The texts were checked when the note was read.
  RecordsetPtr& rs = conn.OpenRecordset("select count(*) from Person where SampleNo='" + n.sampleNo +
                                        "' and coalesce(WBC,'')<>'' and (TestDate>'" + n.testDate +
                                        "' or (TestDate='" + n.testDate + "' and TestTime>='" + n.testTime + "'))");
  int64_t rows = 0;
  const bool read = conn.RecordsetOpen() && HasRows(*rs) && ReadField(*rs, 0, rows);
  conn.CloseRecordset();
  if (ok) *ok = read;
  return read && rows > 0;
}

std::string LostResultText(const CountNote& n, int language) {
  const std::string no = n.sampleNo, at = n.testDate + " " + n.testTime;
  switch (language) {
    case 0: return "样本 " + no + "（" + at + " 开始测试）的结果可能已显示但未保存，请重新测试";
    case 2:
      return "Muestra " + no + " (recuento iniciado " + at +
             "): su resultado pudo mostrarse pero no se guardó; vuelva a contarla";
    case 3:
      return "Échantillon " + no + " (comptage commencé le " + at +
             ") : son résultat a pu être affiché mais n'a pas été enregistré ; comptez-le à nouveau";
    case 4:
      return "Проба " + no + " (аналіз розпочато " + at +
             "): її результат міг бути показаний, але не збережений; повторіть аналіз";
    default:
      return "Sample " + no + " (count started " + at +
             "): its result may have been shown but was not kept; count it again";
  }
}

std::string NameLostCount(CADOConn& conn, const std::string& folder, int language) {
  const std::string path = folder + kCountNoteFile;
  const CountNoteRead read = ReadCountNote(path);
  if (read.state == CountNoteState::Missing) return {};
  std::string error;
  if (read.state != CountNoteState::Read) {
    WriteLog(std::string(kCountNoteFile) + " is not read: " + read.problem);
    if (!ClearCountNote(path, &error)) WriteLog(std::string(kCountNoteFile) + ": " + error);
    return {};
  }
  bool asked = false;
  const bool stored = CountNoteRowStored(conn, read.note, &asked);
  if (!asked) return {};  // the next start that reaches the store decides
  std::string text;
  if (!stored) {
    text = LostResultText(read.note, language);
    WriteLog(text);
    WriteSysLog(conn, SysLogText(SysLogWord::SampleTest, language), text);
  }
  if (!ClearCountNote(path, &error)) WriteLog(std::string(kCountNoteFile) + ": " + error);
  return text;
}

bool CountNoteKeeper::Begin(const std::string& sampleNo, const sys::LocalTime& now) {
  counting_ = true;
  if (path_.empty()) return false;
  std::string error;
  if (WriteCountNote(path_, CountNote{sampleNo, StoredDateText(now), StoredTimeText(now)}, &error)) return true;
  WriteLog(std::string(kCountNoteFile) + ": " + error);
  return false;
}

void CountNoteKeeper::Stored() {
  counting_ = false;
  Clear();
}

void CountNoteKeeper::EndedWithoutResult() {
  if (!counting_) return;
  counting_ = false;
  Clear();
}

void CountNoteKeeper::Clear() {
  if (path_.empty()) return;
  std::string error;
  if (!ClearCountNote(path_, &error)) WriteLog(std::string(kCountNoteFile) + ": " + error);
}

}  // namespace measurement
