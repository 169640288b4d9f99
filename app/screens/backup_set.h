#pragma once
// A backup folder holds one whole set of files or the previous one. A backup writes each file
// of its set beside the old one under a staged name (the name + ".part") and makes it durable;
// then the manifest, "Backup.manifest", names every file of the set with its size and checksum.
// Writing the manifest (atomically) is the moment the new set becomes the backup; only after it
// are the staged files renamed over the old ones. Until then the old files and the old manifest
// stand untouched; after it each file of the set is found under its name or, while the renames
// are unfinished, under its staged name, and told apart from an older file by its checksum.
// A folder without a manifest was written by an earlier program: its files are taken as they
// lie and checked by their content alone.
#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char* kBackupManifest = "Backup.manifest";
inline constexpr const char* kBackupStagedSuffix = ".part";

struct BackupSetFile {
  std::string name;  // as in the backup folder
  uint64_t size = 0;
  uint64_t sum = 0;
};

// The size and checksum of a file (`name` is left to the caller). False with the reason.
bool MeasureBackupFile(const std::string& path, BackupSetFile* out, std::string* error);

// Writes the manifest of `files` into `folder` atomically (the set's commit).
bool WriteBackupManifest(const std::string& folder, const std::vector<BackupSetFile>& files, std::string* error);

// Reads the manifest of `folder`. *present is false (and the result true) when there is none;
// false with the reason when it cannot be read or is not one.
bool ReadBackupManifest(const std::string& folder, std::vector<BackupSetFile>* files, bool* present,
                        std::string* error);

// The path holding file `name` (any letter case) of the set in `folder`: the file itself or
// its staged copy, whichever has the size and checksum the manifest gives. "" with the reason
// when neither has, or the manifest does not name the file.
std::string LocateBackupFile(const std::string& folder, const std::vector<BackupSetFile>& manifest,
                             const std::string& name, std::string* why);

// Before a backup writes its staged files: a set whose manifest was written but whose renames
// were cut off is put in place (each staged file the manifest names is renamed over its file),
// and staged files of a backup that never reached its manifest are removed. False with the
// reason when a rename could not be made durable (the set is still found through the manifest).
bool SettleBackupFolder(const std::string& folder, std::string* error);
