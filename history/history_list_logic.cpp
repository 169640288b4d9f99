#include "history/history_list_logic.h"

#include "core/app_settings.h"
#include "core/value_format.h"

namespace history {

const char* const kGridColumns[kGridRows] = {"SampleNo", "TestDate", "TestTime", "WBC",   "LYMA", "MONA",
                                             "GRAA",     "LYMP",     "MONP",     "GRAP",  "RBC",  "HGB",
                                             "HCT",      "MCV",      "MCH",      "MCHC",  "RDWSD", "RDWCV",
                                             "PLT",      "MPV",      "PDW",      "PCT",   "PLCR"};

std::string ListSql(int sortStyle, const std::string& condition) {
  // The date and time texts sort as written ("YYYY-MM-DD", "hh:mm:ss"); sample numbers as numbers.
  const char* order = sortStyle == 0 ? " order by TestDate desc, TestTime desc"
                                     : " order by cast(SampleNo as integer) desc, TestDate desc";
  return "select * from Person" + condition + order;
}

namespace {
bool SearchesPartOfName(const std::string& condition) { return condition.find("Name like") != std::string::npos; }
}  // namespace

bool ListHeldWhole(int sortStyle, const std::string& condition) {
  return sortStyle != 0 || SearchesPartOfName(condition);
}

std::string HeldListSql(int sortStyle, const std::string& condition) {
  // The matching keys with only what orders them are gathered first (for a name over the index
  // of names, without reading a row), then sorted. Equal keys stay in stored order, as the
  // engine's sort of the rows left them.
  const char* gather = sortStyle == 0 ? "with m(id, a, b) as materialized (select rowid, TestDate, TestTime from Person"
                                      : "with m(id, a, b) as materialized (select rowid, SampleNo, TestDate from Person";
  const char* order = sortStyle == 0 ? ") select id from m order by a desc, b desc, id"
                                     : ") select id from m order by cast(a as integer) desc, b desc, id";
  return gather + condition + order;
}

std::string HeldPageSql(const std::vector<int64_t>& ids) {
  std::string sql = "select rowid as HeldId, * from Person where rowid in (";
  for (size_t i = 0; i < ids.size(); ++i) sql += (i ? "," : "") + std::to_string(ids[i]);
  return sql + ")";
}

std::string PageSql(int sortStyle, const std::string& condition, int position) {
  return ListSql(sortStyle, condition) + StrPrintf(" limit %d offset %d", kPageSize, position > 1 ? position - 1 : 0);
}

std::string PurgeEmptyRowsSql() {
  std::string sql = "delete from Person where ";
  for (int i = 3; i < kGridRows; ++i) sql += std::string("coalesce(") + kGridColumns[i] + ",'')='' and ";
  for (const char* c : {"Name", "Sex", "MedicalNo", "BedNo", "Dept", "Sender", "Scrutator", "Checker"})
    sql += std::string("coalesce(") + c + ",'')='' and ";
  sql += "coalesce(Age,0)=0";
  return sql;
}

Paging OpenPaging(int total) {
  Paging p;
  p.total = total < 0 ? 0 : total;
  p.pageCount = (p.total + kPageSize - 1) / kPageSize;
  p.currentPage = p.pageCount;
  p.currentRecords = p.total < kPageSize ? p.total : kPageSize;
  p.position = 1;
  return p;
}

bool PageDown(Paging& p) {
  if (p.currentPage <= 1) return false;
  --p.currentPage;
  const int rest = p.total % kPageSize;
  p.currentRecords = p.currentPage == 1 && rest != 0 ? rest : kPageSize;
  p.position += kPageSize;
  return true;
}

bool PageUp(Paging& p) {
  if (p.currentPage >= p.pageCount) return false;
  ++p.currentPage;
  p.position -= kPageSize;
  if (p.position < 1) p.position = 1;
  p.currentRecords = kPageSize;
  return true;
}

void AfterDelete(Paging& p, int deleted) {
  const int remaining = p.total - deleted;
  if (remaining <= 0) {
    p = Paging{};
    return;
  }
  p.total = remaining;
  p.pageCount = (remaining + kPageSize - 1) / kPageSize;
  // The page keeps its first list position unless the list no longer reaches it: then the
  // page before (newer rows) is shown.
  while (p.position > remaining && p.position > 1) p.position -= kPageSize;
  if (p.position < 1) p.position = 1;
  p.currentPage = p.pageCount - (p.position - 1) / kPageSize;
  const int left = remaining - (p.position - 1);
  p.currentRecords = left < kPageSize ? left : kPageSize;
}

std::string StatusText(int l, const Paging& p, bool openingForm) {
  if (p.total <= 0)
    return PickText(l, "共有记录数: 0 条", "Total records: 0", "Total registros: 0", "Total des enregistrements: 0",
                    "Всього записів: 0");
  const char* f = PickText(l, "共有记录数: %d 当前记录数: %d(第%d页)",
                           openingForm ? "Total records: %d Current records: %d(Page %d)"
                                       : "Total records: %d Current Records: %d(Page %d)",
                           "Total registros: %d Registros actuales: %d(Pagina %d)",
                           "Total des enregistrements: %d Enregistrements courants: %d(Page %d)",
                           "Всього записів: %d Поточні записи: %d(Сторінка %d)");
  return StrPrintf(f, p.total, p.currentRecords, p.currentPage);
}

std::string DeleteCountText(int l, int count) {
  return StrPrintf(PickText(l, "删除 %d 条记录", "Delete %d records in all", "Borrar %d registros en total",
                            "Effacer %d donnees sauvegardees au total", "Видалити  %d разом"),
                   count);
}

bool HasMark(const std::string& t) { return t.size() > 1 && t.find(' ', 1) != std::string::npos; }

}  // namespace history
