#include "measurement/patient/reflag.h"

#include <cstdlib>

#include "core/sample_names.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/param_order.h"
#include "core/value_format.h"
#include "core/person_row.h"

namespace measurement {

const char* const kPersonValueColumns[20] = {"WBC",   "LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP",
                                             "RBC",   "HGB",  "MCHC", "MCH",  "MCV",  "RDWCV", "RDWSD",
                                             "HCT",   "PLT",  "MPV",  "PDW",  "PCT",  "PLCR"};

StoredValue ParseStoredValueText(const std::string& text) {
  StoredValue v;
  v.text = text;
  if (text.empty() || text == "- - -" || text == "***" || text.find_first_not_of(' ') == std::string::npos)
    return v;
  size_t i = 0;
  if (text.size() > 1 && text[0] == '*' && text[1] != '*') {
    while (i < text.size() && text[i] == '*') ++i;
    v.mark = 1;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    while (i < text.size() && (text[i] == 'e' || text[i] == 'E')) ++i;
    v.mark = 2;
  }
  if (i < text.size() && text[i] == '!') {
    while (i < text.size() && text[i] == '!') ++i;
    v.mark = 3;
  }
  // The number, then optionally a blank and the range mark; the result saving writes nothing
  // else. A text with no number in front is not taken for a value.
  const char* start = text.c_str() + i;
  char* end = nullptr;
  const double d = std::strtod(start, &end);
  if (end == start) return v;
  const std::string rest = std::string(end);
  if (!(rest.empty() || rest == " L" || rest == " L-" || rest == " H" || rest == " H+")) return v;
  v.value = static_cast<float>(d);
  v.available = true;
  return v;
}

StoredResult LoadStoredValues(CADOConn& conn, const std::string& sampleNo, const std::string& testDate) {
  StoredResult r;
  RecordsetPtr& rs = conn.OpenRecordset(SelectPersonSql(sampleNo, testDate));
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    r.found = true;
    r.hasResult = !rs->Field("WBC").IsNull();
    ReadField(*rs, "ReferValue", r.referValue);
    for (int i = 0; i < 20; ++i) {
      std::string t;
      ReadField(*rs, kPersonValueColumns[i], t);
      r.values[i] = ParseStoredValueText(t);
    }
  }
  conn.CloseRecordset();
  return r;
}

std::string ReflaggedText(const StoredValue& v, int displayIndex, const std::string& mark) {
  if (!v.available) return v.text;
  std::string indicator;
  if (v.mark == 1) indicator = kDisagreementIndicator;
  else if (v.mark == 3) indicator = "!";
  else if (v.mark == 2 && displayIndex >= 1 && displayIndex <= 3) indicator = "e";
  else if (v.mark == 2 && displayIndex >= 4 && displayIndex <= 6) indicator = "E";
  return StoredValueText(v.value, displayIndex, true, indicator, mark);
}

int GroupKindOfText(const std::string& text, int fallback) { return ReferenceGroupCodeOr(text, fallback); }

std::string ValueTextsUpdateSql(const std::string texts[20], const std::string& sampleNo, const std::string& testDate,
                                const std::string& extraSet, const char* verb) {
  std::string set;
  for (int i = 0; i < 20; ++i) {
    if (i > 0) set += ",";
    set += std::string(kPersonValueColumns[i]) + "='" + SqlSafeText(texts[i]) + "'";
  }
  return UpdatePersonSql(set + extraSet, sampleNo, testDate, verb);
}

std::string RefTextUpdateSql(const std::string& refText, const std::string& sampleNo, const std::string& testDate) {
  return UpdatePersonSql("RefText ='" + SqlSafeText(refText) + "'", sampleNo, testDate, "Update");
}

ReflagOutcome ReflagStoredResult(CADOConn& conn, const std::string& sampleNo, const std::string& testDate,
                                 const std::string& groupText, int fallbackKind) {
  ReflagOutcome out;
  const StoredResult stored = LoadStoredValues(conn, sampleNo, testDate);
  if (!stored.found || !stored.hasResult) return out;
  out.kind = GroupKindOfText(groupText, fallbackKind);
  const LimitPairs normal = LoadNormalLimits(conn, out.kind);
  const LimitPairs panic = LoadPathologyLimits(conn, out.kind);

  // Marked in display order, with the same rule (and single precision) as after a count, so a
  // result re-flagged for its own group keeps its marks.
  StoredValue shown[20];
  for (int i = 0; i < 20; ++i) shown[i] = stored.values[kDisplayFromStore[i]];
  std::string texts[20];
  for (int i = 0; i < 20; ++i) {
    std::string mark;
    if (shown[i].available)
      mark = RangeMark(shown[i].value, normal.pairs[2 * i], normal.pairs[2 * i + 1], panic.pairs[2 * i],
                       panic.pairs[2 * i + 1]);
    texts[i] = ReflaggedText(shown[i], i, mark);
  }
  ReorderParamTextsForStore(texts);
  for (int i = 0; i < 20; ++i) out.texts[i] = texts[i];
  BuildReferenceTexts(normal, &out.refText, nullptr);
  const bool valuesOk = conn.Execute(ValueTextsUpdateSql(out.texts, sampleNo, testDate)) == 1;
  const bool refOk = conn.Execute(RefTextUpdateSql(out.refText, sampleNo, testDate)) == 1;
  out.done = valuesOk && refOk;
  return out;
}

}  // namespace measurement
