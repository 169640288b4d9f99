// printersim: the analyzer's thermal printer on a pseudo-terminal. It prints the slave
// device on its first line ("printersim: /dev/pts/N"), which the program uses as its printer
// port (QUORVEX_COM3), and keeps the paper as a PNG that is rewritten whenever a job ends.
//
//   printersim [--out FILE] [--scale N] [--speed BYTES_PER_S] [--link PATH] [--log]
//
// SIGUSR1 takes the paper out (the printer holds XOFF), SIGUSR2 puts it back.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "tools/printersim/server.h"

namespace {

std::atomic<int> g_paperSignal{0};
std::atomic<bool> g_quit{false};

void OnSignal(int sig) {
  if (sig == SIGUSR1) g_paperSignal = 1;
  else if (sig == SIGUSR2) g_paperSignal = 2;
  else g_quit = true;
}

std::string DefaultOut(const char* argv0) {
  char exe[4096];
  const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  std::string dir = ".";
  if (n > 0) {
    exe[n] = 0;
    dir = exe;
    dir = dir.substr(0, dir.rfind('/'));
  } else if (std::strchr(argv0, '/')) {
    dir = std::string(argv0).substr(0, std::string(argv0).rfind('/'));
  }
  return dir + "/printersim-paper.png";
}

void Usage() {
  std::fprintf(stderr,
               "usage: printersim [--out FILE] [--scale N] [--speed BYTES_PER_S] [--link PATH] [--log]\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::string out = DefaultOut(argv[0]);
  std::string link;
  int scale = 1;
  printersim::ServerOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--out" && hasValue) out = argv[++i];
    else if (a == "--scale" && hasValue) scale = std::atoi(argv[++i]);
    else if (a == "--speed" && hasValue) options.bytesPerSecond = std::atoi(argv[++i]);
    else if (a == "--link" && hasValue) link = argv[++i];
    else if (a == "--log") options.log = true;
    else {
      Usage();
      return 2;
    }
  }

  printersim::Server server;
  serial::Status st = server.Start(options);
  if (!st) {
    std::fprintf(stderr, "printersim: %s\n", st.text.c_str());
    return 1;
  }
  std::printf("printersim: %s\n", server.SlavePath().c_str());
  if (!link.empty()) {
    serial::Status ls = server.Pty().LinkSlave(link);
    if (ls) std::printf("printersim: also as %s\n", link.c_str());
    else std::printf("printersim: cannot link %s: %s\n", link.c_str(), ls.text.c_str());
  }
  std::printf("printersim: the paper goes to %s (SIGUSR1 paper out, SIGUSR2 paper in)\n", out.c_str());
  std::fflush(stdout);

  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigaction(SIGUSR1, &sa, nullptr);
  sigaction(SIGUSR2, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);

  long saved = 0;
  size_t logShown = 0;
  while (!g_quit) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (const int s = g_paperSignal.exchange(0)) {
      server.SetPaperOut(s == 1);
      std::printf("printersim: paper %s\n", s == 1 ? "out (XOFF)" : "in (XON)");
      std::fflush(stdout);
    }
    if (options.log) {
      server.WithPaper([&](printersim::Paper&, printersim::Printer& p) {
        for (; logShown < p.Log().size(); ++logShown) std::printf("  %s\n", p.Log()[logShown].c_str());
        return 0;
      });
      std::fflush(stdout);
    }
    // A job has ended when nothing came for a moment: show the paper as it is now.
    const long printed = server.BytesPrinted();
    if (printed != saved && server.IdleMs() > 500) {
      std::string err;
      if (server.SavePng(out, scale, &err)) {
        std::printf("printersim: %ld bytes so far, paper saved to %s\n", printed, out.c_str());
      } else {
        std::printf("printersim: cannot save the paper: %s\n", err.c_str());
      }
      std::fflush(stdout);
      saved = printed;
    }
  }
  server.Stop();
  if (server.BytesPrinted() != saved) server.SavePng(out, scale);
  return 0;
}
