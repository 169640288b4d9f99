#include "analyzer/serial_trace.h"

#include <cstdio>
#include <mutex>

#include "platform/sys/clock.h"
#include "platform/sys/file_io.h"
#include "platform/sys/file_ops.h"
#include "platform/sys/program_dir.h"

namespace analyzer {
namespace {

// Every port's reader writes the same files; one lock keeps lines whole.
std::mutex g_traceLock;

std::string LineStart(int direction) {
  const sys::LocalTime t = sys::Clock::Now();
  char buf[64];
  std::snprintf(buf, sizeof buf, "\n%s%d-%.2d-%.2d %.2d:%.2d:%.2d ", direction == 0 ? "S " : "R ", t.year, t.month,
                t.day, t.hour, t.minute, t.second);
  return buf;
}

bool Append(const std::string& fileName, const std::string& text) {
  std::lock_guard<std::mutex> lock(g_traceLock);
  return sys::AppendToFile(sys::ProgramFile(fileName), text);
}

}  // namespace

bool CopySerialTraceToLog(const std::string& suffix) {
  const sys::LocalTime t = sys::Clock::Now();
  char name[64];
  std::snprintf(name, sizeof name, "%d%.2d%.2d_%.2d%.2d%.2d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  std::lock_guard<std::mutex> lock(g_traceLock);
  const std::string from = sys::ProgramFile(kSerialDataFile);
  if (!sys::FileExists(from)) return false;
  const std::string dir = sys::ProgramDir() + "Log";
  return sys::CreateFolders(dir) && sys::CopyFile(from, dir + "/" + name + suffix, false);
}

std::string HexText(std::span<const uint8_t> bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string s;
  s.reserve(bytes.size() * 3);
  for (uint8_t b : bytes) {
    s.push_back(kDigits[b >> 4]);
    s.push_back(kDigits[b & 15]);
    s.push_back(' ');
  }
  return s;
}

bool AppendTraceText(const std::string& text, const std::string& fileName) { return Append(fileName, text); }

std::string SendErrorLine(int code) {
  char line[48];
  std::snprintf(line, sizeof line, "comsend_errorid:%d", code);
  return line;
}

bool AppendSerialLog(const std::string& text, const std::string& fileName, int direction) {
  return Append(fileName, LineStart(direction) + text);
}

bool AppendSerialLogByte(uint8_t byte, const std::string& fileName, bool newLine, int direction) {
  std::string text = newLine ? LineStart(direction) : std::string();
  return Append(fileName, text + HexText({&byte, 1}));
}

bool AppendReceivedBytes(std::span<const uint8_t> bytes, const std::string& fileName) {
  if (bytes.empty()) return true;
  std::string text;
  for (uint8_t b : bytes) {
    if (b == 0x7E) text += LineStart(1);
    text += HexText({&b, 1});
  }
  return Append(fileName, text);
}

}  // namespace analyzer
