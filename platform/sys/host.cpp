#include "platform/sys/host.h"

#include <net/if.h>
#include <time.h>

#include <atomic>
#include <cstdint>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/sys/debug_output.h"
#include "platform/sys/process.h"

namespace sys {
namespace {

HostResult Skip(const std::string& what) {
  DebugOutput(what + " skipped: not running as the instrument's PC (QUORVEX_INSTRUMENT_PC=1 not set)");
  return HostResult::kSkipped;
}

class RealPower : public PowerControl {
 public:
  HostResult PowerOff(std::string* error) override {
    if (!RunsAsInstrumentPc()) return Skip("power off");
    std::vector<std::string> argv = {"systemctl", "poweroff"};
    if (const char* c = std::getenv("QUORVEX_POWEROFF_COMMAND"); c && *c) argv = SplitWords(c);
    DebugOutput("powering the PC off");
    std::string err;
    int rc = RunAndWait(argv, &err);
    if (rc != 0) {
      if (error) *error = rc < 0 ? err : argv[0] + " exited with " + std::to_string(rc);
      return HostResult::kFailed;
    }
    return HostResult::kDone;
  }
};

class RealSystemClock : public SystemClockControl {
 public:
  HostResult SetLocalTime(const LocalTime& t, std::string* error) override {
    if (!RunsAsInstrumentPc()) return Skip("setting the PC clock");
    struct timespec ts{};
    ts.tv_sec = static_cast<time_t>(ToUnixSeconds(t));
    ts.tv_nsec = static_cast<long>(t.millisecond) * 1000000L;
    if (clock_settime(CLOCK_REALTIME, &ts) != 0) {
      if (error) *error = std::string("clock_settime: ") + std::strerror(errno);
      return HostResult::kFailed;
    }
    return HostResult::kDone;
  }
};

class RealNetworkConfig : public NetworkConfigControl {
 public:
  HostResult Apply(const NetworkAddress& a, std::string* error) override {
    if (!RunsAsInstrumentPc()) return Skip("writing the PC's network address");
    const char* c = std::getenv("QUORVEX_NET_CONNECTION");
    std::string connection = c && *c ? c : "";
    if (connection.empty() && !a.adapter.empty()) {
      std::string out, err;
      if (RunAndCapture({"nmcli", "-g", "GENERAL.CONNECTION", "device", "show", a.adapter}, &out, &err) != 0) {
        if (error) *error = "no connection found for " + a.adapter + (err.empty() ? "" : ": " + err);
        return HostResult::kFailed;
      }
      while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
      connection = out;
      if (connection.empty()) {
        if (error) *error = "no connection is active on " + a.adapter;
        return HostResult::kFailed;
      }
    }
    if (connection.empty()) connection = "Wired connection 1";
    for (const auto& argv : NmcliCommands(a, connection)) {
      std::string err;
      int rc = RunAndWait(argv, &err);
      if (rc != 0) {
        if (error) *error = rc < 0 ? err : "nmcli " + argv[1] + " exited with " + std::to_string(rc);
        return HostResult::kFailed;
      }
    }
    return HostResult::kDone;
  }
};

RealPower g_realPower;
RealSystemClock g_realClock;
RealNetworkConfig g_realNetwork;
std::atomic<PowerControl*> g_power{&g_realPower};
std::atomic<SystemClockControl*> g_clock{&g_realClock};
std::atomic<NetworkConfigControl*> g_network{&g_realNetwork};

bool IsEmptyAddress(const std::string& s) { return s.empty() || s == "0.0.0.0"; }

}  // namespace

std::vector<std::string> NetworkAdapterNames() {
  std::vector<std::string> out;
  struct if_nameindex* list = if_nameindex();
  if (!list) return out;
  for (struct if_nameindex* i = list; i->if_index != 0 && i->if_name; ++i) {
    std::string name = i->if_name;
    if (name == "lo") continue;
    out.push_back(name);
  }
  if_freenameindex(list);
  return out;
}

bool RunsAsInstrumentPc() {
  const char* e = std::getenv("QUORVEX_INSTRUMENT_PC");
  return e && std::strcmp(e, "1") == 0;
}

void SetPowerControl(PowerControl* p) { g_power = p ? p : &g_realPower; }
void SetSystemClockControl(SystemClockControl* c) { g_clock = c ? c : &g_realClock; }
void SetNetworkConfigControl(NetworkConfigControl* n) { g_network = n ? n : &g_realNetwork; }

bool IsValidLocalTime(const LocalTime& t) {
  if (t.year < 1970 || t.year > 2099 || t.month < 1 || t.month > 12 || t.day < 1) return false;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int days = kDays[t.month - 1];
  const bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
  if (t.month == 2 && leap) days = 29;
  return t.day <= days && t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 &&
         t.second < 60 && t.millisecond >= 0 && t.millisecond < 1000;
}

bool ParseIpv4(const std::string& text, unsigned char out[4]) {
  int part = 0;
  size_t i = 0;
  unsigned char tmp[4];
  while (part < 4) {
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
    int v = 0, digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      v = v * 10 + (text[i++] - '0');
      if (++digits > 3 || v > 255) return false;
    }
    tmp[part++] = static_cast<unsigned char>(v);
    if (part < 4) {
      if (i >= text.size() || text[i] != '.') return false;
      ++i;
    }
  }
  if (i != text.size()) return false;
  for (int k = 0; k < 4; ++k) out[k] = tmp[k];
  return true;
}

