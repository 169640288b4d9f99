#pragma once
// File operations the screens use (backup, restore, deleting old dumps), taking paths as the
// program writes them (see MapPath). Each returns false with the reason in *error.
#include <string>
#include <vector>

namespace sys {

bool FileExists(const std::string& path);       // a file or a folder
bool IsDirectory(const std::string& path);
// Creates one folder (its parent must exist); true when it already exists as a folder.
bool CreateFolder(const std::string& path, std::string* error = nullptr);
// Creates a folder and every missing parent.
bool CreateFolders(const std::string& path, std::string* error = nullptr);
bool DeleteFile(const std::string& path, std::string* error = nullptr);
// Copies a file. With failIfExists an existing target is an error. The copy is written to a
// temporary file and renamed into place, so the target is never left half-written.
bool CopyFile(const std::string& from, const std::string& to, bool failIfExists, std::string* error = nullptr);
// Names (not paths) of the entries of a folder matching a pattern with '*' and '?',
// compared without regard to ASCII letter case, sorted. "." and ".." are never listed.
std::vector<std::string> ListFolder(const std::string& folder, const std::string& pattern = "*");
// Wildcard match as used by ListFolder.
bool WildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace sys
