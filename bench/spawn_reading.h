// Starts a program as a process of its own with its standard output on a pipe the benchmark
// reads (a simulator's first line, a child run's figures).
#pragma once

#include <spawn.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace bench_spawn {

// Runs `args` (the program's path first); on success sets `pid` and `out`, the read end of its
// standard output, which the caller closes.
inline bool SpawnReading(std::vector<std::string> args, pid_t& pid, int& out) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  if (rc != 0) {
    close(pipeEnds[0]);
    return false;
  }
  out = pipeEnds[0];
  return true;
}

}  // namespace bench_spawn
