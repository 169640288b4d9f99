#include "history/history_search.h"

#include <vector>

#include "core/app_settings.h"
#include "core/value_format.h"

namespace history {
namespace {

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  const size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

std::string TwoDigits(std::string s) {
  s = Trim(s);
  if (s.size() == 1) s = "0" + s;
  return s;
}

// The stored forms of a typed text made SQL-safe: rows hold apostrophes as U+2018, but rows
// stored before every path did so hold a plain apostrophe (written doubled inside the quotes).
std::vector<std::string> StoredForms(const std::string& safe) {
  static const std::string kLeftQuote = "\xE2\x80\x98";
  std::vector<std::string> forms{safe};
  if (safe.find(kLeftQuote) == std::string::npos) return forms;
  std::string plain;
  for (size_t i = 0; i < safe.size();) {
    if (safe.compare(i, kLeftQuote.size(), kLeftQuote) == 0) {
      plain += "''";
      i += kLeftQuote.size();
    } else {
      plain += safe[i++];
    }
  }
  forms.push_back(plain);
  return forms;
}

std::string OneContains(const std::string& column, const std::string& text) {
  std::string pattern;
  for (char c : text) {
    if (c == '%' || c == '_' || c == '\\') pattern += '\\';
    pattern += c;
  }
  return column + " like '%" + pattern + "%' escape '\\'";
}

// "column ='text'", or both stored forms of it.
std::string EqualsClause(const std::string& column, const std::string& safe, const char* equals = " =") {
  const std::vector<std::string> forms = StoredForms(safe);
  if (forms.size() == 1) return column + equals + "'" + safe + "'";
  return column + " in ('" + forms[0] + "','" + forms[1] + "')";
}

}  // namespace

std::string ContainsClause(const std::string& column, const std::string& text) {
  const std::vector<std::string> forms = StoredForms(text);
  if (forms.size() == 1) return OneContains(column, text);
  return "(" + OneContains(column, forms[0]) + " or " + OneContains(column, forms[1]) + ")";
}

std::string BuildSearchCondition(const SearchFields& in, int currentYear, SearchError* error) {
  if (error) *error = SearchError::None;
  SearchFields f = in;
  for (std::string* s : {&f.sampleNo, &f.name, &f.sex, &f.medicalNo, &f.bedNo, &f.dept, &f.startYear, &f.startMonth,
                         &f.startDay, &f.endYear, &f.endMonth, &f.endDay})
    *s = SqlSafeText(*s);
  f.sampleNo = Trim(f.sampleNo);
  const bool anyStart = !Trim(f.startYear).empty() || !Trim(f.startMonth).empty() || !Trim(f.startDay).empty();
  const bool anyEnd = !Trim(f.endYear).empty() || !Trim(f.endMonth).empty() || !Trim(f.endDay).empty();
  if (f.sampleNo.empty() && f.name.empty() && f.sex.empty() && f.medicalNo.empty() && f.bedNo.empty() &&
      f.dept.empty() && !anyStart && !anyEnd) {
    if (error) *error = SearchError::NoCondition;
    return "";
  }
  std::string c;
  auto add = [&c](const std::string& part) { c += (c.empty() ? " where " : " and ") + part; };
  if (!f.sampleNo.empty()) add(EqualsClause("SampleNo", f.sampleNo, "="));
  if (!f.name.empty()) add(ContainsClause("Name", f.name));
  if (!f.sex.empty()) add(EqualsClause("Sex", f.sex));
  if (!f.medicalNo.empty()) add(EqualsClause("MedicalNo", f.medicalNo));
  if (!f.bedNo.empty()) add(EqualsClause("BedNo", f.bedNo));
  if (!f.dept.empty()) add(EqualsClause("Dept", f.dept));
  const std::string year = StrPrintf("%4d", currentYear);
  auto orDefault = [](const std::string& v, const std::string& d) { return Trim(v).empty() ? d : v; };
  const std::string s = orDefault(Trim(f.startYear), year) + "-" + orDefault(TwoDigits(f.startMonth), "01") + "-" +
                        orDefault(TwoDigits(f.startDay), "01");
  const std::string e = orDefault(Trim(f.endYear), year) + "-" + orDefault(TwoDigits(f.endMonth), "12") + "-" +
                        orDefault(TwoDigits(f.endDay), "31");
  if (anyStart && anyEnd) {
    if (s > e) {
      if (error) *error = SearchError::ReversedDates;
      return "";
    }
    if (s == e) add("TestDate='" + s + "'");
    else add("(TestDate >= '" + s + "' and TestDate <='" + e + "')");
  } else if (anyStart) {
    add("TestDate >= '" + s + "'");
  } else if (anyEnd) {
    add("TestDate <='" + e + "'");
  }
  return c;
}

std::vector<std::string> SearchYears(int currentYear) {
  std::vector<std::string> years;
  for (int y = 2009; y <= currentYear + 5; ++y) years.push_back(std::to_string(y));
  return years;
}

std::string SearchErrorText(SearchError e, int l) {
  if (e == SearchError::NoCondition)
    return PickText(l, "请至少输入一项条件！", "Please input at least one condition!",
                    "Por favor ingrese, al menos una condicion!", "Entre au moins une condition!",
                    "Будь ласка, введіть хоча б одну умову!");
  if (e == SearchError::ReversedDates)
    return PickText(l, "开始日期应小于结束日期！", "The start date should be earlier than end date!",
                    "La fecha de inicio debe ser anterior a la fecha de finalizacion!",
                    "La date de debut doit etre anterieur a la date de fin!",
                    "Дата початку повинна бути раніше дати завершення!");
  return "";
}

std::string NoMatchText(int l) {
  return PickText(l, "没有满足条件的记录！", "No record meets the condition!", "Ningun registro cumple la condicion!",
                  "Pas de sauvegarde correspondant a cette condition!", "Жоден запис не відповідає даній умові!");
}

}  // namespace history
