#pragma once
// The engine handle a connection shares with its recordsets. A recordset keeps the session
// alive; when the connection closes, `db` becomes null and every recordset on it reads as
// closed. Each Open of a connection makes a new session.
#include <sqlite3.h>

#include <cstddef>
#include <list>
#include <string>
#include <string_view>

namespace db {

// Prepared statements of one connection kept by their SQL text, so that a query run again (the
// rows of a keyset, a sample's limits, the same insert) is not parsed again. A statement is taken
// out while it is in use and given back reset, with its bindings cleared; the least recently
// given back go first beyond kMax. Everything kept is dropped when the database's schema changes
// (a statement's column names are those of its preparation) and when the connection closes.
class StatementCache {
 public:
  static constexpr size_t kMax = 48;
  ~StatementCache() { Clear(); }

  // A statement for the first statement of `sql`, prepared or taken from the cache; *tail (when
  // given) is the offset in `sql` after it. SQLITE_OK or the engine's code of the failed
  // preparation (the statement may be null for a text of blanks).
  int Take(sqlite3* db, std::string_view sql, sqlite3_stmt** out, size_t* tail = nullptr);
  // Gives a statement back for its text (the text it was taken for); null does nothing.
  void Give(sqlite3* db, sqlite3_stmt* st);
  void Clear();
  size_t Size() const { return kept_.size(); }

 private:
  struct Kept {
    std::string sql;
    size_t tail;
    sqlite3_stmt* st;
  };
  // The schema cookie when the statements kept were prepared; -1 while none is known.
  int SchemaVersion(sqlite3* db);
  std::list<Kept> kept_;  // most recently given back first
  sqlite3_stmt* schemaQuery_ = nullptr;
  int schema_ = -1;
};

struct Session {
  sqlite3* db = nullptr;
  StatementCache statements;
};

// A statement taken from the session's cache and given back (or finalized, once the connection
// has closed) when the guard ends.
class CachedStatement {
 public:
  CachedStatement() = default;
  ~CachedStatement() { Release(); }
  CachedStatement(const CachedStatement&) = delete;
  CachedStatement& operator=(const CachedStatement&) = delete;
  int Prepare(Session& session, std::string_view sql, size_t* tail = nullptr) {
    Release();
    session_ = &session;
    return session.statements.Take(session.db, sql, &st, tail);
  }
  // Hands the statement over to the caller, who gives it back with GiveBack.
  sqlite3_stmt* Keep() {
    sqlite3_stmt* s = st;
    st = nullptr;
    return s;
  }
  void Release();
  sqlite3_stmt* st = nullptr;

 private:
  Session* session_ = nullptr;
};

// Gives a kept statement back to its session's cache, or finalizes it when the session's
// connection has closed.
void GiveBack(Session* session, sqlite3_stmt* st);

}  // namespace db
