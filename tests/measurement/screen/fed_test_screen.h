// The test screen on the offscreen framework in a program folder of its own, fed the board's
// bytes directly (no port), with the built algorithm library: the setting the count, repaint
// and start-up benchmarks and the repaint pixel test share. Counts come from the board
// simulator's generator, one per seed.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analyzer/frame.h"
#include "analyzer/reagent.h"
#include "analyzer/sequences/startup_store.h"
#include "controls/skin_loader.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/data_store.h"
#include "measurement/screen/sample_test_screen.h"
#include "measurement/zentil_call.h"
#include "platform/db/connection.h"
#include "platform/sys/clock.h"
#include "platform/sys/program_dir.h"
#include "platform/ui/app.h"
#include "platform/ui/message_box.h"
#include "tools/boardsim/blood_profile.h"

namespace bench_rig {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

inline Bytes Command(uint8_t cls, uint8_t command, std::vector<uint8_t> params = {}) {
  const analyzer::CommandFrame f = analyzer::BuildCommandFrame(cls, command, params);
  return Bytes(f.begin(), f.end());
}

struct CountFrames {
  Bytes header, wbc, rbc, plt;
  size_t Size() const { return header.size() + wbc.size() + rbc.size() + plt.size(); }
};

// A count of sample `sample` (its blood profile) with the counting noise of `seed`. The two counts
// of one sample are given the same seed, so that they agree and no third count is asked for.
inline CountFrames MakeCount(uint32_t sample, uint32_t seed) {
  static const boardsim::Profile kProfiles[] = {boardsim::Profile::Normal, boardsim::Profile::Anaemic,
                                                boardsim::Profile::Thrombocytopenic,
                                                boardsim::Profile::Leukocytosis};
  const boardsim::CountData c =
      boardsim::GenerateCount(boardsim::ProfileData(kProfiles[sample % 4]), 5.0f, false, seed, true);
  CountFrames f;
  f.header = analyzer::BuildRunHeader(c.hgbBlank, c.hgbSample);
  f.wbc = analyzer::BuildHistogramFrame(analyzer::ChannelWbc, c.wbc);
  f.rbc = analyzer::BuildHistogramFrame(analyzer::ChannelRbc, c.rbc);
  f.plt = analyzer::BuildHistogramFrame(analyzer::ChannelPlt, c.plt);
  return f;
}

inline std::string ExeDir() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  buf[n] = 0;
  return fs::path(buf).parent_path().string();
}

// Prepares `folder` as the program folder (a fresh store unless one is there already) and loads
// the unit decimals from it, without the window framework.
// `zentil` is the algorithm library's path, by default the one beside the benchmarks.
inline void StartStore(const fs::path& folder, const std::string& zentil = ExeDir() + "/../bin/libZentil.so") {
  fs::create_directories(folder);
  sys::SetProgramDir(folder.string());
  AppSettings.ProgramFolder = folder.string() + "/";
  AppSettings.LanguageIndex = 1;
  AppSettings.LayoutScale = 1.25f;
  CreateDataStoreIfMissing();
  {
    db::Connection c;
    c.Open(DatabasePath());
    c.Execute("update SysSetting set IsOpenSoakTips=0, AutoCleanTime=0, DormancyTime=0");
  }
  measurement::SetZentilLibraryPath(zentil);
  analyzer::Reagents().volumes().DiluentVol = 1e9f;
  analyzer::Reagents().volumes().LyseVol = 1e9f;
  analyzer::Reagents().volumes().CleanerVol = 1e9f;
  ::setenv("QUORVEX_COM4", "/nonexistent/quorvex-board", 1);
  // The decimals of the shown values, read from the store as start-up reads them.
  CADOConn conn;
  conn.Connect();
  analyzer::LoadUnitDecimals(conn);
  conn.Disconnect();
}

// StartStore, then the framework at 800x600 (offscreen unless `backend` names another) with the
// manual clock.
inline void Start(const fs::path& folder, ui::BackendKind backend = ui::BackendKind::Offscreen) {
  StartStore(folder);
  sys::Clock::UseManual();
  ui::InitOptions o;
  o.backend = backend;
  o.width = 800;
  o.height = 600;
  ui::Init(o);
  RegisterSkinBitmaps(AppSettings.ProgramFolder);
  ui::SetMessageBoxHandler([](ui::Window*, const std::string&, const std::string&, unsigned) { return ui::IDOK; });
}

inline void Stop() {
  ui::SetMessageBoxHandler({});
  ui::Shutdown();
  measurement::SetZentilLibraryPath("");
  sys::SetProgramDir("");
}

// The board's side of one sample: the two counts of a cycle, fed to the screen's count cycle.
struct Board {
  measurement::CountCycle& cycle;
  const Bytes key = Command(0xCC, 0xFF), startAck = Command(0xAA, 0x01, {0xFF}),
              nextAck = Command(0xAA, 0x00, {0xFF});
  const Bytes endReply = Command(0xAA, 0x11, {0xFF, 40, 40, 0}),
              temperature = Command(0xCC, 0x80, {0x01, 0x55});
  const Bytes sampleMode = Command(0xAA, 0x90, {0xFF});

  void Feed(const Bytes& b) { cycle.OnBytes(b.data(), b.size()); }
  // Everything up to, not including, the last byte of the second count's PLT frame.
  void UpToLastByte(const CountFrames& first, const CountFrames& second) {
    Feed(key);
    Feed(startAck);
    Feed(first.header);
    Feed(first.wbc);
    Feed(first.rbc);
    Feed(first.plt);
    Feed(nextAck);
    Feed(second.header);
    Feed(second.wbc);
    Feed(second.rbc);
    cycle.OnBytes(second.plt.data(), second.plt.size() - 1);
  }
  void LastByte(const CountFrames& second) { cycle.OnByte(second.plt.back()); }
  void EndOfCycle() {
    Feed(endReply);
    Feed(temperature);
  }
};

}  // namespace bench_rig
