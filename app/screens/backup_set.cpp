#include "app/screens/backup_set.h"

#include <fcntl.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "platform/sys/atomic_file.h"
#include "platform/sys/file_io.h"
#include "platform/sys/file_ops.h"
#include "platform/sys/path_map.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kManifestHeader = "Quorvex backup set 1";

std::string Join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool IsFile(const std::string& path) { return sys::FileExists(path) && !sys::IsDirectory(path); }

bool Matches(const std::string& path, const BackupSetFile& want) {
  BackupSetFile have;
  std::string ignored;
  return IsFile(path) && MeasureBackupFile(path, &have, &ignored) && have.size == want.size && have.sum == want.sum;
}

// Before a staged file takes the name `name`: the logs left beside an older store (never to be
// read into the new one) and an older file of the name in another letter case (the folder keeps
// one file of each name) go.
void DropOlderCopies(const std::string& folder, const std::string& name) {
  std::error_code ec;
  std::vector<fs::path> older;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string have = entry.path().filename().string();
    for (const char* log : {"", "-wal", "-shm", "-journal"})
      if (sys::EqualsNoCase(have, name + log) && (*log != '\0' || have != name)) older.push_back(entry.path());
  }
  for (const fs::path& p : older) fs::remove(p, ec);
}

}  // namespace

bool MeasureBackupFile(const std::string& path, BackupSetFile* out, std::string* error) {
  sys::File in;
  if (!in.Open(path, O_RDONLY)) {
    if (error) *error = in.ErrorText();
    return false;
  }
  // FNV-1a, 64 bits: it tells a file of this backup from an older one of the same name.
  uint64_t sum = 14695981039346656037ull, size = 0;
  char buf[1 << 16];
  for (;;) {
    const long n = in.Read(buf, sizeof buf);
    if (n < 0) {
      if (error) *error = in.ErrorText();
      return false;
    }
    if (n == 0) break;
    for (long i = 0; i < n; ++i) sum = (sum ^ static_cast<unsigned char>(buf[i])) * 1099511628211ull;
    size += static_cast<uint64_t>(n);
  }
  out->size = size;
  out->sum = sum;
  return true;
}

bool WriteBackupManifest(const std::string& folder, const std::vector<BackupSetFile>& files, std::string* error) {
  std::string text = std::string(kManifestHeader) + "\n";
  for (const BackupSetFile& f : files) {
    char line[64];
    std::snprintf(line, sizeof line, "%" PRIu64 " %016" PRIx64 " ", f.size, f.sum);
    text += line + f.name + "\n";
  }
  return sys::WriteFileAtomic(Join(folder, kBackupManifest), text, error);
}

bool ReadBackupManifest(const std::string& folder, std::vector<BackupSetFile>* files, bool* present,
                        std::string* error) {
  files->clear();
  const std::string path = sys::ResolveCase(Join(folder, kBackupManifest));
  *present = sys::FileExists(path);
  if (!*present) return true;
  std::string text;
  if (!sys::ReadWholeFile(path, &text, error)) return false;
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kManifestHeader) {
    if (error) *error = path + ": not a backup manifest";
    return false;
  }
  while (std::getline(in, line)) {
    BackupSetFile f;
    int used = 0;
    if (std::sscanf(line.c_str(), "%" SCNu64 " %" SCNx64 " %n", &f.size, &f.sum, &used) != 2 || used <= 0 ||
        static_cast<size_t>(used) >= line.size()) {
      if (error) *error = path + ": damaged line \"" + line + "\"";
      return false;
    }
    f.name = line.substr(static_cast<size_t>(used));
    files->push_back(f);
  }
  return true;
}

std::string LocateBackupFile(const std::string& folder, const std::vector<BackupSetFile>& manifest,
                             const std::string& name, std::string* why) {
  for (const BackupSetFile& f : manifest) {
    if (!sys::EqualsNoCase(f.name, name)) continue;
    const std::string path = sys::ResolveCase(Join(folder, f.name));
    if (Matches(path, f)) return path;
    const std::string staged = sys::ResolveCase(path + kBackupStagedSuffix);
    if (Matches(staged, f)) return staged;
    if (why) *why = path + ": not the file this backup wrote (the backup is incomplete or was changed)";
    return {};
  }
  if (why) *why = Join(folder, name) + ": not named in " + kBackupManifest;
  return {};
}

bool SettleBackupFolder(const std::string& folder, std::string* error) {
  std::vector<BackupSetFile> manifest;
  bool present = false;
  // An unreadable manifest commits nothing: its staged files are no set.
  if (!ReadBackupManifest(folder, &manifest, &present, nullptr)) manifest.clear();
  bool renamed = false, ok = true;
  std::error_code ec;
  for (const BackupSetFile& f : manifest) {
    const std::string staged = sys::ResolveCase(Join(folder, f.name + kBackupStagedSuffix));
    if (!Matches(staged, f)) continue;
    const std::string path = staged.substr(0, staged.size() - std::strlen(kBackupStagedSuffix));
    DropOlderCopies(folder, fs::path(path).filename().string());
    // The other files still take their names: the fewer staged, the fewer left to a later backup.
    std::string why;
    if (sys::RenameFile(staged, path, &why)) renamed = true;
    else if (ok) {
      ok = false;
      if (error) *error = why;
    }
  }
  if (!ok) return false;
  if (renamed && !sys::SyncFolder(folder, error)) return false;
  // What is left staged never became a set (a store's copy with the log files it may have left).
  std::vector<fs::path> left;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    for (const char* tail : {"", "-wal", "-shm", "-journal"})
      if (entry.is_regular_file(ec) && sys::WildcardMatch(std::string("*") + kBackupStagedSuffix + tail, name))
        left.push_back(entry.path());
  }
  for (const fs::path& p : left) fs::remove(p, ec);
  return true;
}
