#include "measurement/flagging.h"

#include <cstdio>

#include "core/ado_conn.h"
#include "core/field_read.h"
#include "core/param_order.h"
#include "core/sample_names.h"
#include "core/value_format.h"

namespace measurement {
namespace {


LimitPairs LoadLimits(CADOConn& conn, const char* table, int kind, float open) {
  LimitPairs l;
  if (!ReadStoredLimits(conn, table, kind, l.pairs)) {
    for (int i = 0; i < 20; ++i) {
      l.pairs[2 * i] = -open;
      l.pairs[2 * i + 1] = open;
    }
    l.missing = true;
  }
  return l;
}

struct FlagRow {
  const char* code;
  const char* description;
};
const FlagRow kWbcFlags[4] = {{"LF1", "淋巴细胞峰左侧区域异常,"},
                              {"LF2", "淋巴细胞峰与中间细胞区域异常,"},
                              {"LF3", "中间细胞区与中性粒细胞峰之间区域异常,"},
                              {"LF4", "中性粒细胞右侧区域异常,"}};
const FlagRow kPltFlags[2] = {{"PF1", "血小板左侧区域异常,"}, {"PF2", "血小板右侧区域异常,"}};

}  // namespace

bool ReadStoredLimits(CADOConn& conn, const char* table, int kind, float pairs[40]) {
  for (int i = 0; i < 40; ++i) pairs[i] = 0.0f;
  char sql[96];
  std::snprintf(sql, sizeof sql, "Select * from %s where Kind=%d", table, kind);
  RecordsetPtr& rs = conn.OpenRecordset(sql);
  const bool row = conn.RecordsetOpen() && HasRows(*rs);
  if (row) {
    for (int i = 0; i < 40; ++i) {
      float v = 0.0f;
      ReadField(*rs, 2 + i, v);
      pairs[i] = v;
    }
    ReorderLimitPairsForDisplay(pairs);
  }
  conn.CloseRecordset();
  return row;
}

const char* GroupName(int kind, int language) { return ReferenceGroupText(kind, language); }

int GroupIndexFromText(const std::string& text) { return ReferenceGroupCodeFromText(text); }

LimitPairs LoadNormalLimits(CADOConn& conn, int kind) { return LoadLimits(conn, "NormalLimits", kind, 1000000000.0f); }
LimitPairs LoadPathologyLimits(CADOConn& conn, int kind) {
  return LoadLimits(conn, "PathologyLimits", kind, 10000000000.0f);
}

std::string RangeMark(float v, float nl, float nh, float pl, float ph) {
  std::string m;
  if (v < pl) m = "L-";
  else if (v < nl) m = "L";
  if (v > ph) m = "H+";
  else if (v > nh) m = "H";
  return m;
}

void MarkValues(const float values[20], const uint8_t notReportable[20], const LimitPairs& normal,
                const LimitPairs& panic, std::string marks[20]) {
  for (int i = 0; i < 20; ++i) {
    marks[i].clear();
    if (notReportable[i] == 1) continue;
    marks[i] = RangeMark(values[i], normal.pairs[2 * i], normal.pairs[2 * i + 1], panic.pairs[2 * i],
                         panic.pairs[2 * i + 1]);
  }
}

std::string ShownValueText(float value, int displayIndex, bool reportable) {
  if (!reportable || !IsValidParamValue(value)) return "- - -";
  return FormatValue(value, displayIndex);
}

std::string StoredValueText(float value, int displayIndex, bool reportable, const std::string& indicator,
                            const std::string& mark) {
  if (!reportable || !IsValidParamValue(value)) return "- - -";
  std::string t = indicator + FormatValue(value, displayIndex);
  if (!mark.empty()) t += " " + mark;
  return t;
}

FlagTexts BuildFlagTexts(const AlgorithmResult& r) {
  FlagTexts f;
  const uint8_t wbc[4] = {r.LF1, r.LF2, r.LF3, r.LF4};
  const uint8_t plt[2] = {r.PF1, r.PF2};
  f.wbcSuppressed = r.WbcLow == 1;
  f.pltSuppressed = r.PltLow == 1;
  if (!f.wbcSuppressed)
    for (int k = 0; k < 4; ++k)
      if (wbc[k] != 0) {
        f.warning += std::string(kWbcFlags[k].code) + " ";
        f.chineseDescription += kWbcFlags[k].description;
        f.wbcLabels[k] = true;
      }
  if (!f.pltSuppressed)
    for (int k = 0; k < 2; ++k)
      if (plt[k] != 0) {
        f.warning += std::string(kPltFlags[k].code) + " ";
        f.chineseDescription += kPltFlags[k].description;
        f.pltLabels[k] = true;
      }
  return f;
}

std::string FlagLogLine(const std::string& sampleNo, const std::string& description) {
  if (description.empty()) return {};
  return "样本" + sampleNo + ":" + description + "可能血样太久了或者是病态的样本，根据需要重测样本或镜检确认";
}

std::string ThirdCountLogLine(const std::string& sampleNo) {
  return "样本" + sampleNo + "进行了第三次测量,可以根据需要重测确认";
}

void BuildReferenceTexts(const LimitPairs& normal, std::string* refText, std::string rangeTexts[20]) {
  std::string elements[20];
  for (int i = 0; i < 20; ++i) {
    const float nl = normal.pairs[2 * i], nh = normal.pairs[2 * i + 1];
    if ((nl < -999999.0f && nh > 999999.0f) || nl == nh)
      elements[i] = " ";
    else
      elements[i] = FormatValue(nl, i) + "-" + FormatValue(nh, i);
  }
  // Built in screen order; stored and read in table order.
  ReorderParamTextsForStore(elements);
  std::string text;
  for (int i = 0; i < 20; ++i) {
    text += elements[i] + ",";
    if (rangeTexts != nullptr) rangeTexts[i] = elements[i];
  }
  if (refText != nullptr) *refText = text;
}

}  // namespace measurement
