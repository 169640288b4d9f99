#include "platform/db/recordset.h"

#include <sqlite3.h>

#include <cctype>
#include <optional>
#include <unordered_map>

#include "platform/db/connection.h"
#include "platform/db/session.h"
#include "platform/db/sql_blank.h"
#include "platform/db/sql_text.h"

namespace db {

namespace {

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

Value ColumnValue(sqlite3_stmt* st, int i) {
  switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER: return Value(static_cast<int64_t>(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT: return Value(sqlite3_column_double(st, i));
    case SQLITE_NULL: return Value();
    case SQLITE_BLOB: {
      const void* p = sqlite3_column_blob(st, i);
      const int n = sqlite3_column_bytes(st, i);
      return Value(std::string(static_cast<const char*>(p), p ? n : 0));
    }
    default: {
      const unsigned char* p = sqlite3_column_text(st, i);
      const int n = sqlite3_column_bytes(st, i);
      return Value(std::string(reinterpret_cast<const char*>(p), p ? n : 0));
    }
  }
}

int Bind(sqlite3_stmt* st, int slot, const Value& v) {
  switch (v.type()) {
    case Value::Type::Null: return sqlite3_bind_null(st, slot);
    case Value::Type::Integer: return sqlite3_bind_int64(st, slot, v.integer());
    case Value::Type::Real: return sqlite3_bind_double(st, slot, v.real());
    case Value::Type::Text:
      return sqlite3_bind_text(st, slot, v.text().data(), static_cast<int>(v.text().size()),
                               SQLITE_TRANSIENT);
  }
  return SQLITE_MISUSE;
}

struct StmtGuard {
  sqlite3_stmt* st = nullptr;
  ~StmtGuard() { sqlite3_finalize(st); }
};

const char kNotOpen[] = "the recordset is not open";
const char kNoRow[] = "there is no current row (BOF or EOF)";
const char kDeletedRow[] = "the current row has been deleted";
const char kWhole[] = "the recordset cannot change rows: its query is not over a single table";

}  // namespace

struct Recordset::Impl {
  std::shared_ptr<Session> session;
  std::string sql;
  bool open = false;
  bool keyset = false;
  std::vector<std::string> names;
  std::unordered_map<std::string, int> byName;  // lower-case name -> first index

  std::vector<std::vector<Value>> rows;  // whole
  std::vector<int64_t> keys;             // keyset
  std::string table;                     // keyset: table name as written
  sqlite3_stmt* fetch = nullptr;         // keyset: SELECT <columns> FROM <table> WHERE rowid=?1

  int index = 0;           // 0-based; -1 before the first; size() after the last
  bool onDeleted = false;  // the current row was deleted here; index is the row that followed
  int pageSize = 10;

  bool cached = false;  // `row` holds the current row
  bool rowGone = false;  // the current row no longer exists in its table
  std::vector<Value> row;
  std::vector<std::optional<Value>> pending;
  bool editing = false;

  std::string error;

  ~Impl() { GiveBack(session.get(), fetch); }

  sqlite3* db() const { return session ? session->db : nullptr; }
  bool live() const { return open && db() != nullptr; }
  int count() const { return keyset ? static_cast<int>(keys.size()) : static_cast<int>(rows.size()); }
  bool bof() const { return !onDeleted && (count() == 0 || index < 0); }
  bool eof() const { return !onDeleted && (count() == 0 || index >= count()); }
  bool onRow() const { return !onDeleted && index >= 0 && index < count(); }

  bool Fail(std::string text) {
    error = std::move(text);
    return false;
  }
  bool FailEngine() { return Fail(db() ? sqlite3_errmsg(db()) : kNotOpen); }

  void Moved() {
    cached = false;
    rowGone = false;
  }

