#pragma once
// Shared between the driver's source files; not for callers.
#include <cstdint>
#include <initializer_list>

#include "printing/thermal_printer.h"

namespace thermal_detail {

constexpr uint8_t kLF = 0x0A, kCR = 0x0D, kDC2 = 0x12, kDC3 = 0x13, kCAN = 0x18, kESC = 0x1B;

// Writes bytes given as a list.
inline int Send(std::initializer_list<uint8_t> bytes) {
  return PrinterWrite(bytes.begin(), static_cast<int>(bytes.size()));
}
inline uint8_t Flag(int v) { return v != 0 ? 1 : 0; }

}  // namespace thermal_detail

// A printer command sent in several writes: once its first write went out (whole or in
// part), the later ones are never left out; when the first could not go, none of them goes.
void ThermalBeginCommand();
void ThermalEndCommand();

// Parts of PrinterResetState kept beside the state they reset.
void ThermalResetPortState();
void ThermalResetDotState();
