#pragma once
// The engine handle a connection shares with its recordsets. A recordset keeps the session
// alive; when the connection closes, `db` becomes null and every recordset on it reads as
// closed. Each Open of a connection makes a new session.
#include <sqlite3.h>

namespace db {

struct Session {
  sqlite3* db = nullptr;
};

}  // namespace db
