#include "platform/db/session.h"

namespace db {

int StatementCache::SchemaVersion(sqlite3* db) {
  if (!schemaQuery_ && sqlite3_prepare_v2(db, "PRAGMA schema_version", -1, &schemaQuery_, nullptr) != SQLITE_OK) {
    schemaQuery_ = nullptr;
    return -1;
  }
  int v = -1;
  if (sqlite3_step(schemaQuery_) == SQLITE_ROW) v = sqlite3_column_int(schemaQuery_, 0);
  sqlite3_reset(schemaQuery_);
  return v;
}

int StatementCache::Take(sqlite3* db, std::string_view sql, sqlite3_stmt** out, size_t* tail) {
  *out = nullptr;
  if (!kept_.empty()) {
    const int now = SchemaVersion(db);
    if (now < 0 || now != schema_) {
      Clear();
    } else {
      for (auto it = kept_.begin(); it != kept_.end(); ++it) {
        if (it->sql != sql) continue;
        *out = it->st;
        if (tail) *tail = it->tail;
        kept_.erase(it);
        return SQLITE_OK;
      }
    }
  }
  const char* rest = nullptr;
  const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), out, &rest);
  if (tail) *tail = rest ? static_cast<size_t>(rest - sql.data()) : sql.size();
  return rc;
}

void StatementCache::Give(sqlite3* db, sqlite3_stmt* st) {
  if (!st) return;
  sqlite3_reset(st);
  sqlite3_clear_bindings(st);
  const char* text = sqlite3_sql(st);
  if (!text) {
    sqlite3_finalize(st);
    return;
  }
  if (kept_.empty()) schema_ = SchemaVersion(db);
  if (schema_ < 0) {
    sqlite3_finalize(st);
    return;
  }
  std::string sql(text);
  const size_t tail = sql.size();
  kept_.push_front(Kept{std::move(sql), tail, st});
  while (kept_.size() > kMax) {
    sqlite3_finalize(kept_.back().st);
    kept_.pop_back();
  }
}

void StatementCache::Clear() {
  for (Kept& k : kept_) sqlite3_finalize(k.st);
  kept_.clear();
  sqlite3_finalize(schemaQuery_);
  schemaQuery_ = nullptr;
  schema_ = -1;
}

void GiveBack(Session* session, sqlite3_stmt* st) {
  if (!st) return;
  if (session && session->db) {
    session->statements.Give(session->db, st);
  } else {
    sqlite3_finalize(st);
  }
}

void CachedStatement::Release() {
  GiveBack(session_, st);
  st = nullptr;
}

}  // namespace db
