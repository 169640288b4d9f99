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

#include "tests/support/program_folder.h"

namespace fs = std::filesystem;

namespace {

// A copy of the built program folder without its data store, trace files or raw data.
class ProgramCopy {
 public:
  ProgramCopy() : folder_("quorvex_termination", false) {
    const fs::path from = QUORVEX_PROGRAM_DIR;
    for (const char* name : {"Quorvex", "libZentil.so", "Setting.ini"}) fs::copy_file(from / name, folder_.path() / name);
    for (const char* dir : {"ProduceInfo", "skin"})
      if (fs::exists(from / dir)) fs::copy(from / dir, folder_.path() / dir, fs::copy_options::recursive);
  }
  std::string exe() const { return folder_.file("Quorvex"); }
  std::string store() const { return folder_.file("Vantorium.mdb"); }
  std::string folder() const { return folder_.path().string(); }

 private:
  support::ScratchProgramFolder folder_;
};

std::string Sqlite(const std::string& db, const std::string& sql) {
  std::string cmd = "sqlite3 '" + db + "' \"" + sql + "\" 2>/dev/null";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[512];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

// Starts the program offscreen with no board and no printer; returns its pid.
pid_t Start(const ProgramCopy& program) {
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("QUORVEX_UI_BACKEND", "offscreen", 1);
    setenv("QUORVEX_COM4", "/dev/null", 1);
    setenv("QUORVEX_COM3", "/dev/null", 1);
    unsetenv("QUORVEX_INSTRUMENT_PC");
    // Its own single-instance lock: a Quorvex running on this machine must not turn it away.
    setenv("XDG_RUNTIME_DIR", program.folder().c_str(), 1);
    execl(program.exe().c_str(), "Quorvex", "--offscreen", "--seconds", "60", static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// Waits for the process to end; -1 when it has not within `seconds`.
int WaitEnd(pid_t pid, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return -1;
}

TEST(Termination, SigtermAndSigintEndTheProgramAsItsExitDoes) {
  for (int sig : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(sig == SIGTERM ? "SIGTERM" : "SIGINT");
    ProgramCopy program;
    const pid_t pid = Start(program);
    ASSERT_GT(pid, 0);
    // The data store is made and the start-up has run (it ends in a message box about the
    // missing board, which waits for the operator) before the signal comes. The program holds
    // its store exclusively while it runs, so the store is read only after it ended.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline && !fs::exists(program.store()))
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(fs::exists(program.store())) << "the program did not make its data store";
    std::this_thread::sleep_for(std::chrono::seconds(3));
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

}  // namespace
