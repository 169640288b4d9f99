#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/sys/crash_handler.h"
#include "platform/sys/program_dir.h"
#include "platform/sys/thread.h"
#include "temp_dir.h"

namespace {

struct CrashCase {
  const char* name;
  int signal;
  void (*crash)();
};

void NullWrite() {
  volatile int* volatile p = nullptr;  // opaque to the optimiser, so a real fault
  *p = 1;
}
void Abort() { std::abort(); }
void RaiseFpe() { raise(SIGFPE); }
void RaiseBus() { raise(SIGBUS); }

volatile bool g_stopRecursion = false;
int Recurse(int depth) {
  volatile char frame[1024];
  frame[0] = static_cast<char>(depth);
  if (g_stopRecursion) return 0;
  return Recurse(depth + 1) + frame[0];
}
// A stack overflow on a worker thread: the report needs the thread's own signal stack.
void WorkerStackOverflow() {
  sys::Thread t;
  t.Start([] { Recurse(0); });
  t.Join();
}

class CrashHandler : public ::testing::TestWithParam<CrashCase> {};

// The child crashes for real; the parent finds the report beside the child's program folder
// and sees the child die of the same signal.
TEST_P(CrashHandler, WritesDumpBesideProgramAndDiesOfTheSameSignal) {
  const CrashCase& c = GetParam();
  testutil::TempDir dir;
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    sys::SetProgramDir(dir.path());
    if (!sys::InstallCrashHandler()) _exit(3);
    c.crash();
    _exit(4);  // not reached
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << (WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  EXPECT_EQ(WTERMSIG(status), c.signal);
  const std::string dump = "cc_" + std::to_string(pid) + ".dmp";
  ASSERT_TRUE(dir.Exists(dump));
  const std::string text = dir.Read(dump);
  EXPECT_NE(text.find(std::string("signal: ") + std::to_string(c.signal)), std::string::npos) << text;
  EXPECT_NE(text.find("backtrace:\n"), std::string::npos) << text;
  EXPECT_NE(text.find("end\n"), std::string::npos) << "report cut short: " << text;
  // At least one frame line between the header and the end.
  EXPECT_GT(text.find("end\n") - text.find("backtrace:\n"), std::string("backtrace:\n").size());
}

INSTANTIATE_TEST_SUITE_P(Signals, CrashHandler,
                         ::testing::Values(CrashCase{"segv", SIGSEGV, NullWrite}, CrashCase{"abort", SIGABRT, Abort},
                                           CrashCase{"fpe", SIGFPE, RaiseFpe}, CrashCase{"bus", SIGBUS, RaiseBus},
                                           CrashCase{"worker_stack_overflow", SIGSEGV, WorkerStackOverflow}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CrashHandlerSetup, RefusesAFolderPathTooLongToHold) {
  std::string error;
  EXPECT_FALSE(sys::InstallCrashHandler(std::string(5000, 'x'), &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
