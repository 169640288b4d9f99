#pragma once
// Settings files of the "private profile" kind (Setting.ini), read and written the way the
// program's screens expect:
//  * sections and keys match without regard to ASCII letter case; the file's own spelling
//    and the order of its lines are kept on every write;
//  * a missing file, section or key reads as the caller's default (a null default as "");
//  * a value is read without the blanks around it, and one pair of matching quotes around
//    it is removed;
//  * a read into a buffer of n bytes gives at most n-1 bytes and a terminating NUL (never
//    cutting a UTF-8 character in two) and returns the number of bytes copied;
//  * integers are read from their leading decimal digits (a sign allowed); a missing key or
//    an empty value gives the default, text without digits gives 0;
//  * a write creates the file and the section when they are missing and replaces a key's
//    value in place; a null value deletes the key, a null key deletes the whole section;
//  * comment lines (';' or '#'), blank lines and lines that are neither section nor key are
//    kept as they are and never read as keys;
//  * the file is replaced atomically (see atomic_file.h), so a power cut never leaves half a
//    settings file.
// Paths go through MapPath, so "setting.ini" finds "Setting.ini". Text is UTF-8; numbers
// the callers write are expected in the C locale ("%.2f" with a point).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sys {

// Reads `key` of `section` into `buffer` (size bytes). Returns the bytes copied, not counting
// the NUL. A null `section` lists the section names, a null `key` the key names of the
// section, each followed by a NUL, with one more NUL at the end.
uint32_t ProfileGetString(const char* section, const char* key, const char* defaultValue,
                          char* buffer, uint32_t size, const std::string& file);

// Integer value of a key (see the rules above).
int ProfileGetInt(const char* section, const char* key, int defaultValue, const std::string& file);

// Writes (or, with a null value, deletes) a key; a null key deletes the section. Returns
// false with the reason in *error when the file cannot be written or a name or value
// holds a line break (which would corrupt the file).
bool ProfileWriteString(const char* section, const char* key, const char* value,
                        const std::string& file, std::string* error = nullptr);
// Writes several keys of one section in one replacement of the file, so a crash or power cut
// leaves all of them old or all new. The same checks and result as ProfileWriteString.
bool ProfileWriteStrings(const char* section, const std::vector<std::pair<std::string, std::string>>& values,
                         const std::string& file, std::string* error = nullptr);

// The same reads for C++ callers. `bufferSize` 0 means no limit; otherwise the result is
// what a buffer of that many bytes would hold.
std::string ProfileReadString(const std::string& file, const std::string& section,
                              const std::string& key, const std::string& defaultValue,
                              size_t bufferSize = 0);
bool ProfileHasKey(const std::string& file, const std::string& section, const std::string& key);
std::vector<std::string> ProfileSectionNames(const std::string& file);
std::vector<std::string> ProfileKeyNames(const std::string& file, const std::string& section);

// Copies at most size-1 bytes of `text` (not splitting a UTF-8 sequence) and a NUL into
// `buffer`; returns the bytes copied. Nothing is written when size is 0.
uint32_t CopyTruncated(const std::string& text, char* buffer, uint32_t size);

}  // namespace sys
