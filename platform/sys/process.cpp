#include "platform/sys/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

namespace sys {
namespace {

bool IsExecutableFile(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(p.c_str(), X_OK) == 0;
}

bool Spawn(const std::vector<std::string>& argv, bool newSession, pid_t* pid, std::string* error,
           int stdoutFd = -1) {
  if (argv.empty() || argv[0].empty()) {
    if (error) *error = "no program given";
    return false;
  }
  const std::string path = FindProgram(argv[0]);
  if (path.empty()) {
    if (error) *error = "program not found: " + argv[0];
    return false;
  }
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  if (newSession) posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  // The child gets only standard input, output and error: an open serial port, socket or
  // the single-instance lock must not live on in a helper program.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
  int rc = posix_spawn(pid, path.c_str(), &actions, &attr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) {
    if (error) *error = "cannot start " + path + ": " + std::strerror(rc);
    return false;
  }
  return true;
}

int WaitForChild(pid_t child, const std::vector<std::string>& argv, std::string* error) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      if (error) *error = std::string("waitpid: ") + std::strerror(errno);
      return -1;
    }
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (error) *error = argv[0] + " ended by signal " + std::to_string(WTERMSIG(status));
  return -1;
}

}  // namespace

std::string FindProgram(const std::string& program) {
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos) return IsExecutableFile(program) ? program : std::string();
  const char* pathEnv = std::getenv("PATH");
  std::string paths = pathEnv ? pathEnv : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= paths.size()) {
    size_t end = paths.find(':', start);
    if (end == std::string::npos) end = paths.size();
    std::string dir = paths.substr(start, end - start);
    if (dir.empty()) dir = ".";
    std::string candidate = dir + "/" + program;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

bool StartDetached(const std::vector<std::string>& argv, std::string* error, int* pid, std::function<void()> onEnd) {
  pid_t child = -1;
  if (!Spawn(argv, true, &child, error)) return false;
  if (pid) *pid = child;
  // Reap it when it ends so no zombie is left behind.
  std::thread([child, onEnd = std::move(onEnd)] {
    int status;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (onEnd) onEnd();
  }).detach();
  return true;
}

bool EndDetached(int pid, bool force) {
  if (pid <= 0) return false;
  const int sig = force ? SIGKILL : SIGTERM;
  // The program leads its own session and process group (see Spawn).
  if (kill(-pid, sig) == 0) return true;
  return kill(pid, sig) == 0;
}

int RunAndWait(const std::vector<std::string>& argv, std::string* error) {
  pid_t child = -1;
  if (!Spawn(argv, false, &child, error)) return -1;
  return WaitForChild(child, argv, error);
}

int RunAndCapture(const std::vector<std::string>& argv, std::string* output, std::string* error) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    if (error) *error = std::string("pipe: ") + std::strerror(errno);
    return -1;
  }
  pid_t child = -1;
  if (!Spawn(argv, false, &child, error, fds[1])) {
    close(fds[0]);
    close(fds[1]);
    return -1;
  }
  close(fds[1]);
  std::string out;
  char buf[4096];
  for (;;) {
    ssize_t n = read(fds[0], buf, sizeof(buf));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  close(fds[0]);
  if (output) *output = std::move(out);
  return WaitForChild(child, argv, error);
}

std::vector<std::string> SplitWords(const std::string& text) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : text) {
    if (c == ' ' || c == '\t') {
      if (!cur.empty()) out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

}  // namespace sys
