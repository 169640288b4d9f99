#include "app/screens/backup_files.h"

#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <mutex>

#include "analyzer/raw_rewrite_queue.h"
#include "analyzer/raw_test_data.h"
#include "analyzer/raw_test_data_rewrite.h"
#include "app/screens/backup_set.h"
#include "app/screens/restore_check.h"
#include "core/ado_conn.h"
#include "platform/db/fault_vfs.h"
#include "platform/sys/atomic_file.h"
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
  if (ok) {
    out.copied.push_back(to);
    return;
  }
  out.failed.push_back((from.empty() ? to : from + " -> " + to) + ": " + error);
  out.failedFiles.push_back(to);
}

}  // namespace

bool CopyDatabase(const std::string& from, const std::string& to, std::string* error, bool standAlone) {
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
  if (sqlite3_open_v2(to.c_str(), &dst.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, db::FaultSeamVfs()) !=
      SQLITE_OK)
    return fail(dst.db, "cannot open the destination");
  sqlite3_busy_timeout(dst.db, 5000);
  sqlite3_busy_timeout(src.db, 5000);
  std::lock_guard<std::recursive_mutex> hold(DbLock());
  sqlite3_backup* b = sqlite3_backup_init(dst.db, "main", src.db, "main");
  if (!b) return fail(dst.db, "cannot start the copy");
  const int step = sqlite3_backup_step(b, -1);
  sqlite3_backup_finish(b);
  if (step != SQLITE_DONE) return fail(dst.db, "the copy failed");
  // Fold the log into the file so the copy stands on its own: a copy that is to be renamed or
  // taken elsewhere is nothing without it. (In the live store the log is the store's own.)
  const int folded = sqlite3_wal_checkpoint_v2(dst.db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
  if (standAlone && folded != SQLITE_OK) return fail(dst.db, "the copy could not be written out");
  return true;
}

bool HoldsLiveFiles(const std::string& programFolder, const std::string& folder) {
  std::error_code ec;
  for (const std::string& liveFolder : {programFolder, fs::path(DatabasePath()).parent_path().string()})
    if (fs::equivalent(folder, liveFolder, ec)) return true;
  return false;
}

CopyOutcome BackupProgramFiles(const std::string& programFolder, const std::string& folder) {
  CopyOutcome out;
  // Copied over themselves the live files would be lost: the store's copy is renamed over the
  // file an open connection uses and its log files are removed.
  if (HoldsLiveFiles(programFolder, folder)) {
    out.liveFolder = true;
    return out;
  }
  if (!sys::IsDirectory(folder)) {
    // A new folder survives a power cut once the folder holding it is flushed.
    const std::string made = fs::path(folder).lexically_normal().string();
    const std::string parent = fs::path(made.back() == '/' ? made.substr(0, made.size() - 1) : made).parent_path().string();
    if (!sys::CreateFolder(folder) || !sys::SyncFolder(parent.empty() ? "." : parent)) {
      out.folderFailed = true;
      return out;
    }
  }
  // A set whose switch was cut off is put in place first: its staged files are about to be reused.
  std::string error;
  if (!SettleBackupFolder(folder, &error)) {
    out.failed.push_back(folder + ": " + error);
    out.failedFiles.push_back(folder);
    return out;
  }
  // The set: every store, the raw-data pair and the settings; nothing else (a rewrite's
  // temporary files and marker are no part of it).
  struct Item {
    std::string from, name;
    bool database;
  };
  std::vector<Item> items;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(programFolder, ec)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && sys::WildcardMatch("*.mdb", name)) items.push_back({Join(programFolder, name), name, true});
  }
  // The raw files stay as they are from before the store is copied until they are copied too:
  // no count, no rewrite after a delete comes between, so every row copied has its raw record
  // in the copy. A committed rewrite is finished first; the pair copied is the one the program
  // reads. Rewrites still queued after deletes are done first, so the copy holds no record of a
  // deleted row.
  analyzer::FinishRawRewrites();
  std::lock_guard<std::recursive_mutex> raw(analyzer::RawFilesLock());
  const analyzer::RawPairPaths pair = analyzer::SettledRawPair(programFolder);
  // Missing raw files (nothing counted yet) are left out, as before.
  if (sys::FileExists(pair.data)) items.push_back({pair.data, analyzer::kRawDataFile, false});
  if (sys::FileExists(pair.index)) items.push_back({pair.index, analyzer::kRawIndexFile, false});
  items.push_back({sys::ResolveCase(Join(programFolder, "Setting.ini")), "Setting.ini", false});

  // Each file is made beside the old one under its staged name and measured.
  std::vector<BackupSetFile> set;
  for (const Item& item : items) {
    const std::string to = Join(folder, item.name), part = to + kBackupStagedSuffix;
    BackupSetFile file;
    file.name = item.name;
    error.clear();
    bool ok = item.database ? CopyDatabase(item.from, part, &error) : CopyWhole(item.from, part, &error);
    if (ok) ok = MeasureBackupFile(part, &file, &error);
    if (ok) set.push_back(file);
    Record(out, ok, item.from, to, error);
  }
  // Every staged file durable with its folder entry, the manifest makes them the backup; then
  // they take their names. Short of the manifest, the previous backup stands whole.
  if (out.failed.empty() && !(sys::SyncFolder(folder, &error) && WriteBackupManifest(folder, set, &error)))
    Record(out, false, "", Join(folder, kBackupManifest), error);
  if (out.failed.empty() && !SettleBackupFolder(folder, &error)) {
    // The set is the backup, but a file still waits under its staged name: named in the failure.
    out.failed.push_back(error);
    for (const Item& item : items)
      if (sys::FileExists(Join(folder, item.name) + kBackupStagedSuffix)) out.failedFiles.push_back(Join(folder, item.name));
  }
  if (!out.failed.empty()) {
    out.copied.clear();
    SettleBackupFolder(folder, nullptr);  // the staged files of a set never made go
  }
  return out;
}

