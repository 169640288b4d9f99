#include "printing/report_text.h"

#include "printing/utf8_chars.h"

size_t ReportCharCount(const std::string& text) { return DecodeUtf8(text).size(); }

size_t ReportAnsiBytes(const std::string& text) {
  size_t n = 0;
  for (char32_t c : DecodeUtf8(text)) n += (c >= 0x2E80 && c <= 0xFFEF) ? 2 : 1;
  return n;
}

std::string PadChars(const std::string& text, size_t width) {
  const size_t n = ReportCharCount(text);
  return n >= width ? text : text + std::string(width - n, ' ');
}

std::string PadBytes(const std::string& text, size_t width) {
  const size_t n = ReportAnsiBytes(text);
  return n >= width ? text : text + std::string(width - n, ' ');
}

std::string HeadChars(const std::string& text, size_t n) {
  const std::u32string c = DecodeUtf8(text);
  return EncodeUtf8(c.substr(0, n));
}

std::string TailChars(const std::string& text, size_t n) {
  const std::u32string c = DecodeUtf8(text);
  return n >= c.size() ? std::string() : EncodeUtf8(c.substr(n));
}

std::string TrimBlanks(const std::string& text) {
  const char* ws = " \t\r\n";
  const size_t b = text.find_first_not_of(ws);
  if (b == std::string::npos) return "";
  return text.substr(b, text.find_last_not_of(ws) - b + 1);
}

std::string FillText(const std::string& format, std::initializer_list<std::string> texts) {
  std::string out;
  auto next = texts.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
      if (next != texts.end()) out += *next++;
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

namespace {
const char* const kAbbrev[20] = {"WBC", "LYM#", "MID#", "GRA#", "LYM%", "MID%",  "GRA%", "RBC", "HGB", "HCT",
                                 "MCV", "MCH",  "MCHC", "RDW-SD", "RDW-CV", "PLT", "MPV", "PDW", "PCT", "P-LCR"};
const char* const kChinese[20] = {"白细胞",         "淋巴细胞",         "中间细胞",       "粒细胞",
                                  "淋巴细胞百分比", "中间细胞百分比",   "粒细胞百分比",   "红细胞",
                                  "血红蛋白",       "红细胞压积",       "红细胞平均体积", "平均血红蛋白含量",
                                  "平均血红蛋白浓度", "红细胞分布宽度SD", "红细胞分布宽度CV", "血小板",
                                  "血小板平均体积", "血小板分布宽度",   "血小板压积",     "大血小板比率"};
}  // namespace

const char* ReportParamAbbrev(int i) { return i >= 0 && i < 20 ? kAbbrev[i] : ""; }
const char* ReportParamChinese(int i) { return i >= 0 && i < 20 ? kChinese[i] : ""; }