  void Reset() {
    GiveBack(session.get(), fetch);
    fetch = nullptr;
    session.reset();
    open = keyset = false;
    names.clear();
    byName.clear();
    rows.clear();
    keys.clear();
    table.clear();
    index = 0;
    onDeleted = false;
    cached = rowGone = false;
    row.clear();
    pending.clear();
    editing = false;
  }

  void SetNames(sqlite3_stmt* st) {
    const int n = sqlite3_column_count(st);
    for (int i = 0; i < n; ++i) {
      const char* name = sqlite3_column_name(st, i);
      names.emplace_back(name ? name : "");
      byName.emplace(LowerAscii(names.back()), i);
    }
  }

  // Tries to hold the query as a keyset. False (with nothing changed) when it cannot be.
  bool TryKeyset(std::string_view text, std::string* engineError) {
    const SingleTableSelect shape = MatchSingleTableSelect(text);
    if (!shape.matches) return false;
    sqlite3* h = db();
    CachedStatement keyQuery;
    const std::string keySql = "SELECT rowid FROM " + shape.table + (shape.rest.empty() ? "" : " ") + shape.rest;
    if (keyQuery.Prepare(*session, keySql) != SQLITE_OK || !keyQuery.st) return false;
    CachedStatement rowQuery;
    const std::string rowSql = "SELECT " + shape.columns + " FROM " + shape.table + " WHERE rowid=?1";
    if (rowQuery.Prepare(*session, rowSql) != SQLITE_OK || !rowQuery.st) return false;
    if (sqlite3_column_count(rowQuery.st) != static_cast<int>(names.size())) return false;
    std::vector<int64_t> found;
    int rc;
    while ((rc = sqlite3_step(keyQuery.st)) == SQLITE_ROW) {
      // A view has no rowids (they read Null): hold it whole.
      if (found.empty() && sqlite3_column_type(keyQuery.st, 0) != SQLITE_INTEGER) return false;
      found.push_back(sqlite3_column_int64(keyQuery.st, 0));
    }
    if (rc != SQLITE_DONE) {
      *engineError = sqlite3_errmsg(h);
      return true;  // a real failure (locked, I/O): report it, do not retry whole
    }
    keys = std::move(found);
    table = shape.table;
    fetch = rowQuery.Keep();
    keyset = true;
    return true;
  }

  bool LoadRow() {
    if (cached) return true;
    const size_t n = names.size();
    if (!keyset) {
      cached = true;  // whole rows are read in place
      rowGone = false;
      return true;
    }
    sqlite3_reset(fetch);
    sqlite3_bind_int64(fetch, 1, keys[static_cast<size_t>(index)]);
    const int rc = sqlite3_step(fetch);
    if (rc == SQLITE_ROW) {
      row.resize(n);
      // The table may have been altered since opening; read what both sides have.
      const int have = sqlite3_column_count(fetch);
      for (size_t i = 0; i < n; ++i) row[i] = static_cast<int>(i) < have ? ColumnValue(fetch, static_cast<int>(i)) : Value();
      rowGone = false;
    } else if (rc == SQLITE_DONE) {
      row.assign(n, Value());
      rowGone = true;
    } else {
      error = sqlite3_errmsg(db());
      sqlite3_reset(fetch);
      return false;
    }
    sqlite3_reset(fetch);  // never keep a read transaction open between calls
    cached = true;
    return true;
  }

  bool FlushEdits() {
    if (!editing) return true;
    return DoUpdate();
  }

