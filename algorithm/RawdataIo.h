// File and memory helpers of the raw-data and pulse functions (not exported).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zentil {

// Zero-filled memory from the C heap, released with std::free. Returns null when none can be
// had (or when a test has asked for allocations to fail).
void* Allocate(std::size_t bytes);
// Test hook: let `successes` more allocations succeed, then fail every one; -1 turns it off.
void FailAllocationsAfter(long successes);

// Size of a file opened for binary reading; false when it cannot be opened or sought.
enum class SizeStatus { kOk, kCannotOpen, kCannotSeek };
SizeStatus FileSize(const char* path, std::size_t& size);

// Reads the first `size` bytes of the file into `buffer` with one read; false when the file
// cannot be opened or holds fewer bytes.
bool ReadFile(const char* path, std::uint8_t* buffer, std::size_t size);

// Writes the bytes as the file's whole new content. The content goes to a temporary file
// beside it first, which then replaces the file, so a failed write leaves the old file whole
// (also when it is the file the bytes were read from). False when it cannot be written.
bool WriteFileReplacing(const char* path, const std::uint8_t* data, std::size_t size);

bool FileExists(const char* path);

// The folder that stands for a Windows drive letter, ending in '/'. The same rules as the
// program's path mapping: QUORVEX_DRIVE_<LETTER>, else $QUORVEX_DRIVE_ROOT/drive_<letter>/,
// else $XDG_DATA_HOME/quorvex/drive_<letter>/, else $HOME/.local/share/quorvex/drive_<letter>/,
// else /tmp/quorvex/drive_<letter>/.
std::string DriveFolder(char letter);
// Creates a folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& folder);

// Little-endian fields of a byte buffer, without alignment requirements.
inline std::uint16_t LoadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LoadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void StoreU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace zentil
