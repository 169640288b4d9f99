#pragma once
// The file work of backup and restore, apart from the screen: the data store files are copied
// through the engine's own backup interface, so a copy is always a consistent database (also
// while other connections write, and with the write-ahead log folded in); the other files are
// copied whole. Every copy that fails is listed.
#include <string>
#include <vector>

struct CopyOutcome {
  std::vector<std::string> copied;   // destination paths written
  std::vector<std::string> failed;   // "<source> -> <destination>: <reason>"
  std::vector<std::string> failedFiles;  // the destination (or folder) of each failure
  std::vector<std::string> missing;  // restore sources that do not exist
  bool folderFailed = false;         // the backup folder could not be made
  bool liveFolder = false;           // the backup folder is the one of the live files: refused
  bool ok() const { return !folderFailed && !liveFolder && failed.empty() && missing.empty(); }
};

// Copies a database file consistently into `to` (replacing it), page by page through the
// engine. The live connections of the program are held off (the data store lock) while the
// copy runs. False with the reason when `from` is no database or `to` cannot be written, and
// for a stand-alone copy (not the live store) also when its log cannot be folded into the file.
bool CopyDatabase(const std::string& from, const std::string& to, std::string* error, bool standAlone = true);

// True when `folder` is the program folder or the folder of the live store (by identity, not by
// spelling).
bool HoldsLiveFiles(const std::string& programFolder, const std::string& folder);

// Backup into `folder` (made when missing, one level): every *.mdb, TD.dat and TDI.dat (as the
// program reads them, a committed rewrite finished first) and Setting.ini of the program folder,
// as one set (backup_set.h): a backup that fails leaves the previous one whole. A folder holding
// the live files is refused and nothing is copied.
CopyOutcome BackupProgramFiles(const std::string& programFolder, const std::string& folder);

// Restore from `folder`: vantorium.mdb, TDI.dat, TD.dat and Setting.ini, each found without
// regard to letter case, all four or none. Refused, with nothing changed, when a file is missing
// or not the one the backup's manifest names, the store is damaged or not this program's, or
// the raw files do not hold every result's own record (restore_check.h).
// The files are copied beside the live ones first and then switched; the database goes in last
// through the engine, never by overwriting the live file under an open connection. When any
// step fails the live files are as they were.
CopyOutcome RestoreProgramFiles(const std::string& programFolder, const std::string& folder);

// The file that stands while a restore switches the live files: "RestoreSwitch.marker" in the
// program folder.
extern const char* const kRestoreSwitchMarker;

// At start-up, before the settings or the store are read: a restore whose switch was cut off
// (a power cut, a kill) is finished from the copies it staged beside the live files; one cut
// off before its switch leaves the live files and its copies are removed. False with the
// reason when a step could not be made (the marker stays for the next start).
bool FinishInterruptedRestore(const std::string& programFolder, std::string* error = nullptr);
