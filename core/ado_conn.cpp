#include "core/ado_conn.h"

#include "core/db_errors.h"
#include "platform/sys/program_dir.h"

std::recursive_mutex& DbLock() {
  static std::recursive_mutex lock;
  return lock;
}

std::string DatabasePath() { return sys::ProgramFile("Vantorium.mdb"); }

CADOConn::CADOConn() : recordset_(std::make_shared<db::Recordset>()) {}

CADOConn::~CADOConn() {
  // Callers close first; the engine objects are released (and closed) with the members.
  std::lock_guard<std::recursive_mutex> g(DbLock());
  recordset_.reset();
  connection_.Close();
}

bool CADOConn::ConnectLocked(std::string* error) {
  connection_.Close();
  if (connection_.Open(DatabasePath())) return true;
  *error = connection_.LastError();
  if (error->empty()) *error = "Cannot open the database " + DatabasePath();
  connection_.Close();  // nothing half-open is kept: the next operation connects anew
  return false;
}

void CADOConn::Connect() {
  std::string error;
  bool ok;
  {
    std::lock_guard<std::recursive_mutex> g(DbLock());
    ok = ConnectLocked(&error);
  }
  error_ = error;
  if (!ok) ReportDbError(error);
}

RecordsetPtr& CADOConn::OpenRecordset(const std::string& sql) {
  std::string error;
  {
    std::lock_guard<std::recursive_mutex> g(DbLock());
    // A fresh recordset each time: a caller still holding the previous pointer keeps its own.
    recordset_ = std::make_shared<db::Recordset>();
    if (connection_.IsOpen() || ConnectLocked(&error)) {
      if (!recordset_->Open(connection_, sql)) {
        error = recordset_->LastError();
        if (error.empty()) error = "Cannot open: " + sql;
      }
    }
  }
  error_ = error;
  if (!error.empty()) ReportDbError(error);
  return recordset_;
}

int CADOConn::Execute(const std::string& sql) {
  std::string error;
  {
    std::lock_guard<std::recursive_mutex> g(DbLock());
    if (connection_.IsOpen() || ConnectLocked(&error)) {
      if (!connection_.Execute(sql)) {
        error = connection_.LastError();
        if (error.empty()) error = "Cannot run: " + sql;
      }
    }
  }
  error_ = error;
  if (!error.empty()) {
    ReportDbError(error);
    return 0;
  }
  return 1;
}

void CADOConn::CloseRecordset() {
  std::lock_guard<std::recursive_mutex> g(DbLock());
  if (recordset_ && recordset_->IsOpen()) recordset_->Close();
}

void CADOConn::Disconnect() {
  std::lock_guard<std::recursive_mutex> g(DbLock());
  if (recordset_ && recordset_->IsOpen()) recordset_->Close();
  connection_.Close();
}

bool CADOConn::IsConnected() const { return connection_.IsOpen(); }

bool CADOConn::RecordsetOpen() const { return recordset_ && recordset_->IsOpen(); }
