// The result history at a laboratory's size: opening the results browser over 50,000 stored
// results and showing its first page (the opening purge included), turning a page, and opening
// the single-result view of a result with its raw record (the algorithm library runs once).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/data_store.h"
#include "history/history_globals.h"
#include "history/history_graphics.h"
#include "history/history_list.h"
#include "measurement/raw_files.h"
#include "measurement/zentil_call.h"
#include "platform/db/connection.h"
#include "platform/sys/clock.h"
#include "platform/sys/program_dir.h"
#include "platform/ui/app.h"
#include "platform/ui/message_box.h"

namespace {

constexpr int kRows = 50000;

void Setup() {
  static bool done = false;
  if (done) return;
  done = true;
  const auto dir = std::filesystem::temp_directory_path() / ("quorvex_bench_history_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  sys::SetProgramDir(dir.string());
  AppSettings.ProgramFolder = dir.string() + "/";
  AppSettings.LanguageIndex = 1;
  AppSettings.LayoutScale = 1.25f;
  AppSettings.LargeScreen = 1;
  if (!CreateDataStoreIfMissing()) std::abort();
  measurement::SetZentilLibraryPath(QUORVEX_ZENTIL_PATH);
  db::Connection c;
  if (!c.Open(DatabasePath())) std::abort();
  db::Transaction t(c);
  for (int i = 0; i < kRows; ++i) {
    const int day = i / 40;
    char date[16], time[16];
    std::snprintf(date, sizeof date, "%d-%.2d-%.2d", 2022 + day / 336, 1 + (day / 28) % 12, 1 + day % 28);
    std::snprintf(time, sizeof time, "%.2d:%.2d:00", 8 + (i % 40) / 6, (i % 6) * 10);
    const std::string sql =
        "insert into Person(SampleNo,TestDate,TestTime,Name,Sex,Age,AgeUnit,BloodType,ReferValue,WBC,LYMA,MONA,GRAA,"
        "LYMP,MONP,GRAP,RBC,HGB,MCHC,MCH,MCV,RDWCV,RDWSD,HCT,PLT,MPV,PDW,PCT,PLCR,WBCUnit) values('" +
        std::to_string(i % 40 + 1) + "','" + date + "','" + time + "','Patient','Male',40,'Y','Whole blood',"
        "'General','" + std::to_string(4 + i % 5) + ".5 H','1.5','0.3','2.2','30.0','8.0','62.0','4.50','135','330',"
        "'30.0','90.0','13.0','45.0','40.5','210','9.0','15.0','0.20','25.0','10^9/L')";
    if (!c.Execute(sql)) std::abort();
  }
  if (!t.Commit()) std::abort();
  measurement::HistogramBuffers h;
  for (size_t k = 0; k < measurement::kWbcChannels; ++k) h.wbc[k] = static_cast<float>((k * 7) % 97);
  for (size_t k = 0; k < measurement::kRbcChannels; ++k) h.rbc[k] = static_cast<float>((k * 3) % 89);
  for (size_t k = 0; k < measurement::kPltChannels; ++k) h.plt[k] = static_cast<float>((k * 5) % 31);
  measurement::WriteTestDataRecord(AppSettings.ProgramFolder, measurement::TestDataKey("2022-01-01", "1"), h);
}

void StartUi() {
  sys::Clock::UseManual();
  ui::InitOptions o;
  o.backend = ui::BackendKind::Offscreen;
  o.width = 800;
  o.height = 600;
  ui::Init(o);
  ui::SetMessageBoxHandler([](ui::Window*, const std::string&, const std::string&, unsigned) { return ui::IDOK; });
}

void BM_OpenBrowserFirstPage(benchmark::State& state) {
  Setup();
  StartUi();
  for (auto _ : state) {
    CHistoryList list;
    list.CreateModeless();
    ui::PumpPending();
    list.UpdateWindow();
    if (list.FilledColumns() != 100) state.SkipWithError("no page");
    list.DestroyWindow();
  }
  ui::Shutdown();
}
BENCHMARK(BM_OpenBrowserFirstPage)->Unit(benchmark::kMillisecond);

void BM_TurnPage(benchmark::State& state) {
  Setup();
  StartUi();
  {
    CHistoryList list;
    list.CreateModeless();
    ui::PumpPending();
    bool down = true;
    for (auto _ : state) {
      if (down) list.OnPageDown();
      else list.OnPageUp();
      down = !down;
      list.UpdateWindow();
    }
    list.DestroyWindow();
  }
  ui::Shutdown();
}
BENCHMARK(BM_TurnPage)->Unit(benchmark::kMillisecond);

void BM_OpenView(benchmark::State& state) {
  Setup();
  StartUi();
  for (auto _ : state) {
    CHistoryGraphics view;
    view.m_totalCount = kRows;
    view.m_sampleNo = "1";
    history::HistorySelectedTestDate = "2022-01-01";
    view.CreateModeless();
    ui::PumpPending();
    view.UpdateWindow();
    if (!view.Compute().computed) state.SkipWithError("not recomputed");
    view.DestroyWindow();
  }
  ui::Shutdown();
}
BENCHMARK(BM_OpenView)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
