#include "fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "core/app_settings.h"
#include "core/data_store.h"
#include "platform/sys/clock.h"

SequenceFolder::SequenceFolder() : ScratchProgramFolder("quorvex_seq_", /*withDataStore=*/false) {
  AppSettings.ProgramFolder = folder();
  sys::Clock::UseManual(sys::LocalTime{2026, 3, 5, 9, 30, 0, 0, 4});
  std::string error;
  if (!CreateDataStoreIfMissing(nullptr, &error)) ADD_FAILURE() << error;
  ResetProcessValues();
}

int RawCount(const std::string& sql) { return std::atoi(RawScalar(sql).c_str()); }

void ResetProcessValues() {
  using namespace analyzer;
  BlankHistograms.Clear();
  RunHeaderValue = 0xFFFF;
  BlankCountPhase = 1;
  BoardParametersSent = 0;
  StartupBlankEvaluated = 0;
  StartupLogWritten = 0;
  SampleCounters = {};
  ShutdownRowWritten = 0;
  StartupStoreRead = 0;
  Soak = {};
  ShutdownDotsCount = 1;
  Reagents().SetStore(nullptr);
  Reagents().volumes() = ReagentVolumes{};
  Reagents().volumes().DiluentVol = 10000.0f;
  Reagents().volumes().LyseVol = 1000.0f;
  Reagents().volumes().CleanerVol = 1000.0f;
  Reagents().coefficients() = ReagentCoefficients{};
  AppSettings.LanguageIndex = 1;
  AppSettings.ReagentAlarmType = 0;
  AppSettings.UserLevel = 0;
  AppSettings.ChineseEdition = 0;
}

std::vector<uint8_t> Frame(uint8_t cls, uint8_t command, uint8_t p1, uint8_t p2, bool badCheck) {
  analyzer::CommandFrame f = analyzer::BuildCommandFrame(cls, command, p1, p2);
  if (badCheck) f[12] ^= 0x5A;
  return std::vector<uint8_t>(f.begin(), f.end());
}

std::string CommandName(const analyzer::CommandFrame& f) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02X %02X", f[1], f[2]);
  return buf;
}

std::vector<std::string> RecordingHost::Commands() const {
  std::vector<std::string> out;
  for (const auto& f : sent) out.push_back(CommandName(f));
  return out;
}

std::string RecordingHost::Last() const { return sent.empty() ? std::string() : CommandName(sent.back()); }