namespace {

// The store, the raw-data index and data files, and the settings: restored all together or not
// at all, so that kept results never sit on another store's histograms.
const char* const kRestoreNames[4] = {"vantorium.mdb", "TDI.dat", "TD.dat", "Setting.ini"};
constexpr const char* kStagedSuffix = ".restore";

void RemoveQuietly(const std::string& path) {
  std::error_code ec;
  fs::remove(path, ec);
}

void RemoveDatabaseFiles(const std::string& path) {
  RemoveQuietly(path);
  RemoveQuietly(path + "-wal");
  RemoveQuietly(path + "-shm");
  RemoveQuietly(path + "-journal");
}

// A rename that puts a file back is tried again once: giving up there would leave the program
// without its file.
bool RenameBack(const std::string& from, const std::string& to) {
  return sys::RenameFile(from, to) || sys::RenameFile(from, to);
}

std::string MarkerPath(const std::string& programFolder) { return Join(programFolder, kRestoreSwitchMarker); }

// The staged copy of raw file or settings file i (1..3) left in the folder, whatever the letter
// case of the live file it was named after; "" when there is none.
std::string StagedLeft(const std::string& programFolder, int i) {
  const std::string p = sys::ResolveCase(Join(programFolder, std::string(kRestoreNames[i]) + kStagedSuffix));
  return sys::FileExists(p) && !sys::IsDirectory(p) ? p : std::string();
}

// The files a switch leaves beside the live ones once it is finished or undone.
void DropRestoreLeftovers(const std::string& programFolder) {
  RemoveDatabaseFiles(DatabasePath() + kStagedSuffix);
  for (int i = 1; i < 4; ++i) {
    const std::string live = sys::ResolveCase(Join(programFolder, kRestoreNames[i]));
    RemoveQuietly(live + kStagedSuffix);
    RemoveQuietly(live + ".old");
  }
}

}  // namespace

