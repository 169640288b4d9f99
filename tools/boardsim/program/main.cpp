// boardsim: stands in for the analyzer's front-end board on a pseudo-terminal.
//
// Prints "boardsim: /dev/pts/N" as its first line, then serves until it is killed. Point the
// program at it with QUORVEX_COM4=/dev/pts/N. Commands on standard input (one a line) and the
// same words as options (--word value) steer it; SIGUSR1 presses the count key.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <poll.h>
#include <vector>

#include "tools/boardsim/settable_profile.h"
#include "tools/boardsim/simulator.h"

namespace {

std::atomic<bool> g_stop{false};
std::atomic<int> g_keys{0};

void OnStop(int) { g_stop = true; }
void OnKey(int) { g_keys.fetch_add(1); }

const char* kUsage =
    "usage: boardsim [options]\n"
    "  --profile NAME        normal, anaemic, thrombocytopenic, leukocytosis, blank or calibrator\n"
    "  --set VALUES          count these values: wbc=7.2,rbc=4.5,hgb=135,mcv=88,plt=220 (also lym, mid,\n"
    "                        rdwsd, mpv); the others those of the current profile\n"
    "  --reply-delay MS      delay before a short acknowledgement (default 50)\n"
    "  --count-delay MS      delay of a count, rinse or prime (default 800)\n"
    "  --key-every S         press the count key every S seconds\n"
    "  --corrupt KIND[:N]    damage the check of the next N frames: any, ack, header, wbc, rbc, plt, status\n"
    "  --drop KIND[:N]       leave out the next N frames of the kind\n"
    "  --silent              answer nothing\n"
    "  --fault CODE          refuse the next count with DD 0x code (1 to 5)\n"
    "  --refuse CMD:CODE     refuse the next AA CMD (hex) with DD CMD CODE (hex)\n"
    "  --answer CMD:STATUS   acknowledge the next AA CMD (hex) with AA CMD STATUS (hex) instead of FF\n"
    "  --coupler N           report an optical coupler fault DD A8 N after start\n"
    "  --empty REAGENT       report lyse, cleanser or diluent empty\n"
    "  --temperature C       temperature reported for CC 80 (default 25)\n"
    "  --aperture TENTHS     aperture time of each count (default 40)\n"
    "  --seed N              counting noise seed\n"
    "  --quiet               no frame log\n"
    "commands on standard input: key, profile NAME, corrupt KIND [N], drop KIND [N], silent on|off,\n"
    "  set VALUES, fault CODE, refuse CMD CODE, answer CMD STATUS, coupler N, empty REAGENT, full REAGENT,\n"
    "  temperature C, aperture TENTHS, quit\n";

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string s;
  char b[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i == 24 && bytes.size() > 28) {
      std::snprintf(b, sizeof b, "...");
      s += b;
      i = bytes.size() - 4;
    }
    std::snprintf(b, sizeof b, "%02X ", bytes[i]);
    s += b;
  }
  return s;
}

// Applies one command ("corrupt wbc 3"); false with a reason when it is not understood.
bool Apply(boardsim::Simulator& sim, const std::vector<std::string>& w, std::string* why) {
  auto num = [&](size_t i, long def, int base = 10) {
    return i < w.size() ? std::strtol(w[i].c_str(), nullptr, base) : def;
  };
  if (w.empty()) return true;
  const std::string& c = w[0];
  if (c == "key") {
    sim.PressCountKey();
  } else if (c == "profile" && w.size() > 1) {
    boardsim::Profile p;
    boardsim::BloodProfile settable;
    if (boardsim::ProfileFromName(w[1], &p)) sim.SetProfile(p);
    else if (boardsim::SettableProfileFromName(w[1], &settable)) sim.SetCustomProfile(settable);
    else return *why = "unknown profile " + w[1], false;
  } else if (c == "set" && w.size() > 1) {
    boardsim::BloodProfile values;
    sim.WithModel([&](boardsim::BoardModel& m) { values = m.CurrentProfileData(); });
    std::string text;
    for (size_t i = 1; i < w.size(); ++i) text += w[i] + ",";
    if (!boardsim::ParseProfileValues(text, values, why)) return false;
    sim.SetCustomProfile(values);
  } else if ((c == "corrupt" || c == "drop") && w.size() > 1) {
    boardsim::Target t;
    if (!boardsim::TargetFromName(w[1], &t)) return *why = "unknown frame kind " + w[1], false;
    if (c == "corrupt") sim.CorruptNext(t, static_cast<int>(num(2, 1)));
    else sim.DropNext(t, static_cast<int>(num(2, 1)));
  } else if (c == "silent") {
    sim.SetSilent(w.size() < 2 || w[1] != "off");
  } else if (c == "fault" && w.size() > 1) {
    sim.FailNextCount(static_cast<uint8_t>(num(1, 1)));
  } else if ((c == "refuse" || c == "answer") && w.size() > 2) {
    const auto command = static_cast<uint8_t>(num(1, 0, 16)), code = static_cast<uint8_t>(num(2, 0, 16));
    if (c == "refuse") sim.RefuseNext(command, code);
    else sim.AnswerNext(command, code);
  } else if (c == "coupler" && w.size() > 1) {
    sim.ReportCouplerFault(static_cast<uint8_t>(num(1, 2)));
  } else if ((c == "empty" || c == "full") && w.size() > 1) {
    boardsim::Reagent r;
    if (!boardsim::ReagentFromName(w[1], &r)) return *why = "unknown reagent " + w[1], false;
    sim.SetBottleEmpty(r, c == "empty");
  } else if (c == "temperature" && w.size() > 1) {
    sim.SetTemperature(std::strtod(w[1].c_str(), nullptr));
  } else if (c == "aperture" && w.size() > 1) {
    sim.SetApertureTenths(static_cast<uint8_t>(num(1, 12)));
  } else if (c == "quit") {
    g_stop = true;
  } else {
    *why = "unknown command " + c;
    return false;
  }
  return true;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> w;
  std::string s;
  while (in >> s) w.push_back(s);
  return w;
}

}  // namespace

