// The program ended by the system (SIGTERM from a service manager or a logout, SIGINT from a
// terminal) ends as its Exit path does: it leaves every screen, saves and writes its shut-down
// row, and does not power the PC off.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "program_run.h"
#include "tests/support/xvfb.h"

namespace fs = std::filesystem;
using program_run::ProgramCopy;
using program_run::Sqlite;
using program_run::WaitEnd;

namespace {

// Waits until the program made its data store and ran its start-up, which ends in a message
// box about the missing board that waits for the operator.
::testing::AssertionResult StartUpHasRun(const ProgramCopy& program) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline && !fs::exists(program.store()))
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  if (!fs::exists(program.store())) return ::testing::AssertionFailure() << "the program did not make its data store";
  std::this_thread::sleep_for(std::chrono::seconds(3));
  return ::testing::AssertionSuccess();
}

TEST(Termination, SigtermAndSigintEndTheProgramAsItsExitDoes) {
  for (int sig : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(sig == SIGTERM ? "SIGTERM" : "SIGINT");
    ProgramCopy program;
    const pid_t pid = program_run::Start(program, {"--offscreen", "--seconds", "60"});
    ASSERT_GT(pid, 0);
    // The start-up has run before the signal comes. The program holds its store exclusively
    // while it runs, so the store is read only after it ended.
    ASSERT_TRUE(StartUpHasRun(program));
    ASSERT_EQ(kill(pid, sig), 0);
    EXPECT_EQ(WaitEnd(pid, 20), 0) << "ends by itself, with the exit code of a normal end";

    // The shut-down row: the last row of the system log, result "ended by the system" in the
    // store's language (the default store speaks Chinese or English).
    const std::string result = Sqlite(program.store(), "select Result from SysLog order by rowid desc limit 1");
    EXPECT_TRUE(result == "Ended by the system" || result == "程序被系统结束") << result;
    // The day the counters count is today's.
    char today[16];
    const time_t now = time(nullptr);
    strftime(today, sizeof today, "%Y-%m-%d", localtime(&now));
    EXPECT_EQ(Sqlite(program.store(), "select DateToday from Statistic"), today);
  }
}

// A run ended by --seconds is a clean end: its shut-down row is written, so the next start
// does not book the run as ended abnormally.
TEST(Termination, TimedRunEndsCleanly) {
  ProgramCopy program;
  for (int run = 0; run < 2; ++run) {
    const pid_t pid = program_run::Start(program, {"--offscreen", "--seconds", "6"});
    ASSERT_GT(pid, 0);
    EXPECT_EQ(WaitEnd(pid, 40), 0) << "run " << run;
    const std::string event = Sqlite(program.store(), "select Event from SysLog order by rowid desc limit 1");
    EXPECT_TRUE(event == "Shut Down" || event == "关机") << "run " << run << ": " << event;
  }
  EXPECT_EQ(Sqlite(program.store(), "select count(*) from SysLog where Result in ('Abnormal', '异常')"), "0");
}

// The X server stops under the program in its window (as at a system shutdown), at the
// start-up's message box and with a SIGTERM at the same moment: the program ends within
// seconds, writes its shut-down row and leaves no thread behind that keeps it.
TEST(Termination, TheDisplayGoingAwayEndsTheProgram) {
  if (!support::HaveXvfb()) GTEST_SKIP() << "Xvfb not installed";
  for (bool withSignal : {false, true}) {
    SCOPED_TRACE(withSignal ? "with SIGTERM" : "display alone");
    support::Xvfb x(640, 480);
    ASSERT_FALSE(x.display().empty()) << "Xvfb did not start";
    ProgramCopy program;
    const pid_t pid = program_run::Start(program, {"--seconds", "120"}, x.display());
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(StartUpHasRun(program));
    x.Stop();
    if (withSignal) kill(pid, SIGTERM);
    const int code = WaitEnd(pid, 20);
    EXPECT_NE(code, -1) << "still running 20 s after its display went";
    EXPECT_EQ(code, 0) << "ends through its own orderly path";
    const std::string result = Sqlite(program.store(), "select Result from SysLog order by rowid desc limit 1");
    EXPECT_TRUE(result == "Ended by the system" || result == "程序被系统结束") << result;
  }
}

}  // namespace
