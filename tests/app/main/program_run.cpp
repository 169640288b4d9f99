#include "program_run.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace fs = std::filesystem;

namespace program_run {

ProgramCopy::ProgramCopy() : folder_("quorvex_program", false) {
  const fs::path from = QUORVEX_PROGRAM_DIR;
  for (const char* name : {"Quorvex", "libZentil.so", "Setting.ini"}) fs::copy_file(from / name, folder_.path() / name);
  for (const char* dir : {"ProduceInfo", "skin", "Picture"})
    if (fs::exists(from / dir)) fs::copy(from / dir, folder_.path() / dir, fs::copy_options::recursive);
}

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

Simulator::Simulator(const std::string& program, const std::vector<std::string>& flags) {
  int out[2];
  if (pipe(out) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    const std::string exe = std::string(QUORVEX_PROGRAM_DIR) + "/" + program;
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& f : flags) argv.push_back(const_cast<char*>(f.c_str()));
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  // Its first line names the pseudo-terminal.
  std::string line;
  char c;
  while (line.find('\n') == std::string::npos && read(out[0], &c, 1) == 1) line += c;
  close(out[0]);
  const size_t at = line.find("/dev/pts/");
  if (at != std::string::npos) {
    size_t end = at + 9;
    while (end < line.size() && isdigit(static_cast<unsigned char>(line[end]))) ++end;
    device_ = line.substr(at, end - at);
  }
}

Simulator::~Simulator() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

void BoardSim::PressCountKey() const {
  if (pid_ > 0) kill(pid_, SIGUSR1);
}

pid_t Start(const ProgramCopy& program, const std::vector<std::string>& args, const std::string& display,
            const std::string& board, const std::string& printer) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (display.empty()) {
      setenv("QUORVEX_UI_BACKEND", "offscreen", 1);
      unsetenv("DISPLAY");
    } else {
      setenv("QUORVEX_UI_BACKEND", "sdl", 1);
      setenv("DISPLAY", display.c_str(), 1);
    }
    setenv("QUORVEX_COM4", board.empty() ? "/dev/null" : board.c_str(), 1);
    setenv("QUORVEX_COM3", printer.empty() ? "/dev/null" : printer.c_str(), 1);
    unsetenv("QUORVEX_INSTRUMENT_PC");
    // Its own single-instance lock: a Quorvex running on this machine must not turn it away.
    setenv("XDG_RUNTIME_DIR", program.folder().c_str(), 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("Quorvex"));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.exe().c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

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

}  // namespace program_run
