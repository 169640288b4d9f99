#include "platform/db/connection.h"

#include "platform/db/fault_vfs.h"

#include <sqlite3.h>

#include "platform/db/session.h"
#include "platform/db/sql_blank.h"

namespace db {

Connection::Connection() = default;
Connection::~Connection() { Close(); }
Connection::Connection(Connection&&) noexcept = default;
Connection& Connection::operator=(Connection&& other) noexcept {
  if (this != &other) {
    Close();
    session_ = std::move(other.session_);
    path_ = std::move(other.path_);
    error_ = std::move(other.error_);
    errorCode_ = other.errorCode_;
  }
  return *this;
}

sqlite3* Connection::Handle() const { return session_ ? session_->db : nullptr; }
bool Connection::IsOpen() const { return Handle() != nullptr; }

void Connection::ClearError() {
  error_.clear();
  errorCode_ = 0;
}

bool Connection::Fail(const std::string& text, int code) {
  error_ = text;
  errorCode_ = code;
  return false;
}

bool Connection::FailFromEngine() {
  sqlite3* h = Handle();
  if (!h) return Fail("the database connection is not open", SQLITE_MISUSE);
  return Fail(sqlite3_errmsg(h), sqlite3_extended_errcode(h));
}

namespace {

// Runs one statement that returns at most a row we do not need.
int RunSimple(sqlite3* h, const char* sql) {
  return sqlite3_exec(h, sql, nullptr, nullptr, nullptr);
}

}  // namespace

bool Connection::Open(const std::string& path, const OpenOptions& options) {
  Close();
  ClearError();
  // The engine would take an empty name as a private temporary database.
  if (path.empty()) return Fail("no database file was named", SQLITE_CANTOPEN);
  int flags = options.readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  // A connection and its recordsets are used by one thread at a time, so the engine's own
  // per-call locking is not needed (it costs a third of the time of reading a keyset).
  flags |= SQLITE_OPEN_NOMUTEX;
  if (options.create && !options.readOnly) flags |= SQLITE_OPEN_CREATE;
  sqlite3* h = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &h, flags, FaultSeamVfs());
  if (rc != SQLITE_OK) {
    std::string text = h ? sqlite3_errmsg(h) : sqlite3_errstr(rc);
    const int code = h ? sqlite3_extended_errcode(h) : rc;
    sqlite3_close_v2(h);
    return Fail(text, code);
  }
  sqlite3_extended_result_codes(h, 1);
  sqlite3_busy_timeout(h, options.busyTimeoutMs > 0 ? options.busyTimeoutMs : 0);
  // WAL lets readers go on while another connection writes. The first statement also tells
  // a file that is not a database.
  rc = options.readOnly ? SQLITE_OK : RunSimple(h, "PRAGMA journal_mode=WAL");
  if (rc == SQLITE_OK) rc = RunSimple(h, "SELECT count(*) FROM sqlite_schema");
  if (rc != SQLITE_OK) {
    std::string text = sqlite3_errmsg(h);
    const int code = sqlite3_extended_errcode(h);
    sqlite3_close_v2(h);
    return Fail(text, code);
  }
  // A commit is on the disk when it returns (the log is flushed at every commit), whatever
  // the engine's built-in default: a result reported as stored survives a power cut.
  if (!options.readOnly) RunSimple(h, "PRAGMA synchronous=FULL");
  // Reads of large tables go through the page map rather than copies into the cache.
  RunSimple(h, "PRAGMA mmap_size=268435456");
  session_ = std::make_shared<Session>();
  session_->db = h;
  path_ = path;
  return true;
}

void Connection::Close() {
  if (!session_) return;
  if (sqlite3* h = session_->db) {
    if (!sqlite3_get_autocommit(h)) RunSimple(h, "ROLLBACK");
    // Recordsets may still hold prepared statements; the engine frees the handle when the
    // last of them is finalized.
    session_->statements.Clear();
    sqlite3_close_v2(h);
    session_->db = nullptr;
  }
  session_.reset();
}

