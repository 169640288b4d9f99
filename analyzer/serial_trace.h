#pragma once
// The serial trace beside the program: every byte sent and received goes to serialdata.txt
// as hexadecimal text, send errors and check failures to checksum.txt.
#include <cstdint>
#include <span>
#include <string>

namespace analyzer {

inline constexpr const char* kSerialDataFile = "serialdata.txt";
inline constexpr const char* kChecksumFile = "checksum.txt";

// Appends a line break, "S " (direction 0) or "R " (direction 1), the local date
// "%d-%.2d-%.2d", a blank, the time "%.2d:%.2d:%.2d", a blank and the text to the file in the
// program folder. The file is created when missing.
bool AppendSerialLog(const std::string& text, const std::string& fileName, int direction);
// With the new-line flag: a line break, the direction, date and time, then the byte as
// "%02x "; without: only the byte.
bool AppendSerialLogByte(uint8_t byte, const std::string& fileName, bool newLine, int direction);
// The received bytes of one read, as AppendSerialLogByte would write them one by one with a
// new line at each 0x7E, in one append.
bool AppendReceivedBytes(std::span<const uint8_t> bytes, const std::string& fileName);
// Appends the text as it is. Every writer of the trace files goes through here (or the
// functions above), under one lock, so records of the port's worker and of the screen's
// thread never mix within a line.
bool AppendTraceText(const std::string& text, const std::string& fileName);
// The line of a failed write in checksum.txt: "comsend_errorid:%d" with the error code.
std::string SendErrorLine(int code);
// Copies serialdata.txt into the "Log" folder of the program folder (created when missing)
// as "%d%.2d%.2d_" date, "%.2d%.2d%.2d" time and the suffix, such as
// "20261209_081530Timeout_serialdata.txt", replacing a file of that name. False when there is
// no trace to copy or the copy fails.
bool CopySerialTraceToLog(const std::string& suffix);
// Bytes as "%02x " each.
std::string HexText(std::span<const uint8_t> bytes);

}  // namespace analyzer