int main(int argc, char** argv) {
  boardsim::SimulatorOptions options;
  options.board.replyDelayMs = 50;
  options.board.countDelayMs = 800;
  std::vector<std::vector<std::string>> startCommands;
  int keyEvery = 0;
  bool quiet = false;

  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "boardsim: %s needs a value\n%s", a.c_str(), kUsage);
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--reply-delay") {
      options.board.replyDelayMs = std::atoi(value().c_str());
    } else if (a == "--count-delay") {
      options.board.countDelayMs = std::atoi(value().c_str());
    } else if (a == "--key-every") {
      keyEvery = std::atoi(value().c_str());
    } else if (a == "--seed") {
      options.board.seed = static_cast<uint32_t>(std::strtoul(value().c_str(), nullptr, 10));
    } else if (a == "--quiet") {
      quiet = true;
    } else if (a == "--silent") {
      startCommands.push_back({"silent", "on"});
    } else if (a.rfind("--", 0) == 0) {
      // --word value[:n] becomes the command "word value n".
      std::string v = value();
      std::vector<std::string> cmd{a.substr(2)};
      for (size_t p; (p = v.find(':')) != std::string::npos;) {
        cmd.push_back(v.substr(0, p));
        v = v.substr(p + 1);
      }
      cmd.push_back(v);
      startCommands.push_back(cmd);
    } else {
      std::fprintf(stderr, "boardsim: unknown argument %s\n%s", a.c_str(), kUsage);
      return 2;
    }
  }
  if (!quiet) {
    options.trace = [](bool received, const std::vector<uint8_t>& bytes) {
      std::printf("%s %s\n", received ? "<-" : "->", Hex(bytes).c_str());
      std::fflush(stdout);
    };
  }

  boardsim::Simulator sim(options);
  // Settings that shape the board's answers are applied before the port exists; reports the
  // board sends on its own (coupler, empty bottle) go out once the program can read them.
  std::vector<std::vector<std::string>> reports;
  for (const auto& c : startCommands) {
    if (c[0] == "coupler" || c[0] == "empty") {
      reports.push_back(c);
      continue;
    }
    std::string why;
    if (!Apply(sim, c, &why)) {
      std::fprintf(stderr, "boardsim: %s\n", why.c_str());
      return 2;
    }
  }
  const serial::Status s = sim.Start();
  if (!s) {
    std::fprintf(stderr, "boardsim: cannot create a pseudo-terminal: %s\n", s.text.c_str());
    return 1;
  }
  std::printf("boardsim: %s\n", sim.DevicePath().c_str());
  std::fflush(stdout);

  std::signal(SIGINT, OnStop);
  std::signal(SIGTERM, OnStop);
  std::signal(SIGUSR1, OnKey);
  for (const auto& c : reports) {
    std::string why;
    if (!Apply(sim, c, &why)) std::fprintf(stderr, "boardsim: %s\n", why.c_str());
  }

  auto lastKey = std::chrono::steady_clock::now();
  std::string line;
  bool stdinOpen = true;
  while (!g_stop) {
    for (int k = g_keys.exchange(0); k > 0; --k) sim.PressCountKey();
    if (keyEvery > 0 && std::chrono::steady_clock::now() - lastKey >= std::chrono::seconds(keyEvery)) {
      lastKey = std::chrono::steady_clock::now();
      sim.PressCountKey();
    }
    if (!stdinOpen) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      continue;
    }
    pollfd p{STDIN_FILENO, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    char buf[512];
    const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n <= 0) {
      stdinOpen = false;  // standard input closed: keep serving
      continue;
    }
    line.append(buf, static_cast<size_t>(n));
    for (size_t nl; (nl = line.find('\n')) != std::string::npos;) {
      const std::string one = line.substr(0, nl);
      line.erase(0, nl + 1);
      std::string why;
      if (!Apply(sim, Words(one), &why)) std::fprintf(stderr, "boardsim: %s\n", why.c_str());
    }
  }
  sim.Stop();
  return 0;
}