bool Connection::Execute(std::string_view sql) {
  sqlite3* h = Handle();
  if (!h) return FailFromEngine();
  ClearError();
  const char* p = sql.data();
  const char* end = p + sql.size();
  // One statement (the usual case) runs from the connection's prepared statements; several run
  // inside a savepoint so that a failure undoes the earlier ones.
  bool several = false;
  {
    CachedStatement first;
    size_t tail = 0;
    if (first.Prepare(*session_, sql, &tail) == SQLITE_OK) {
      several = first.st && !IsBlankSql(sql.substr(tail));
      if (!several) {
        if (!first.st) return true;  // blanks or comments
        int rc;
        while ((rc = sqlite3_step(first.st)) == SQLITE_ROW) {
        }
        return rc == SQLITE_DONE || FailFromEngine();
      }
    }
    // A prepare error is reported by the run below.
  }
  if (several && RunSimple(h, "SAVEPOINT quorvex_execute") != SQLITE_OK) return FailFromEngine();
  bool ok = true;
  while (p < end) {
    sqlite3_stmt* st = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(h, p, static_cast<int>(end - p), &st, &tail) != SQLITE_OK) {
      ok = FailFromEngine();
      break;
    }
    p = tail;
    if (!st) continue;  // blanks or comments
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) ok = FailFromEngine();
    sqlite3_finalize(st);
    if (!ok) break;
  }
  if (several) {
    if (!ok) {
      // Keep the first error's text; the undo itself rarely fails.
      RunSimple(h, "ROLLBACK TO quorvex_execute");
      RunSimple(h, "RELEASE quorvex_execute");
    } else if (RunSimple(h, "RELEASE quorvex_execute") != SQLITE_OK) {
      ok = FailFromEngine();
      RunSimple(h, "ROLLBACK TO quorvex_execute");
      RunSimple(h, "RELEASE quorvex_execute");
    }
  }
  return ok;
}

int64_t Connection::ChangedRows() const {
  sqlite3* h = Handle();
  return h ? sqlite3_changes64(h) : 0;
}

int64_t Connection::LastInsertRowId() const {
  sqlite3* h = Handle();
  return h ? sqlite3_last_insert_rowid(h) : 0;
}

std::shared_ptr<Recordset> Connection::OpenRecordset(std::string_view sql) {
  auto rs = std::make_shared<Recordset>();
  OpenRecordset(sql, rs.get());
  return rs;
}

bool Connection::OpenRecordset(std::string_view sql, Recordset* into) {
  if (!into) return Fail("no recordset to open into", SQLITE_MISUSE);
  return into->Open(*this, sql);
}

bool Connection::Begin() {
  sqlite3* h = Handle();
  if (!h) return FailFromEngine();
  ClearError();
  if (RunSimple(h, "BEGIN IMMEDIATE") != SQLITE_OK) return FailFromEngine();
  return true;
}

bool Connection::Commit() {
  sqlite3* h = Handle();
  if (!h) return FailFromEngine();
  ClearError();
  if (RunSimple(h, "COMMIT") != SQLITE_OK) return FailFromEngine();
  return true;
}

bool Connection::Rollback() {
  sqlite3* h = Handle();
  if (!h) return FailFromEngine();
  ClearError();
  // The engine may already have rolled back by itself (after a full disk, for one).
  if (sqlite3_get_autocommit(h)) return true;
  if (RunSimple(h, "ROLLBACK") != SQLITE_OK) return FailFromEngine();
  return true;
}

bool Connection::InTransaction() const {
  sqlite3* h = Handle();
  return h && !sqlite3_get_autocommit(h);
}

Transaction::Transaction(Connection& c) : c_(c) { active_ = c_.Begin(); }

Transaction::~Transaction() { Rollback(); }

bool Transaction::Commit() {
  if (!active_) return false;
  if (!c_.Commit()) {
    // A commit that failed leaves the transaction open; undo it rather than leave it half.
    Rollback();
    return false;
  }
  active_ = false;
  return true;
}

void Transaction::Rollback() {
  if (!active_) return;
  active_ = false;
  std::string keep = c_.LastError();
  int keepCode = c_.LastErrorCode();
  c_.Rollback();
  if (!keep.empty()) c_.Fail(keep, keepCode);  // the caller wants the first failure's text
}

}  // namespace db
