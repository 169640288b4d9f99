#include "recording_output.h"

RecordingOutput::RecordingOutput() {
  PrinterResetState();
  PrinterSetOutput(this);
}

RecordingOutput::~RecordingOutput() {
  PrinterSetOutput(nullptr);
  PrinterResetState();
}

size_t RecordingOutput::Send(const uint8_t* data, size_t len, int timeoutMs, bool* timedOut) {
  size_t n = len;
  if (acceptLimit >= 0 && static_cast<long>(n) > acceptLimit) n = static_cast<size_t>(acceptLimit);
  if (acceptLimit >= 0) acceptLimit -= static_cast<long>(n);
  bytes.append(reinterpret_cast<const char*>(data), n);
  writes.push_back(n);
  timeouts.push_back(timeoutMs);
  *timedOut = n < len;
  return n;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}
