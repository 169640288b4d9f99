#pragma once
// Whole-file reads and crash-safe whole-file writes.
#include <string>

namespace sys {

// Reads a whole file. False (and the reason in *error) when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string* content, std::string* error = nullptr);

// Replaces `path` with `content` so that a crash or power cut leaves either the old or the
// new file, never half of one: the text goes to a temporary file in the same folder, is
// flushed to the disk, and is then renamed over the target. The folder must exist.
bool WriteFileAtomic(const std::string& path, const std::string& content, std::string* error = nullptr);

}  // namespace sys
