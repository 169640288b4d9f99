#pragma once
// Process-wide values that the start-up, shutdown and stop-use sequences leave for the other
// screens. Plain globals, written and read on the user-interface thread.
#include <array>
#include <cstdint>
#include <string>

namespace analyzer {

// The histograms of the last start-up blank pass (WBC 256, RBC 256, PLT 128 bins).
struct BlankHistogramBuffers {
  std::array<float, 256> wbc{};
  std::array<float, 256> rbc{};
  std::array<float, 128> plt{};
  void Clear() {
    wbc.fill(0.0f);
    rbc.fill(0.0f);
    plt.fill(0.0f);
  }
};
extern BlankHistogramBuffers BlankHistograms;
// Bytes 6-7 of the last run header; 0 is kept as 0xFFFF.
extern uint16_t RunHeaderValue;
// Which pass of a blank count runs (1 or 2); kept across screens.
extern int BlankCountPhase;
// The board took the hardware parameters (answered EF 07) during this start.
extern uint8_t BoardParametersSent;
// The start-up blank was evaluated; the test screen runs its background check and clears it.
extern uint8_t StartupBlankEvaluated;
// The start-up row of the system log was written; it is written once per process.
extern uint8_t StartupLogWritten;

// Samples of today and of all time, and the minutes this run has been going.
struct SampleCounterValues {
  int32_t SampleCountToday = 0;
  int32_t SampleCountAll = 0;
  int32_t RunningMinutes = 0;
  // Of RunningMinutes, those already added to the statistics' total time: a run can be ended
  // by the stop-use screen, the shutdown screen and the termination signal one after another.
  int32_t RunningMinutesSaved = 0;
};
extern SampleCounterValues SampleCounters;

// The soak reminder's settings and count (copies of the SysSetting columns).
struct SoakValues {
  uint8_t IsOpenSoakTips = 1;
  uint32_t DeviceTestTimes = 0;
  int32_t SetSoakTimes = 200;
  int32_t SetSoakDays = 7;
  std::string SoakDaysStartDate = "2015-10-26 9:25:2";
  // Tests since the last automatic chamber cleaning (sample, calibration and QC counts).
  int32_t TestsSinceAutoClean = 0;
  // Times the automatic-rinse question was answered Cancel since the last rinse; after three
  // the next due rinse runs without asking. Shared by every screen that counts.
  int32_t RinsePromptsDeclined = 0;
};
extern SoakValues Soak;

// The start-up has read the counters and the reagent account from the store; before that the
// values in memory are placeholders that must never be written back.
extern uint8_t StartupStoreRead;

// A Shut Down row of the system log was written in this run (shutdown or stop-use screen); a
// termination that follows adds none of its own.
extern uint8_t ShutdownRowWritten;

// The dots of the shutdown screen's status line (1..6); kept between screens.
extern int ShutdownDotsCount;

}  // namespace analyzer