const char* const kRestoreSwitchMarker = "RestoreSwitch.marker";

bool FinishInterruptedRestore(const std::string& programFolder, std::string* error) {
  if (!sys::FileExists(MarkerPath(programFolder))) {
    // A restore cut off before its switch: the live files are the old ones, its copies go.
    DropRestoreLeftovers(programFolder);
    return true;
  }
  // The switch had begun: every staged file still waiting takes its place, then the store.
  for (int i = 1; i < 4; ++i) {
    const std::string staged = StagedLeft(programFolder, i);
    if (staged.empty()) continue;  // already in place
    if (!sys::RenameFile(staged, staged.substr(0, staged.size() - std::strlen(kStagedSuffix)), error)) return false;
  }
  if (!sys::SyncFolder(programFolder, error)) return false;
  const std::string stagedStore = DatabasePath() + kStagedSuffix;
  if (sys::FileExists(stagedStore)) {
    if (!CopyDatabase(stagedStore, DatabasePath(), error, false)) return false;
    // Gone durably before the marker: it is never copied again over rows stored later.
    RemoveDatabaseFiles(stagedStore);
    if (!sys::SyncFolder(programFolder, error)) return false;
  }
  RemoveQuietly(MarkerPath(programFolder));
  if (!sys::SyncFolder(programFolder, error)) return false;
  DropRestoreLeftovers(programFolder);
  return true;
}

