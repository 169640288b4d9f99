#include "measurement/zentil_call.h"

#include <cstring>
#include <mutex>

#include "app/write_log.h"
#include "platform/sys/program_dir.h"

namespace measurement {
namespace {

std::mutex g_mutex;
ZentilMessageHook g_hook;
std::string g_libraryPath;

}  // namespace

void FillAlgorithmInput(AlgorithmInput& in, const CountInputs& c, const HistogramBuffers& h) {
  std::memset(&in, 0, sizeof in);
  if (c.hgbBlank != nullptr && c.hgbSample != nullptr) {
    in.HgbBlankReadings = c.hgbBlank;
    in.HgbSampleReadings = c.hgbSample;
    in.HgbReadingCount = 1;
  }
  const bool prediluted = c.bloodMode == 2;
  in.BloodMode = prediluted ? 1 : 0;
  in.WbcDilution = prediluted ? 337.72f : 280.0f;
  in.RbcDilution = prediluted ? 21476.0f : 18109.0f;
  in.WbcRateDivisor = 25.6f;
  in.RbcRateDivisor = 10.4f;
  const float countTime = static_cast<float>(c.wbcTimeTenths / 10);
  in.WbcCountTime = countTime;
  in.RbcCountTime = countTime;
  in.WbcFactor = c.calibration[0];
  in.HgbFactor = c.calibration[8];
  in.RbcFactor = c.calibration[7];
  in.McvFactor = c.calibration[10];
  in.PltFactor = c.calibration[15];
  in.MpvFactor = c.calibration[16];
  std::memcpy(in.WbcHistogram, h.wbc, sizeof h.wbc);
  std::memcpy(in.RbcHistogram, h.rbc, sizeof h.rbc);
  std::memcpy(in.PltHistogram, h.plt, sizeof h.plt);
}

void SetZentilMessageHook(ZentilMessageHook hook) {
  std::lock_guard<std::mutex> g(g_mutex);
  g_hook = std::move(hook);
}

void SetZentilLibraryPath(const std::string& path) {
  std::lock_guard<std::mutex> g(g_mutex);
  g_libraryPath = path;
}

std::string ZentilLibraryPath() {
  std::lock_guard<std::mutex> g(g_mutex);
  return g_libraryPath.empty() ? sys::ProgramFile(kZentilLibraryFile) : g_libraryPath;
}

namespace {

// Binds the library for one call (see app/zentil_binding.h); a library that does not load is
// written as a log line.
template <class Proc, class Call>
ZentilStatus WithEntryPoint(const char* name, Call call) {
  const ZentilStatus status = WithZentilEntry<Proc>(ZentilLibraryPath(), name, call);
  if (status == ZentilStatus::LibraryMissing) WriteLog(kZentilLoadFailedText);
  return status;
}

}  // namespace

ZentilStatus CallAlgorithmMain(AlgorithmResult& result, AlgorithmInput& input) {
  std::memset(&result, 0, sizeof result);
  const ZentilStatus status =
      WithEntryPoint<AlgorithmMainProc>("AlgorithmMain", [&](AlgorithmMainProc main) { main(&result, &input, nullptr); });
  if (status == ZentilStatus::LibraryMissing) {
    ZentilMessageHook hook;
    {
      std::lock_guard<std::mutex> g(g_mutex);
      hook = g_hook;
    }
    if (hook) hook(kZentilLoadFailedText);
  }
  return status;
}

ZentilStatus CallAdjustWbcHistogram(AlgorithmResult& result, AlgorithmInput& input, const uint16_t lines[4]) {
  return WithEntryPoint<AdjustWbcHistogramProc>(
      "AdjustWbcHistogram", [&](AdjustWbcHistogramProc adjust) { adjust(&result, &input, lines); });
}

}  // namespace measurement
