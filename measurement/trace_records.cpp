#include "measurement/trace_records.h"

#include <cstdio>

#include "analyzer/serial_trace.h"
#include "platform/sys/clock.h"
#include "platform/sys/file_io.h"
#include "platform/sys/program_dir.h"

namespace measurement {
namespace {

bool AppendRecord(const std::string& body, const std::string& fileName, int received) {
  const sys::LocalTime t = sys::Clock::Now();
  char head[64];
  std::snprintf(head, sizeof head, "\r\n%s%d-%.2d-%.2d %.2d:%.2d:%.2d ", received ? "R " : "S ", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  // Through the trace writer of the port: one writer, one lock for checksum.txt.
  return analyzer::AppendTraceText(head + body, fileName);
}

}  // namespace

bool TraceText(const std::string& text, const std::string& fileName, int received) {
  return AppendRecord(text, fileName, received);
}

bool TraceBytes(const uint8_t* bytes, size_t count, const std::string& fileName, int received) {
  return AppendRecord(analyzer::HexText({bytes, count}), fileName, received);
}

}  // namespace measurement