CopyOutcome RestoreProgramFiles(const std::string& programFolder, const std::string& folder) {
  CopyOutcome out;
  std::string from[4], live[4];
  // A backup of this program names its set in its manifest; each file is the one written (under
  // its name or, when the backup's renames were cut off, its staged one). A folder without a
  // manifest, from an earlier program, is taken by its content alone.
  std::vector<BackupSetFile> manifest;
  bool haveManifest = false;
  std::string why;
  if (!ReadBackupManifest(folder, &manifest, &haveManifest, &why)) {
    out.failed.push_back(why);
    return out;
  }
  for (int i = 0; i < 4; ++i) {
    from[i] = sys::ResolveCase(Join(folder, kRestoreNames[i]));
    const bool there = sys::FileExists(from[i]) && !sys::IsDirectory(from[i]);
    if (haveManifest &&
        (there || sys::FileExists(sys::ResolveCase(Join(folder, std::string(kRestoreNames[i]) + kBackupStagedSuffix))))) {
      from[i] = LocateBackupFile(folder, manifest, kRestoreNames[i], &why);
      if (from[i].empty()) out.failed.push_back(why);
    } else if (!there) {
      out.missing.push_back(Join(folder, kRestoreNames[i]));
    }
    live[i] = i == 0 ? DatabasePath() : sys::ResolveCase(Join(programFolder, kRestoreNames[i]));
  }
  if (!out.missing.empty() || !out.failed.empty()) return out;

  // 1. The backup is checked before anything is written: the store, and every result's own raw
  // record.
  if (!IsProgramStore(from[0], &why)) {
    out.failed.push_back(from[0] + ": " + why);
    return out;
  }
  if (!RawFilesFit(from[1], from[2], &why) || !ResultsHaveTheirRecords(from[0], from[1], from[2], &why)) {
    out.failed.push_back(why);
    return out;
  }
  // An earlier restore whose switch was cut off is settled first: its files are about to be reused.
  if (!FinishInterruptedRestore(programFolder, &why)) {
    out.failed.push_back(why);
    return out;
  }

  // 2. Copies beside the live files, made durable with their folder entries; a failure here
  // has changed nothing.
  std::string staged[4];
  for (int i = 0; i < 4; ++i) staged[i] = live[i] + kStagedSuffix;
  auto dropStaged = [&] {
    RemoveDatabaseFiles(staged[0]);
    for (int i = 1; i < 4; ++i) RemoveQuietly(staged[i]);
  };
  for (int i = 0; i < 4; ++i) {
    std::string error;
    const bool ok = i == 0 ? CopyDatabase(from[i], staged[i], &error) : CopyWhole(from[i], staged[i], &error);
    if (!ok) {
      out.failed.push_back(from[i] + " -> " + staged[i] + ": " + error);
      dropStaged();
      return out;
    }
  }
  // 3. The marker: from the moment it is durable until it is removed, a start-up finishes the
  // switch from the staged copies (a power cut in the middle of it never leaves new raw files
  // with the old store).
  std::string error;
  const std::string marker = MarkerPath(programFolder);
  if (!sys::SyncFolder(programFolder, &error) || !sys::WriteFileAtomic(marker, "restore\n", &error)) {
    RemoveQuietly(marker);
    out.failed.push_back(error);
    dropStaged();
    return out;
  }

  // 4. The files switch: each live file is kept aside as ".old" while the new one takes its
  // place; the store goes in last, through the engine in one transaction (open connections see
  // the old store or the new one, never a torn one). Any failure puts the old files back.
  analyzer::NoteRawPairReplaced();
  bool hadOld[4] = {false, false, false, false};
  int switched = 1;  // files 1 .. switched-1 are in place
  bool ok = true;
  for (int i = 1; i < 4 && ok; ++i) {
    const std::string old = live[i] + ".old";
    RemoveQuietly(old);
    hadOld[i] = sys::FileExists(live[i]);
    if (hadOld[i] && !sys::RenameFile(live[i], old, &error)) {
      hadOld[i] = false;
      ok = false;
      break;
    }
    if (!sys::RenameFile(staged[i], live[i], &error)) {
      if (hadOld[i]) RenameBack(old, live[i]);
      ok = false;
      break;
    }
    switched = i + 1;
  }
  // The renames are made durable before the store changes: after the store nothing can fail.
  if (ok) ok = sys::SyncFolder(programFolder, &error) && CopyDatabase(staged[0], live[0], &error, false);
  if (!ok) {
    // Undone so that the marker still finds every staged copy: each new file goes back to its
    // staged name before the old one returns, and the marker goes only after that.
    bool undone = true;
    for (int i = switched - 1; i >= 1; --i) {
      if (!RenameBack(live[i], staged[i])) {
        undone = false;
        break;
      }
      if (hadOld[i] && !RenameBack(live[i] + ".old", live[i])) {
        out.failed.push_back(live[i] + ": the old file is kept as " + live[i] + ".old");
        undone = false;
        break;
      }
    }
    out.failed.insert(out.failed.begin(), error);
    if (!undone) {
      out.failed.push_back("the restore is finished at the next start");
      return out;
    }
    RemoveQuietly(marker);
    if (!sys::SyncFolder(programFolder) && !sys::SyncFolder(programFolder)) {
      // The marker may come back after a power cut: its staged copies stay for it.
      out.failed.push_back("the restore may be finished at the next start");
      return out;
    }
    dropStaged();
    return out;
  }
  // 5. Done. The staged store goes first and durably: a marker that a power cut brings back
  // must never copy it over rows stored after the restore. Then the marker, then the old files.
  for (int i = 1; i < 4; ++i) out.copied.push_back(live[i]);
  out.copied.insert(out.copied.begin(), live[0]);
  RemoveDatabaseFiles(staged[0]);
  if (!sys::SyncFolder(programFolder, &error) && !sys::SyncFolder(programFolder, &error)) {
    out.failed.push_back("the restored files are in place but could not be made durable: " + error);
    return out;
  }
  RemoveQuietly(marker);
  if (!sys::SyncFolder(programFolder) && !sys::SyncFolder(programFolder)) return out;  // a marker left is harmless now
  for (int i = 1; i < 4; ++i)
    if (hadOld[i]) RemoveQuietly(live[i] + ".old");
  dropStaged();
  return out;
}
