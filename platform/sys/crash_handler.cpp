#include "platform/sys/crash_handler.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/sys/program_dir.h"

namespace sys {
namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr size_t kPathMax = 4096;

char g_folder[kPathMax];  // dump folder, ending in '/'
char g_altStack[64 * 1024];
volatile sig_atomic_t g_inHandler = 0;

size_t StrLen(const char* s) {
  size_t n = 0;
  while (s[n]) ++n;
  return n;
}

void Put(int fd, const char* s) {
  size_t n = StrLen(s);
  while (n > 0) {
    ssize_t w = write(fd, s, n);
    if (w <= 0) {
      if (w < 0 && errno == EINTR) continue;
      return;
    }
    s += w;
    n -= static_cast<size_t>(w);
  }
}

// Unsigned number in the given base into buf (NUL-terminated); returns buf.
char* Num(unsigned long v, unsigned base, char* buf, size_t size) {
  char tmp[32];
  size_t n = 0;
  do {
    unsigned d = static_cast<unsigned>(v % base);
    tmp[n++] = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
    v /= base;
  } while (v && n < sizeof(tmp));
  size_t i = 0;
  while (n > 0 && i + 1 < size) buf[i++] = tmp[--n];
  buf[i] = 0;
  return buf;
}

const char* SignalName(int sig) {
  switch (sig) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGFPE: return "SIGFPE";
    case SIGILL: return "SIGILL";
    case SIGABRT: return "SIGABRT";
    default: return "signal";
  }
}

void Handler(int sig, siginfo_t* info, void*) {
  if (!g_inHandler) {
    g_inHandler = 1;
    char path[kPathMax + 32];
    char num[32];
    size_t n = StrLen(g_folder);
    std::memcpy(path, g_folder, n);
    const char* pre = "cc_";
    std::memcpy(path + n, pre, 3);
    n += 3;
    Num(static_cast<unsigned long>(getpid()), 10, num, sizeof(num));
    size_t k = StrLen(num);
    std::memcpy(path + n, num, k);
    n += k;
    std::memcpy(path + n, ".dmp", 5);

    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
      Put(fd, "Quorvex crash report\nsignal: ");
      Put(fd, Num(static_cast<unsigned long>(sig), 10, num, sizeof(num)));
      Put(fd, " (");
      Put(fd, SignalName(sig));
      Put(fd, ")\npid: ");
      Put(fd, Num(static_cast<unsigned long>(getpid()), 10, num, sizeof(num)));
      Put(fd, "\ntime: ");
      struct timespec ts;
      clock_gettime(CLOCK_REALTIME, &ts);
      Put(fd, Num(static_cast<unsigned long>(ts.tv_sec), 10, num, sizeof(num)));
      if (info) {
        Put(fd, "\naddress: 0x");
        Put(fd, Num(reinterpret_cast<unsigned long>(info->si_addr), 16, num, sizeof(num)));
        Put(fd, "\ncode: ");
        Put(fd, Num(static_cast<unsigned long>(info->si_code), 10, num, sizeof(num)));
      }
      Put(fd, "\nbacktrace:\n");
      void* frames[128];
      int count = backtrace(frames, 128);
      backtrace_symbols_fd(frames, count, fd);
      Put(fd, "end\n");
      fsync(fd);
      close(fd);
    }
  }
  // Default action from here on, then raise again so the process ends as it would have.
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

bool InstallCrashHandler(const std::string& dumpFolder, std::string* error) {
  std::string folder = dumpFolder.empty() ? ProgramDir() : dumpFolder;
  if (folder.back() != '/') folder += '/';
  if (folder.size() >= kPathMax) {
    if (error) *error = "dump folder path too long";
    return false;
  }
  std::memcpy(g_folder, folder.c_str(), folder.size() + 1);

  // The first backtrace call loads the unwinder, which may allocate: do it now, not in the
  // handler.
  void* warm[4];
  backtrace(warm, 4);

  stack_t ss{};
  ss.ss_sp = g_altStack;
  ss.ss_size = sizeof(g_altStack);
  ss.ss_flags = 0;
  if (sigaltstack(&ss, nullptr) != 0) {
    if (error) *error = std::string("sigaltstack: ") + std::strerror(errno);
    // Not fatal: faults other than a stack overflow are still reported.
  }

  struct sigaction sa{};
  sa.sa_sigaction = Handler;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
  for (int sig : kSignals) {
    if (sigaction(sig, &sa, nullptr) != 0) {
      if (error) *error = std::string("sigaction: ") + std::strerror(errno);
      return false;
    }
  }
  g_inHandler = 0;
  return true;
}

namespace {
constexpr size_t kThreadAltStackSize = 64 * 1024;
}

ThreadCrashStack::ThreadCrashStack() {
  stack_t current{};
  // Keep a stack the thread already has.
  if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE)) return;
  memory_ = std::malloc(kThreadAltStackSize);
  if (!memory_) return;
  stack_t ss{};
  ss.ss_sp = memory_;
  ss.ss_size = kThreadAltStackSize;
  if (sigaltstack(&ss, nullptr) != 0) {
    std::free(memory_);
    memory_ = nullptr;
  }
}

ThreadCrashStack::~ThreadCrashStack() {
  if (!memory_) return;
  stack_t ss{};
  ss.ss_flags = SS_DISABLE;
  sigaltstack(&ss, nullptr);
  std::free(memory_);
}

void RemoveCrashHandler() {
  for (int sig : kSignals) signal(sig, SIG_DFL);
}

}  // namespace sys
