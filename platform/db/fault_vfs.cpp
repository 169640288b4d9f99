#include "platform/db/fault_vfs.h"

#include <sqlite3.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/sys/file_io.h"

namespace db {
namespace {

constexpr const char* kName = "quorvex-seam";

sqlite3_vfs* g_real = nullptr;  // the engine's default layer
sqlite3_vfs g_vfs;

// Our file object; the real one follows it in the same allocation.
struct SeamFile {
  sqlite3_file base;
  sqlite3_file* real;
  const char* name;  // valid until close, as the engine guarantees
  // A journal or log file the engine has just made: its folder entry is flushed with its first
  // flush, and that folder flush passes the seam as well.
  bool newEntry;
};

sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<SeamFile*>(f)->real; }
std::string NameOf(sqlite3_file* f) {
  const char* n = reinterpret_cast<SeamFile*>(f)->name;
  return n ? n : "";
}

int Fault(sqlite3_file* f, sys::IoOp op, int ioerr, size_t* limit = nullptr) {
  const sys::IoFault fault = sys::CheckIo(op, NameOf(f));
  if (limit) *limit = fault.limit;
  if (fault.error == 0) return SQLITE_OK;
  return fault.error == ENOSPC ? SQLITE_FULL : ioerr;
}

int Close(sqlite3_file* f) {
  sqlite3_file* r = Real(f);
  return r->pMethods ? r->pMethods->xClose(r) : SQLITE_OK;
}
int Read(sqlite3_file* f, void* p, int n, sqlite3_int64 at) { return Real(f)->pMethods->xRead(Real(f), p, n, at); }
int Write(sqlite3_file* f, const void* p, int n, sqlite3_int64 at) {
  // A short write the seam gives is continued with the rest, as the file layer does.
  const char* bytes = static_cast<const char*>(p);
  for (;;) {
    size_t limit = 0;
    if (int rc = Fault(f, sys::IoOp::Write, SQLITE_IOERR_WRITE, &limit); rc != SQLITE_OK) return rc;
    if (limit >= static_cast<size_t>(n)) return Real(f)->pMethods->xWrite(Real(f), bytes, n, at);
    const int part = static_cast<int>(limit);
    if (int rc = Real(f)->pMethods->xWrite(Real(f), bytes, part, at); rc != SQLITE_OK) return rc;
    bytes += part;
    n -= part;
    at += part;
  }
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
  if (int rc = Fault(f, sys::IoOp::Truncate, SQLITE_IOERR_TRUNCATE); rc != SQLITE_OK) return rc;
  return Real(f)->pMethods->xTruncate(Real(f), size);
}
std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

int Sync(sqlite3_file* f, int flags) {
  if (int rc = Fault(f, sys::IoOp::Sync, SQLITE_IOERR_FSYNC); rc != SQLITE_OK) return rc;
  SeamFile* s = reinterpret_cast<SeamFile*>(f);
  if (s->newEntry) {
    if (!sys::SyncFolder(FolderOf(NameOf(f)))) return SQLITE_IOERR_DIR_FSYNC;
    s->newEntry = false;
  }
  const auto t0 = std::chrono::steady_clock::now();
  const int rc = Real(f)->pMethods->xSync(Real(f), flags);
  sys::AddFlushWaitNs(static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - t0).count()));
  return rc;
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) { return Real(f)->pMethods->xFileSize(Real(f), size); }
int Lock(sqlite3_file* f, int level) { return Real(f)->pMethods->xLock(Real(f), level); }
int Unlock(sqlite3_file* f, int level) { return Real(f)->pMethods->xUnlock(Real(f), level); }
int CheckReservedLock(sqlite3_file* f, int* out) { return Real(f)->pMethods->xCheckReservedLock(Real(f), out); }
int FileControl(sqlite3_file* f, int op, void* arg) { return Real(f)->pMethods->xFileControl(Real(f), op, arg); }
int SectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
int DeviceCharacteristics(sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); }
int ShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
  return Real(f)->pMethods->xShmMap(Real(f), page, size, extend, out);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) { return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags); }
