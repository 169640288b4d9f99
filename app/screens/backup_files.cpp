#include "app/screens/backup_files.h"

#include <sqlite3.h>

#include <filesystem>
#include <mutex>

#include "core/ado_conn.h"
#include "platform/sys/file_io.h"
#include "platform/sys/file_ops.h"
#include "platform/sys/path_map.h"

namespace fs = std::filesystem;

namespace {

std::string Join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

struct Handle {
  sqlite3* db = nullptr;
  ~Handle() {
    if (db) sqlite3_close_v2(db);
  }
};

bool CopyWhole(const std::string& from, const std::string& to, std::string* error) {
  // The copy is written beside the destination and renamed, so it never leaves half a file.
  return sys::CopyFile(from, to, false, error);
}

void Record(CopyOutcome& out, bool ok, const std::string& from, const std::string& to, const std::string& error) {
  if (ok) out.copied.push_back(to);
  else out.failed.push_back(from + " -> " + to + ": " + error);
}

}  // namespace

bool CopyDatabase(const std::string& from, const std::string& to, std::string* error) {
  Handle src, dst;
  auto fail = [&](sqlite3* db, const char* what) {
    if (error) *error = std::string(what) + (db ? std::string(": ") + sqlite3_errmsg(db) : std::string());
    return false;
  };
  if (sqlite3_open_v2(from.c_str(), &src.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
    return fail(src.db, "cannot open the source");
  // A file that is not a database fails here, before anything is written.
  if (sqlite3_exec(src.db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK)
    return fail(src.db, "the source is not a database");
  if (sqlite3_open_v2(to.c_str(), &dst.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
    return fail(dst.db, "cannot open the destination");
  sqlite3_busy_timeout(dst.db, 5000);
  sqlite3_busy_timeout(src.db, 5000);
  std::lock_guard<std::recursive_mutex> hold(DbLock());
  sqlite3_backup* b = sqlite3_backup_init(dst.db, "main", src.db, "main");
  if (!b) return fail(dst.db, "cannot start the copy");
  const int step = sqlite3_backup_step(b, -1);
  sqlite3_backup_finish(b);
  if (step != SQLITE_DONE) return fail(dst.db, "the copy failed");
  // Fold the log into the file so the copy stands on its own.
  sqlite3_wal_checkpoint_v2(dst.db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
  return true;
}

CopyOutcome BackupProgramFiles(const std::string& programFolder, const std::string& folder) {
  CopyOutcome out;
  if (!sys::IsDirectory(folder) && !sys::CreateFolder(folder)) {
    out.folderFailed = true;
    return out;
  }
  std::vector<std::string> mdb, dat;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(programFolder, ec)) {
    if (!entry.is_regular_file()) continue;
    const std::string name = entry.path().filename().string();
    if (sys::WildcardMatch("*.mdb", name)) mdb.push_back(name);
    else if (sys::WildcardMatch("*.dat", name)) dat.push_back(name);
  }
  for (const std::string& name : mdb) {
    std::string error;
    const std::string from = Join(programFolder, name), to = Join(folder, name);
    // Made beside the old copy and renamed, so an old or damaged copy never spoils the new one.
    const std::string part = to + ".part";
    std::error_code rm;
    fs::remove(part, rm);
    bool ok = CopyDatabase(from, part, &error);
    if (ok) {
      fs::remove(to + "-wal", rm);
      fs::remove(to + "-shm", rm);
      ok = sys::RenameFile(part, to, &error);
    }
    if (!ok) fs::remove(part, rm);
    Record(out, ok, from, to, error);
  }
  for (const std::string& name : dat) {
    std::string error;
    const std::string from = Join(programFolder, name), to = Join(folder, name);
    Record(out, CopyWhole(from, to, &error), from, to, error);
  }
  {
    std::string error;
    const std::string from = Join(programFolder, "Setting.ini"), to = Join(folder, "Setting.ini");
    Record(out, CopyWhole(sys::ResolveCase(from), to, &error), from, to, error);
  }
  return out;
}

CopyOutcome RestoreProgramFiles(const std::string& programFolder, const std::string& folder) {
  CopyOutcome out;
  const char* const kNames[4] = {"vantorium.mdb", "TDI.dat", "TD.dat", "Setting.ini"};
  for (int i = 0; i < 4; ++i) {
    const std::string from = sys::ResolveCase(Join(folder, kNames[i]));
    if (!sys::FileExists(from) || sys::IsDirectory(from)) {
      out.missing.push_back(Join(folder, kNames[i]));
      continue;
    }
    std::string error;
    if (i == 0) {
      const std::string to = DatabasePath();
      Record(out, CopyDatabase(from, to, &error), from, to, error);
    } else {
      const std::string to = sys::ResolveCase(Join(programFolder, kNames[i]));
      Record(out, CopyWhole(from, to, &error), from, to, error);
    }
  }
  return out;
}
