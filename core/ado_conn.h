#pragma once
// CADOConn: a screen's or a thread's own way to the data store Vantorium.mdb in the program
// folder. Five operations (Connect, OpenRecordset, Execute, CloseRecordset, Disconnect), each
// holding the process-wide DbLock for its whole length, so no two threads are inside the engine's
// open, execute or close calls at once. Reading fields of an opened recordset runs outside the
// lock; every CADOConn is used by one thread only.
//
// Engine errors are reported through ReportDbError (the operator sees the engine's text; see
// db_errors.h) after the lock is released, and the operation ends as failed. Nothing throws.
//
//   CADOConn conn;
//   RecordsetPtr& rs = conn.OpenRecordset("Select * from SysSetting");
//   if (conn.RecordsetOpen() && !rs->IsBOF()) ReadField(*rs, "SLanguage", language);
//   conn.CloseRecordset();
//   conn.Execute("update SysSetting set SLanguage=1");
#include <memory>
#include <mutex>
#include <string>

#include "platform/db/connection.h"
#include "platform/db/recordset.h"

using RecordsetPtr = std::shared_ptr<db::Recordset>;

// The one lock of the data layer; re-entrant for the thread that holds it.
std::recursive_mutex& DbLock();

// Full path of the data store: the program folder + "Vantorium.mdb".
std::string DatabasePath();

class CADOConn {
 public:
  CADOConn();
  virtual ~CADOConn();
  CADOConn(const CADOConn&) = delete;
  CADOConn& operator=(const CADOConn&) = delete;

  // Opens a new connection to the data store (dropping the one held). A failure is reported;
  // the object then holds no connection, and the next OpenRecordset or Execute tries again.
  void Connect();

  // Opens a recordset on the SQL text, connecting first when needed, and returns the object's
  // own recordset pointer. It is never null: after a failure (reported) it points to a
  // recordset that is not open, whose reads give Null and whose moves fail.
  RecordsetPtr& OpenRecordset(const std::string& sql);

  // Runs an SQL text, connecting first when needed. 1 on success, 0 after a (reported) failure.
  int Execute(const std::string& sql);

  // Closes the held recordset if it is open. Safe at any time.
  void CloseRecordset();

  // Closes the recordset and the connection. Safe when never connected. The object can
  // connect again afterwards.
  void Disconnect();

  bool IsConnected() const;
  // Whether the last OpenRecordset succeeded and its recordset is still open.
  bool RecordsetOpen() const;
  RecordsetPtr& Recordset() { return recordset_; }
  // Engine text of the last failure of this object ("" after a success).
  const std::string& LastError() const { return error_; }
  // The underlying connection, for transactions; connect first.
  db::Connection& Connection() { return connection_; }

 private:
  bool ConnectLocked(std::string* error);

  db::Connection connection_;
  RecordsetPtr recordset_;
  std::string error_;
};