  bool DoUpdate() {
    if (!live()) return Fail(kNotOpen);
    if (!keyset) return Fail(kWhole);
    if (onDeleted) return Fail(kDeletedRow);
    if (!onRow()) return Fail(kNoRow);
    if (!editing) return true;
    std::string sqlText = "UPDATE " + table + " SET ";
    bool first = true;
    for (size_t i = 0; i < pending.size(); ++i) {
      if (!pending[i]) continue;
      if (!first) sqlText += ", ";
      first = false;
      sqlText += QuoteIdentifier(names[i]) + "=?" + std::to_string(i + 1);
    }
    sqlText += " WHERE rowid=?" + std::to_string(names.size() + 1);
    CachedStatement st;
    if (st.Prepare(*session, sqlText) != SQLITE_OK || !st.st) return FailEngine();
    for (size_t i = 0; i < pending.size(); ++i)
      if (pending[i]) Bind(st.st, static_cast<int>(i + 1), *pending[i]);
    sqlite3_bind_int64(st.st, static_cast<int>(names.size() + 1), keys[static_cast<size_t>(index)]);
    if (sqlite3_step(st.st) != SQLITE_DONE) return FailEngine();
    if (sqlite3_changes(db()) == 0) return Fail("the row no longer exists in its table");
    pending.assign(names.size(), std::nullopt);
    editing = false;
    Moved();  // read back what the table stored
    return true;
  }

