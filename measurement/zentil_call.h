#pragma once
// Calling the algorithm library Zentil for one count: filling its input record, binding the
// library at each use (load by name from the program folder, look up the entry point, call,
// unload) and telling the caller whether anything was computed.
#include <cstdint>
#include <functional>
#include <string>

#include "algorithm/Zentil.h"
#include "core/zentil_binding.h"
#include "measurement/histograms.h"

namespace measurement {

// What the input record is filled from, besides the histograms.
struct CountInputs {
  int bloodMode = 0;              // 0 whole blood, 1 peripheral blood, 2 pre-diluted
  uint8_t wbcTimeTenths = 50;     // WBC counting time, tenths of a second
  float calibration[20] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};  // screen order
  // HGB readings of the run header; null leaves the record without an HGB measurement.
  const uint16_t* hgbBlank = nullptr;
  const uint16_t* hgbSample = nullptr;
};

// Zero-fills the record and sets the readings, the blood-mode constants, the count times, the
// six calibration factors and the histograms (PLT channels 128-255 stay zero).
void FillAlgorithmInput(AlgorithmInput& input, const CountInputs& inputs, const HistogramBuffers& histograms);

// Computed (the entry point ran), LibraryMissing (the file could not be loaded), EntryMissing.
using ZentilStatus = ZentilCallStatus;

// The operator message of a library that does not load (shown with the error icon).
inline constexpr const char* kZentilLoadFailedText = "Load Zentil.dll failed!";

// Where the operator message goes; the test screen shows it in its message box. Without a hook
// the message is only written as a log line.
using ZentilMessageHook = std::function<void(const std::string& message)>;
void SetZentilMessageHook(ZentilMessageHook hook);
// The hook of a counting screen. The library is called several times in one count (each count's
// quick values, then the result), and a box at each call would hold the count until it timed
// out: `tell` gets the first message of a count only, for where the screen tells its operator
// and for the system log. `told` is the screen's own, cleared when a count starts.
ZentilMessageHook TellOncePerCount(bool& told, std::function<void(const std::string& message)> tell);

// The library file used; empty (the default) means libZentil.so in the program folder.
void SetZentilLibraryPath(const std::string& path);
std::string ZentilLibraryPath();

// Zero-fills the result, binds the library, calls AlgorithmMain with no parameter block and
// unloads. A library that does not load reports kZentilLoadFailedText through the hook; a
// missing entry point reports nothing. In both cases the result stays zero-filled and the
// status says so: the caller must not take zeros for values.
ZentilStatus CallAlgorithmMain(AlgorithmResult& result, AlgorithmInput& input);

// Re-splits the WBC histogram of `result` at the four line channels through AdjustWbcHistogram,
// bound the same way and under the same lock as CallAlgorithmMain. A library that does not load
// is written as a log line only; the caller tells the operator.
ZentilStatus CallAdjustWbcHistogram(AlgorithmResult& result, AlgorithmInput& input, const uint16_t lines[4]);

}  // namespace measurement
