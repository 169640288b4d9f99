// lissim: a LIS host on loopback for Quorvex. It listens for the instrument's HL7 link, logs
// every message it receives and answers as the options say; with --serial it also takes the
// serial text records on a pseudo-terminal (its path is printed; give it to Quorvex as
// QUORVEX_COM1).
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>

#include "platform/db/connection.h"
#include "platform/sys/profile.h"
#include "tools/lissim/serial_reader.h"
#include "tools/lissim/server.h"

namespace {
volatile sig_atomic_t g_stop = 0;

// Writes the program folder's Setting.ini (network link to 127.0.0.1:port, automatic address)
// and switches on sending after each count in its data store, when it exists.
// Switches on sending after each count in the program folder's data store; false while it does
// not exist yet (Quorvex makes it at its first start).
bool SwitchOnSending(const std::string& folder) {
  db::Connection c;
  return c.Open(folder + "/Vantorium.mdb") && c.Execute("update SysSetting set IsTransInstant=1");
}

void Configure(const std::string& folder, int port) {
  const std::string ini = folder + "/Setting.ini";
  sys::ProfileWriteString("COMMUNITY", "Type", "1", ini);
  sys::ProfileWriteString("LIS", "SERVER", "127.0.0.1", ini);
  sys::ProfileWriteString("LIS", "PORT", std::to_string(port).c_str(), ini);
  sys::ProfileWriteString("LIS", "TYPE", "1", ini);
  std::cout << "lissim: " << ini << " points at 127.0.0.1:" << port << std::endl;
}
void OnSignal(int) { g_stop = 1; }

void Usage() {
  std::cout << "lissim [--port N] [--ack AA|AE|AR|wrongid|none|reset] [--condition CODE] [--delay MS]\n"
               "       [--split] [--log FILE] [--serial] [--serial-log FILE]\n"
               "       [--profile SAMPLENO:NAME:SEX:AGE]   (answers order queries for that sample)\n"
               "       [--configure PROGRAMFOLDER]  (points that Quorvex at this host: network link,\n"
               "                                     server 127.0.0.1 and the port, results sent after each count)\n"
               "Listens on 127.0.0.1:N (default 5100). Every received message goes to the log file\n"
               "(default lissim.log) with its control bytes shown, and a line per message to stdout.\n";
}
}  // namespace

int main(int argc, char** argv) {
  int port = 5100;
  std::string log = "lissim.log", serialLog, configure;
  bool serialOn = false;
  lissim::Behaviour b;
  lissim::Server server;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
    if (a == "--port") port = std::atoi(next().c_str());
    else if (a == "--ack") {
      std::string m = next();
      b.mode = m == "AE" ? lissim::AckMode::Error : m == "AR" ? lissim::AckMode::Reject
             : m == "wrongid" ? lissim::AckMode::WrongId : m == "none" ? lissim::AckMode::None
             : m == "reset" ? lissim::AckMode::Reset : lissim::AckMode::Accept;
    } else if (a == "--condition") b.condition = next();
    else if (a == "--delay") b.delayMs = std::atoi(next().c_str());
    else if (a == "--split") b.split = true;
    else if (a == "--log") log = next();
    else if (a == "--serial") serialOn = true;
    else if (a == "--serial-log") serialLog = next();
    else if (a == "--configure") configure = next();
    else if (a == "--profile") {
      std::string p = next();
      lissim::Profile prof;
      std::string parts[4];
      size_t k = 0, start = 0;
      for (size_t j = 0; j <= p.size() && k < 4; ++j)
        if (j == p.size() || p[j] == ':') {
          parts[k++] = p.substr(start, j - start);
          start = j + 1;
        }
      prof.name = parts[1];
      prof.sex = parts[2];
      prof.age = parts[3];
      server.AddProfile(parts[0], prof);
    } else {
      Usage();
      return a == "--help" ? 0 : 2;
    }
  }
  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  server.SetDefault(b);
  server.SetLog(log, true);
  if (!server.Start(static_cast<uint16_t>(port))) {
    std::cerr << "lissim: cannot listen on 127.0.0.1:" << port << std::endl;
    return 1;
  }
  std::cout << "lissim: listening on 127.0.0.1:" << server.Port() << ", log " << log << std::endl;
  if (!configure.empty()) Configure(configure, server.Port());
  lissim::SerialReader serial;
  if (serialOn && serial.Start()) std::cout << "lissim: serial records on " << serial.SlavePath() << std::endl;
  size_t shown = 0;
  bool sendingOn = configure.empty();
  while (!g_stop) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (!sendingOn && (sendingOn = SwitchOnSending(configure)))
      std::cout << "lissim: " << configure << " sends each count to this host" << std::endl;
    if (!serialOn) continue;
    auto records = serial.Records();
    for (; shown < records.size(); ++shown) {
      std::cout << "lissim: serial record " << records[shown].prefix << " (" << records[shown].fields.size()
                << " fields)" << std::endl;
      if (!serialLog.empty()) {
        FILE* f = std::fopen(serialLog.c_str(), "a");
        if (f) {
          std::fprintf(f, "%s\n", records[shown].bytes.c_str());
          std::fclose(f);
        }
      }
    }
  }
  serial.Stop();
  server.Stop();
  return 0;
}