void ShmBarrier(sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); }
int ShmUnmap(sqlite3_file* f, int deleteFlag) { return Real(f)->pMethods->xShmUnmap(Real(f), deleteFlag); }

// Memory-mapped reads are left off (version 2 methods), so every write passes xWrite.
const sqlite3_io_methods kMethods = {
    2,        Close,      Read,       Write,       Truncate,  Sync,     FileSize, Lock,
    Unlock,   CheckReservedLock, FileControl, SectorSize, DeviceCharacteristics, ShmMap, ShmLock, ShmBarrier,
    ShmUnmap, nullptr,    nullptr,
};

int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
  SeamFile* s = reinterpret_cast<SeamFile*>(f);
  s->real = reinterpret_cast<sqlite3_file*>(s + 1);
  s->name = name;
  s->base.pMethods = nullptr;
  s->newEntry = (flags & SQLITE_OPEN_CREATE) != 0 && name != nullptr &&
                (flags & (SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_SUPER_JOURNAL | SQLITE_OPEN_WAL)) != 0;
  if ((flags & SQLITE_OPEN_READONLY) == 0) {
    const sys::IoFault fault = sys::CheckIo(sys::IoOp::Open, name ? name : "");
    if (fault.error != 0) return SQLITE_CANTOPEN;
  }
  const int rc = g_real->xOpen(g_real, name, s->real, flags, outFlags);
  if (rc == SQLITE_OK || s->real->pMethods) s->base.pMethods = &kMethods;
  return rc;
}

// The folder flush that makes a deletion durable passes the seam.
int Delete(sqlite3_vfs*, const char* name, int syncDir) {
  const int rc = g_real->xDelete(g_real, name, 0);
  if (rc != SQLITE_OK || !syncDir || name == nullptr) return rc;
  return sys::SyncFolder(FolderOf(name)) ? SQLITE_OK : SQLITE_IOERR_DIR_FSYNC;
}
int Access(sqlite3_vfs*, const char* name, int flags, int* out) { return g_real->xAccess(g_real, name, flags, out); }
int FullPathname(sqlite3_vfs*, const char* name, int n, char* out) {
  return g_real->xFullPathname(g_real, name, n, out);
}
int Randomness(sqlite3_vfs*, int n, char* out) { return g_real->xRandomness(g_real, n, out); }
int Sleep(sqlite3_vfs*, int us) { return g_real->xSleep(g_real, us); }
int CurrentTime(sqlite3_vfs*, double* out) { return g_real->xCurrentTime(g_real, out); }
int GetLastError(sqlite3_vfs*, int n, char* out) { return g_real->xGetLastError(g_real, n, out); }
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) { return g_real->xCurrentTimeInt64(g_real, out); }

}  // namespace

const char* FaultSeamVfs() {
  static std::once_flag once;
  std::call_once(once, [] {
    g_real = sqlite3_vfs_find(nullptr);
    std::memset(&g_vfs, 0, sizeof g_vfs);
    g_vfs.iVersion = 2;
    g_vfs.szOsFile = static_cast<int>(sizeof(SeamFile)) + g_real->szOsFile;
    g_vfs.mxPathname = g_real->mxPathname;
    g_vfs.zName = kName;
    g_vfs.xOpen = Open;
    g_vfs.xDelete = Delete;
    g_vfs.xAccess = Access;
    g_vfs.xFullPathname = FullPathname;
    g_vfs.xRandomness = Randomness;
    g_vfs.xSleep = Sleep;
    g_vfs.xCurrentTime = CurrentTime;
    g_vfs.xGetLastError = GetLastError;
    g_vfs.xCurrentTimeInt64 = CurrentTimeInt64;
    sqlite3_vfs_register(&g_vfs, 0);
  });
  return kName;
}

}  // namespace db
