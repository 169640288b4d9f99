#pragma once
// A thermal printer output that keeps every byte, for exact-byte checks.
#include <cstdint>
#include <string>
#include <vector>

#include "printing/thermal_printer.h"

class RecordingOutput : public ThermalOutput {
 public:
  RecordingOutput();
  ~RecordingOutput() override;

  size_t Send(const uint8_t* data, size_t len, int timeoutMs, bool* timedOut) override;

  std::string bytes;             // everything accepted so far
  std::vector<size_t> writes;    // size of each write
  std::vector<int> timeouts;     // the time-out each write was given
  long acceptLimit = -1;         // bytes still accepted before the "printer" stops; -1 no limit

  void Clear() {
    bytes.clear();
    writes.clear();
    timeouts.clear();
  }
};

// Builds a byte string from a list of values ("\x1b" … without the escaping noise).
std::string Bytes(std::initializer_list<int> values);
