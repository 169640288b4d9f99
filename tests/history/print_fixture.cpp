#include "print_fixture.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "core/value_format.h"
#include "measurement/raw_files.h"
#include "tools/printersim/paper.h"
#include "tools/printersim/printer.h"

namespace history_test {

const PrintParam kPrintParams[20] = {
    {"WBC", "WBC", 0, "WBCUnit", "10^9/L"},      {"LYM#", "LYMA", 1, "WBCUnit", "10^9/L"},
    {"MID#", "MONA", 2, "WBCUnit", "10^9/L"},    {"GRA#", "GRAA", 3, "WBCUnit", "10^9/L"},
    {"LYM%", "LYMP", 4, nullptr, "%"},           {"MID%", "MONP", 5, nullptr, "%"},
    {"GRA%", "GRAP", 6, nullptr, "%"},           {"RBC", "RBC", 7, "RBCUnit", "10^12/L"},
    {"HGB", "HGB", 8, "HGBUnit", "g/L"},         {"HCT", "HCT", 14, "HCTUnit", "%"},
    {"MCV", "MCV", 11, nullptr, "fL"},           {"MCH", "MCH", 10, nullptr, "pg"},
    {"MCHC", "MCHC", 9, "MCHCUnit", "g/L"},      {"RDW-SD", "RDWSD", 13, nullptr, "fL"},
    {"RDW-CV", "RDWCV", 12, nullptr, "%"},       {"PLT", "PLT", 15, "PLTUnit", "10^9/L"},
    {"MPV", "MPV", 16, nullptr, "fL"},           {"PDW", "PDW", 17, nullptr, "%"},
    {"PCT", "PCT", 18, "PCTUnit", "%"},          {"P-LCR", "PLCR", 19, nullptr, "%"},
};

PrintRow PrintRowOf(int k, bool withWbc) {
  PrintRow r;
  r.sampleNo = std::to_string(k);
  r.testDate = "2026-02-10";
  r.testTime = StrPrintf("08:%.2d:00", k);
  r.name = "Ann Lee " + std::to_string(k);
  r.sex = k % 2 ? "Male" : "Female";
  r.ageText = std::to_string(30 + k) + " years";
  r.bloodType = k % 2 ? "Whole blood" : "Peripheral blood";
  r.group = "Adult male";
  r.medicalNo = "M" + std::to_string(100 + k);
  r.bedNo = "B" + std::to_string(k);
  r.dept = "Ward " + std::to_string(k);
  r.sender = "Dr " + std::to_string(k);
  r.scrutator = "Insp " + std::to_string(k);
  r.checker = "Ver " + std::to_string(k);
  for (int i = 0; i < 20; ++i) {
    const std::string base = StrPrintf("%d.%d", 10 * k + i, i % 10);
    r.cells[i] = base;
    r.values[i] = base;
    if (i == 0 && k % 2) {
      // A starred WBC with a high mark: the star goes, the mark is the note.
      r.cells[i] = "*" + base + " H";
      r.flags[i] = "H";
    } else if (i == 1) {
      r.cells[i] = "e" + base;  // entered by hand: the lead mark is not printed
    } else if (i == 8) {
      r.cells[i] = base + " L-";
      r.flags[i] = "L-";
    } else if (i == 15) {
      r.cells[i] = "- - -";
      r.values[i] = "- - -";
    }
    const PrintParam& p = kPrintParams[i];
    r.units[i] = p.defaultUnit;
    if (p.unitColumn && std::string(p.unitColumn) == "WBCUnit") r.units[i] = "10^3/uL";
    if (p.unitColumn && std::string(p.unitColumn) == "HGBUnit") r.units[i] = "g/dL";
    r.ranges[i] = StrPrintf("%d-%d", p.stored, p.stored + 100);
  }
  if (!withWbc) r.cells[0] = r.values[0] = r.flags[0] = "";
  return r;
}

void StorePrintRow(const PrintRow& r, int k, bool raw) {
  std::string refText;
  for (int j = 0; j < 20; ++j) refText += (j ? "," : "") + StrPrintf("%d-%d", j, j + 100);
  std::string columns = "SampleNo,TestDate,TestTime,Name,Sex,Age,AgeUnit,BloodType,ReferValue,MedicalNo,BedNo,Dept,"
                        "Sender,Scrutator,Checker,Warning,RefText,WBCUnit,HGBUnit";
  std::string values = "'" + r.sampleNo + "','" + r.testDate + "','" + r.testTime + "','" + r.name + "','" + r.sex +
                       "'," + std::to_string(30 + k) + ",'Y','" + r.bloodType + "','" + r.group + "','" + r.medicalNo +
                       "','" + r.bedNo + "','" + r.dept + "','" + r.sender + "','" + r.scrutator + "','" + r.checker +
                       "','LF1 ','" + refText + "','10^3/uL','g/dL'";
  for (int i = 0; i < 20; ++i) {
    columns += std::string(",") + kPrintParams[i].column;
    values += ",'" + r.cells[i] + "'";
  }
  support::ExecSql("insert into Person(" + columns + ") values(" + values + ")");
  if (raw)
    ASSERT_EQ(measurement::WriteTestDataRecord(AppSettings.ProgramFolder, measurement::TestDataKey(r.testDate, r.sampleNo),
                                               RawOf(k)),
              measurement::TestDataWrite::Written);
}

size_t StripPrinter::Send(const uint8_t* data, size_t len, int, bool* timedOut) {
  std::unique_lock<std::mutex> l(m_);
  const size_t before = bytes_.size();
  bytes_.append(reinterpret_cast<const char*>(data), len);
  if (!trigger_.empty() && !held_) {
    const size_t from = before >= trigger_.size() ? before - trigger_.size() : 0;
    if (bytes_.find(trigger_, from) != std::string::npos) {
      held_ = true;
      cv_.notify_all();
      cv_.wait(l, [&] { return released_; });
    }
  }
  *timedOut = false;
  return len;
}

void StripPrinter::HoldAt(const std::string& trigger) {
  std::lock_guard<std::mutex> l(m_);
  trigger_ = trigger;
}

bool StripPrinter::Held() {
  std::lock_guard<std::mutex> l(m_);
  return held_;
}

void StripPrinter::Release() {
  std::lock_guard<std::mutex> l(m_);
  released_ = true;
  cv_.notify_all();
}

std::string StripPrinter::Bytes() {
  std::lock_guard<std::mutex> l(m_);
  return bytes_;
}

namespace {

class RowRecorder : public ThermalOutput {
 public:
  std::string bytes;
  size_t Send(const uint8_t* data, size_t len, int, bool* timedOut) override {
    bytes.append(reinterpret_cast<const char*>(data), len);
    *timedOut = false;
    return len;
  }
};

}  // namespace

std::string ThermalRowBytes(const std::string& row, int n, int finalCr) {
  RowRecorder r;
  PrinterSetOutput(&r);
  PrinterPrintText(row, static_cast<uint8_t>(n), 1, finalCr);
  PrinterSetOutput(nullptr);
  PrinterResetState();
  return r.bytes;
}

std::string RTrim(const std::string& s) {
  const size_t e = s.find_last_not_of(' ');
  return e == std::string::npos ? "" : s.substr(0, e + 1);
}

std::string Pad(const std::string& s, size_t width) { return s.size() < width ? s + std::string(width - s.size(), ' ') : s; }

std::vector<std::string> StripLog(const std::string& bytes) {
  printersim::Paper paper;
  printersim::Printer printer(&paper);
  printer.EnableLog(true);
  printer.Feed(bytes);
  printer.FlushLine();
  std::vector<std::string> out;
  for (const std::string& l : printer.Log()) {
    if (l.rfind("TEXT ", 0) == 0) out.push_back(RTrim(l));
    else if (l.rfind("DC2 T", 0) == 0 || l.rfind("ESC U", 0) == 0) out.push_back(l);
  }
  return out;
}

std::vector<std::string> TextRows(const std::vector<std::string>& log) {
  std::vector<std::string> out;
  for (const std::string& l : log)
    if (l.rfind("TEXT", 0) == 0) out.push_back(l.size() > 5 ? l.substr(5) : "");
  return out;
}

size_t CountPrefix(const std::vector<std::string>& log, const std::string& prefix) {
  return static_cast<size_t>(
      std::count_if(log.begin(), log.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

std::vector<std::string> PdfPages(const std::string& dir) {
  std::vector<std::string> files;
  if (std::filesystem::exists(dir))
    for (const auto& e : std::filesystem::directory_iterator(dir)) files.push_back(e.path().string());
  std::sort(files.begin(), files.end());
  std::vector<std::string> pages;
  for (const std::string& f : files) {
    std::string text;
    FILE* p = ::popen(("pdftotext -q '" + f + "' - 2>/dev/null").c_str(), "r");
    char buf[4096];
    size_t n;
    while (p && (n = std::fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    if (p) ::pclose(p);
    // pdftotext ends every page with a form feed.
    size_t at = 0;
    for (size_t ff = text.find('\f'); ff != std::string::npos; ff = text.find('\f', at)) {
      pages.push_back(text.substr(at, ff - at));
      at = ff + 1;
    }
  }
  return pages;
}

}  // namespace history_test
