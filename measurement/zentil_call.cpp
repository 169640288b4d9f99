#include "measurement/zentil_call.h"

#include <cstring>
#include <mutex>

#include "app/write_log.h"
#include "platform/sys/dynlib.h"
#include "platform/sys/program_dir.h"

namespace measurement {
namespace {

std::mutex g_mutex;
ZentilMessageHook g_hook;
std::string g_libraryPath;

// Zentil keeps module globals between calls; calls from different threads must not overlap.
std::mutex g_callLock;

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

ZentilStatus CallAlgorithmMain(AlgorithmResult& result, AlgorithmInput& input) {
  std::memset(&result, 0, sizeof result);
  const std::string path = ZentilLibraryPath();
  ZentilStatus status = ZentilStatus::Computed;
  {
    std::lock_guard<std::mutex> call(g_callLock);
    sys::DynamicLibrary lib;
    if (!lib.Load(path)) {
      status = ZentilStatus::LibraryMissing;
    } else {
      auto main = lib.Function<AlgorithmMainProc>("AlgorithmMain");
      if (main == nullptr) {
        status = ZentilStatus::EntryMissing;
      } else {
        main(&result, &input, nullptr);
      }
      lib.Unload();
    }
  }
  if (status == ZentilStatus::LibraryMissing) {
    ZentilMessageHook hook;
    {
      std::lock_guard<std::mutex> g(g_mutex);
      hook = g_hook;
    }
    WriteLog(kZentilLoadFailedText);
    if (hook) hook(kZentilLoadFailedText);
  }
  return status;
}

}  // namespace measurement
