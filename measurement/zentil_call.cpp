#include "measurement/zentil_call.h"

#include <cstring>
#include <mutex>

#include "analyzer/algorithm_input.h"
#include "core/write_log.h"
#include "platform/sys/program_dir.h"

namespace measurement {
namespace {

std::mutex g_mutex;
ZentilMessageHook g_hook;
std::string g_libraryPath;

}  // namespace

void FillAlgorithmInput(AlgorithmInput& in, const CountInputs& c, const HistogramBuffers& h) {
  analyzer::AlgorithmInputValues values;
  values.bloodMode = c.bloodMode;
  values.wbcTimeTenths = c.wbcTimeTenths;
  analyzer::PickAlgorithmFactors(c.calibration, values.factors);
  values.hgbBlank = c.hgbBlank;
  values.hgbSample = c.hgbSample;
  analyzer::FillAlgorithmInput(in, values, h.wbc, h.rbc, h.plt);
}

void SetZentilMessageHook(ZentilMessageHook hook) {
  std::lock_guard<std::mutex> g(g_mutex);
  g_hook = std::move(hook);
}

ZentilMessageHook TellOncePerCount(bool& told, std::function<void(const std::string& message)> tell) {
  return [&told, tell = std::move(tell)](const std::string& message) {
    if (told) return;
    told = true;
    tell(message);
  };
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
