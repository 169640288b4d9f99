// Sending 1,000 stored samples to the LIS simulator over loopback, one HL7 result message each
// with its acknowledgement awaited (read from the store, build, frame, send under the link's
// lock, join and parse the reply). Reported per message: the wall time, and the software time
// (this process's CPU time) that goes into a message beyond the round trip.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>

#include "core/ado_conn.h"
#include "core/data_store.h"
#include "core/lis_link_state.h"
#include "lis/lis_link.h"
#include "lis/lis_send.h"
#include "lis/stored_send.h"
#include "platform/sys/program_dir.h"
#include "tools/lissim/server.h"

namespace {

constexpr int kSamples = 1000;

double CpuSeconds(clockid_t which = CLOCK_PROCESS_CPUTIME_ID) {
  timespec t;
  clock_gettime(which, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

void BM_SendStoredSamples(benchmark::State& state) {
  const auto dir = std::filesystem::temp_directory_path() / ("quorvex_bench_lis_" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  sys::SetProgramDir(dir.string());
  if (!CreateDataStoreIfMissing()) std::abort();
  std::vector<lis::StoredSampleKey> keys;
  {
    CADOConn conn;
    conn.Execute("begin");
    for (int i = 1; i <= kSamples; ++i) {
      conn.Execute("insert into Person (SampleNo,TestDate,TestTime,Name,Sex,Age,AgeUnit,WBC,LYMA,MONA,GRAA,RBC,HGB,"
                   "MCHC,MCH,MCV,HCT,PLT,RefText) values ('" + std::to_string(i) +
                   "','2026-03-07','08:00:00','Patient " + std::to_string(i) +
                   "','F',40,'Y','*7.20 H','2.1','0.5','4.6','4.50','135','330','29.0','88.0','40.0','250',"
                   "'4.0-10.0,0.8-4.0,0.1-1.5,2.0-7.0')");
      keys.push_back({std::to_string(i), "2026-03-07"});
    }
    conn.Execute("commit");
  }
  lissim::Server sim;
  if (!sim.Start()) std::abort();
  LisLinkState.ServerAddress = "127.0.0.1";
  LisLinkState.ServerPort = sim.Port();
  LisLinkState.NetworkReady = 1;
  LisLinkState.ApplyPending = 0;
  LisLinkState.LinkKind = 1;
  lis::SetLisLinkPollMs(20);
  lis::SetWalkPauseMs(0);
  lis::StartLisThreads();
  while (LisLinkState.LisConnected.load() != 1) std::this_thread::sleep_for(std::chrono::milliseconds(5));

  CADOConn conn;
  int delivered = 0;
  double cpu = 0, senderCpu = 0;
  for (auto _ : state) {
    const double c0 = CpuSeconds(), t0 = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    lis::BatchResult b = lis::SendStoredSamples(conn, keys, 1);
    cpu += CpuSeconds() - c0;
    senderCpu += CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - t0;
    delivered += b.delivered;
    if (!b.complete()) state.SkipWithError("not every sample was acknowledged");
  }
  const double messages = static_cast<double>(state.iterations()) * kSamples;
  state.counters["delivered"] = delivered;
  state.counters["us_per_message"] = benchmark::Counter(messages, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  // The process's CPU time includes the simulator's share; what Quorvex spends is below that.
  state.counters["cpu_us_per_message"] = cpu / messages * 1e6;
  // The sending thread alone: read the row, build, frame, send, wait (the reply is parsed on the
  // receive thread, counted in the process figure).
  state.counters["sender_cpu_us_per_message"] = senderCpu / messages * 1e6;
  lis::StopLisThreads();
  sim.Stop();
  sys::SetProgramDir("");
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SendStoredSamples)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
