#pragma once
// A connection to one SQLite database file.
//
// Each Connection owns one engine handle. A connection is used by one thread at a time; any
// number of connections (from any threads) may be open on one file at once. The file is kept
// in WAL journal mode, so readers never wait for a writer; writers wait for each other up to
// the busy time-out and then fail with "database is locked". No call ever aborts or throws:
// every failure comes back as false (or a recordset that is not open) with the engine's own
// error text in LastError().
//
//   db::Connection c;
//   if (!c.Open(path)) show(c.LastError());
//   c.Execute("insert into Person(SampleNo) values('12')");
//   auto rs = c.OpenRecordset("select * from Person order by TestDate desc");
//   while (rs->IsOpen() && !rs->IsEOF()) { use(rs->Field("SampleNo").AsText()); rs->MoveNext(); }
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/db/recordset.h"
#include "platform/db/value.h"

struct sqlite3;

namespace db {

struct Session;  // the engine handle shared by a connection and its recordsets

struct OpenOptions {
  bool create = false;        // create the file when it does not exist
  bool readOnly = false;      // open for reading only: every write fails
  // How long a write waits for another connection's write. The engine waits in real time
  // (this is a lock wait, not program time); tests that provoke a lock pass 0.
  int busyTimeoutMs = 5000;
};

class Connection {
 public:
  Connection();
  ~Connection();  // closes
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  Connection(Connection&&) noexcept;
  Connection& operator=(Connection&&) noexcept;

  // Opens the file (closing what was open first). A missing file fails unless
  // options.create; a file that is not a database fails. Switches the file to WAL.
  bool Open(const std::string& path, const OpenOptions& options = {});
  // Closes the connection. Recordsets opened on it become closed; an open transaction is
  // rolled back. Closing a closed connection does nothing.
  void Close();
  bool IsOpen() const;
  const std::string& Path() const { return path_; }

  // Runs SQL text: one statement, or several separated by ';'. Several statements run as
  // one unit: when any of them fails, none of them has any effect. (A text of several
  // statements must not hold BEGIN/COMMIT itself; use Begin/Commit or Transaction.)
  // Rows of a SELECT are discarded.
  bool Execute(std::string_view sql);
  // Rows changed by the last INSERT, UPDATE or DELETE; rowid of the last INSERT.
  int64_t ChangedRows() const;
  int64_t LastInsertRowId() const;

  // Opens a recordset on the query. Never returns null: on failure the recordset is not
  // open, and both its LastError() and this connection's hold the engine's text.
  std::shared_ptr<Recordset> OpenRecordset(std::string_view sql);
  // The same, into a recordset object the caller owns (it is closed first).
  bool OpenRecordset(std::string_view sql, Recordset* into);

  // Transactions. Begin takes the write lock at once (waiting the busy time-out), so a
  // transaction never fails half-way for a lock held by another connection.
  bool Begin();
  bool Commit();
  bool Rollback();
  bool InTransaction() const;

  // The engine's text and code of the last failure of this connection (empty / 0 after a
  // call that succeeded).
  const std::string& LastError() const { return error_; }
  int LastErrorCode() const { return errorCode_; }

  // The raw engine handle, for what this class does not offer; null when closed.
  sqlite3* Handle() const;

 private:
  friend class Recordset;
  friend class Transaction;
  bool Fail(const std::string& text, int code);
  bool FailFromEngine();
  void ClearError();

  std::shared_ptr<Session> session_;
  std::string path_;
  std::string error_;
  int errorCode_ = 0;
};

// Rolls back unless committed: { db::Transaction t(c); if (!t.Begun()) fail;
// ...; if (!t.Commit()) fail; }
class Transaction {
 public:
  explicit Transaction(Connection& c);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  bool Begun() const { return active_; }
  bool Commit();
  void Rollback();

 private:
  Connection& c_;
  bool active_ = false;
};

}  // namespace db
