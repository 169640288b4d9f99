#pragma once
// The engine handle a connection shares with its recordsets. A recordset keeps the session
// alive; when the connection closes, `db` becomes null and every recordset on it reads as
// closed.
#include <sqlite3.h>

#include <cstdint>

namespace db {

struct Session {
  sqlite3* db = nullptr;
  uint64_t generation = 0;  // bumped by every open and close
};

}  // namespace db
