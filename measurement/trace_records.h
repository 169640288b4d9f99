#pragma once
// Short trace records the test screen writes beside the program when a frame fails its check:
// a text (the check it computed) or the frame's bytes, each as one record starting with a line
// break, "R " (received) or "S " (sent), the local date and time and a blank.
#include <cstddef>
#include <cstdint>
#include <string>

namespace measurement {

// Both return false when the file could be neither opened nor created (the record is skipped).
bool TraceText(const std::string& text, const std::string& fileName, int received);
bool TraceBytes(const uint8_t* bytes, size_t count, const std::string& fileName, int received);

}  // namespace measurement