int MaskPrefixLength(const std::string& mask) {
  unsigned char b[4];
  if (!ParseIpv4(mask, b)) return -1;
  uint32_t m = (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
  int n = 0;
  while (n < 32 && (m & (0x80000000u >> n))) ++n;
  // Every bit after the leading ones must be clear.
  if (n < 32 && (m << n) != 0) return -1;
  return n;
}

std::vector<std::vector<std::string>> NmcliCommands(const NetworkAddress& a, const std::string& connection) {
  std::vector<std::vector<std::string>> out;
  if (a.dhcp) {
    out.push_back({"nmcli", "connection", "modify", connection, "ipv4.method", "auto", "ipv4.addresses", "",
                   "ipv4.gateway", ""});
  } else {
    out.push_back({"nmcli", "connection", "modify", connection, "ipv4.method", "manual", "ipv4.addresses",
                   a.ip + "/" + std::to_string(MaskPrefixLength(a.mask)), "ipv4.gateway",
                   IsEmptyAddress(a.gateway) ? std::string() : a.gateway});
  }
  out.push_back({"nmcli", "connection", "up", connection});
  return out;
}

HostResult PowerOffPc(std::string* error) { return g_power.load()->PowerOff(error); }

HostResult SetPcLocalTime(const LocalTime& t, std::string* error) {
  if (!IsValidLocalTime(t)) {
    if (error) *error = "impossible date or time";
    return HostResult::kFailed;
  }
  return g_clock.load()->SetLocalTime(t, error);
}

HostResult ApplyPcNetworkAddress(const NetworkAddress& a, std::string* error) {
  if (!a.dhcp) {
    unsigned char b[4];
    if (!ParseIpv4(a.ip, b) || IsEmptyAddress(a.ip)) {
      if (error) *error = "invalid IP address: " + a.ip;
      return HostResult::kFailed;
    }
    if (MaskPrefixLength(a.mask) <= 0) {
      if (error) *error = "invalid subnet mask: " + a.mask;
      return HostResult::kFailed;
    }
    if (!a.gateway.empty() && !ParseIpv4(a.gateway, b)) {
      if (error) *error = "invalid gateway: " + a.gateway;
      return HostResult::kFailed;
    }
  }
  return g_network.load()->Apply(a, error);
}

}  // namespace sys