  // Moves prepared by the public calls: pending assignments are written first, as a cursor
  // does when it leaves an edited row.
  bool BeginMove() {
    if (!live()) return Fail(kNotOpen);
    return FlushEdits();
  }
};

Recordset::Recordset() : impl_(std::make_unique<Impl>()) {}
Recordset::~Recordset() = default;
// A moved-from recordset keeps a fresh, closed state of its own, so calls on it fail
// instead of touching nothing.
Recordset::Recordset(Recordset&& other) noexcept : impl_(std::make_unique<Impl>()) { impl_.swap(other.impl_); }
Recordset& Recordset::operator=(Recordset&& other) noexcept {
  if (this != &other) {
    impl_.swap(other.impl_);
    other.Close();
  }
  return *this;
}

bool Recordset::Open(Connection& connection, std::string_view sql) {
  if (!impl_) impl_ = std::make_unique<Impl>();
  Impl& m = *impl_;
  m.Reset();
  m.error.clear();
  m.sql = std::string(sql);
  auto fail = [&](std::string text, int code) {
    m.Reset();
    m.error = text;
    connection.Fail(text, code);
    return false;
  };
  if (!connection.IsOpen()) return fail("the database connection is not open", SQLITE_MISUSE);
  connection.ClearError();
  m.session = connection.session_;
  sqlite3* h = m.db();

  CachedStatement query;
  size_t tail = 0;
  if (query.Prepare(*m.session, m.sql, &tail) != SQLITE_OK) return fail(sqlite3_errmsg(h), sqlite3_extended_errcode(h));
  if (!query.st) return fail("the query is empty", SQLITE_MISUSE);
  if (!IsBlankSql(std::string_view(m.sql).substr(tail))) return fail("a recordset opens one statement only", SQLITE_MISUSE);
  m.SetNames(query.st);

  std::string engineError;
  if (m.TryKeyset(m.sql, &engineError)) {
    if (!engineError.empty()) return fail(engineError, sqlite3_extended_errcode(h));
  } else {
    int rc;
    const int n = static_cast<int>(m.names.size());
    while ((rc = sqlite3_step(query.st)) == SQLITE_ROW) {
      std::vector<Value> r;
      r.reserve(static_cast<size_t>(n));
      for (int i = 0; i < n; ++i) r.push_back(ColumnValue(query.st, i));
      m.rows.push_back(std::move(r));
    }
    if (rc != SQLITE_DONE) return fail(sqlite3_errmsg(h), sqlite3_extended_errcode(h));
  }
  m.open = true;
  m.index = 0;
  m.pending.assign(m.names.size(), std::nullopt);
  return true;
}

void Recordset::Close() {
  if (!impl_) return;
  std::string sql = std::move(impl_->sql);
  impl_->Reset();
  impl_->sql = std::move(sql);
}

bool Recordset::IsOpen() const { return impl_ && impl_->live(); }
bool Recordset::IsKeyset() const { return IsOpen() && impl_->keyset; }
const std::string& Recordset::Sql() const { return impl_->sql; }
const std::string& Recordset::LastError() const { return impl_->error; }

bool Recordset::IsBOF() const { return !IsOpen() || impl_->bof(); }
bool Recordset::IsEOF() const { return !IsOpen() || impl_->eof(); }

bool Recordset::MoveFirst() {
  Impl& m = *impl_;
  m.error.clear();
  if (!m.BeginMove()) return false;
  m.onDeleted = false;
  m.index = 0;
  m.Moved();
  return m.count() > 0;
}

bool Recordset::MoveLast() {
  Impl& m = *impl_;
  m.error.clear();
  if (!m.BeginMove()) return false;
  m.onDeleted = false;
  m.index = m.count() > 0 ? m.count() - 1 : 0;
  m.Moved();
  return m.count() > 0;
}

bool Recordset::MoveNext() {
  Impl& m = *impl_;
  m.error.clear();
  if (!m.live()) return m.Fail(kNotOpen);
  if (m.eof()) return m.Fail("the cursor is already past the last row (EOF)");
  if (!m.BeginMove()) return false;
  if (m.onDeleted) {
    m.onDeleted = false;  // index already names the row that followed the deleted one
  } else {
    ++m.index;
  }
  if (m.index > m.count()) m.index = m.count();
  m.Moved();
  return true;
}

bool Recordset::MovePrevious() {
  Impl& m = *impl_;
  m.error.clear();
  if (!m.live()) return m.Fail(kNotOpen);
  if (m.bof()) return m.Fail("the cursor is already before the first row (BOF)");
  if (!m.BeginMove()) return false;
  m.onDeleted = false;
  --m.index;
  if (m.index > m.count() - 1) m.index = m.count() - 1;
  if (m.index < -1) m.index = -1;
  m.Moved();
  return true;
}

int Recordset::RecordCount() const { return IsOpen() ? impl_->count() : -1; }

int Recordset::AbsolutePosition() const {
  if (!IsOpen() || impl_->onDeleted) return kUnknownPosition;
  if (impl_->bof()) return kBOFPosition;
  if (impl_->eof()) return kEOFPosition;
  return impl_->index + 1;
}

bool Recordset::SetAbsolutePosition(int position) {
  Impl& m = *impl_;
  m.error.clear();
  if (!m.live()) return m.Fail(kNotOpen);
  if (position < 1 || position > m.count())
    return m.Fail("position " + std::to_string(position) + " is outside the rows 1 to " + std::to_string(m.count()));
  if (!m.BeginMove()) return false;
  m.onDeleted = false;
  m.index = position - 1;
  m.Moved();
  return true;
}

int Recordset::PageSize() const { return impl_->pageSize; }

bool Recordset::SetPageSize(int rows) {
  if (rows < 1) return impl_->Fail("the page size must be at least 1");
  impl_->pageSize = rows;
  return true;
}

int Recordset::PageCount() const {
  if (!IsOpen()) return -1;
  return (impl_->count() + impl_->pageSize - 1) / impl_->pageSize;
}

int Recordset::AbsolutePage() const {
  const int pos = AbsolutePosition();
  if (pos < 1) return pos;
  return (pos - 1) / impl_->pageSize + 1;
}

bool Recordset::SetAbsolutePage(int page) {
  Impl& m = *impl_;
  m.error.clear();
  if (!m.live()) return m.Fail(kNotOpen);
  if (page < 1 || page > PageCount())
    return m.Fail("page " + std::to_string(page) + " is outside the pages 1 to " + std::to_string(PageCount()));
  return SetAbsolutePosition((page - 1) * m.pageSize + 1);
}

int Recordset::FieldCount() const { return IsOpen() ? static_cast<int>(impl_->names.size()) : 0; }

std::string Recordset::FieldName(int index) const {
  if (index < 0 || index >= static_cast<int>(impl_->names.size())) return std::string();
  return impl_->names[static_cast<size_t>(index)];
}

const std::vector<std::string>& Recordset::FieldNames() const { return impl_->names; }

int Recordset::FieldIndex(std::string_view name) const {
  auto it = impl_->byName.find(LowerAscii(name));
  return it == impl_->byName.end() ? -1 : it->second;
}

Value Recordset::Field(int index) {
  Impl& m = *impl_;
  m.error.clear();
  if (!m.live()) return (m.Fail(kNotOpen), Value());
  if (index < 0 || index >= static_cast<int>(m.names.size()))
    return (m.Fail("there is no field number " + std::to_string(index)), Value());
  if (m.onDeleted) return (m.Fail(kDeletedRow), Value());
  if (!m.onRow()) return (m.Fail(kNoRow), Value());
  if (m.pending[static_cast<size_t>(index)]) return *m.pending[static_cast<size_t>(index)];
  if (!m.LoadRow()) return Value();
  if (m.rowGone) return (m.Fail(kDeletedRow), Value());
  const auto& current = m.keyset ? m.row : m.rows[static_cast<size_t>(m.index)];
  return current[static_cast<size_t>(index)];
}

Value Recordset::Field(std::string_view name) {
  impl_->error.clear();
  const int i = FieldIndex(name);
  if (i < 0) return (impl_->Fail("there is no field named '" + std::string(name) + "'"), Value());
  return Field(i);
}

bool Recordset::RowDeleted() {
  Impl& m = *impl_;
  m.error.clear();
  if (!m.live()) return false;
  if (m.onDeleted) return true;
  if (!m.onRow() || !m.LoadRow()) return false;
  return m.rowGone;
}

bool Recordset::SetField(int index, const Value& v) {
  Impl& m = *impl_;
  m.error.clear();
  if (!m.live()) return m.Fail(kNotOpen);
  if (!m.keyset) return m.Fail(kWhole);
  if (index < 0 || index >= static_cast<int>(m.names.size()))
    return m.Fail("there is no field number " + std::to_string(index));
  if (m.onDeleted) return m.Fail(kDeletedRow);
  if (!m.onRow()) return m.Fail(kNoRow);
  m.pending[static_cast<size_t>(index)] = v;
  m.editing = true;
  return true;
}

bool Recordset::SetField(std::string_view name, const Value& v) {
  impl_->error.clear();
  const int i = FieldIndex(name);
  if (i < 0) return impl_->Fail("there is no field named '" + std::string(name) + "'");
  return SetField(i, v);
}

bool Recordset::IsEditing() const { return IsOpen() && impl_->editing; }

bool Recordset::Update() {
  impl_->error.clear();
  return impl_->DoUpdate();
}

void Recordset::CancelUpdate() {
  impl_->pending.assign(impl_->names.size(), std::nullopt);
  impl_->editing = false;
}

bool Recordset::Delete() {
  Impl& m = *impl_;
  m.error.clear();
  if (!m.live()) return m.Fail(kNotOpen);
  if (!m.keyset) return m.Fail(kWhole);
  if (m.onDeleted) return m.Fail(kDeletedRow);
  if (!m.onRow()) return m.Fail(kNoRow);
  StmtGuard st;
  const std::string sqlText = "DELETE FROM " + m.table + " WHERE rowid=?1";
  if (sqlite3_prepare_v2(m.db(), sqlText.c_str(), -1, &st.st, nullptr) != SQLITE_OK) return m.FailEngine();
  sqlite3_bind_int64(st.st, 1, m.keys[static_cast<size_t>(m.index)]);
  if (sqlite3_step(st.st) != SQLITE_DONE) return m.FailEngine();
  // Already gone (deleted elsewhere) counts as deleted too.
  CancelUpdate();
  m.keys.erase(m.keys.begin() + m.index);
  m.onDeleted = true;
  m.Moved();
  return true;
}

}  // namespace db
