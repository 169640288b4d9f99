#pragma once
// Actions on the host PC itself: powering it off, setting its clock and writing its network
// address settings.
//
// They act on the machine ONLY when Quorvex runs as the instrument's own PC, which is said
// explicitly by the environment variable QUORVEX_INSTRUMENT_PC=1. Anywhere else (a desktop
// trying the program with the simulator, a build machine) the real implementations write a
// debug line and skip, returning HostResult::kSkipped.
//
// Each action goes through an interface; the program calls the free functions below, and
// tests install recording fakes (host_fakes.h) so no test ever touches the host.
//
// On the instrument PC:
//   * power off runs "systemctl poweroff" (QUORVEX_POWEROFF_COMMAND replaces the command);
//   * the clock is set with clock_settime (the process needs CAP_SYS_TIME);
//   * the address settings go to NetworkManager with nmcli, on the connection named by
//     QUORVEX_NET_CONNECTION; without it, on the connection active on the adapter named in
//     the request; without either, on "Wired connection 1". The connection is then brought up.
#include <string>
#include <vector>

#include "platform/sys/clock.h"

namespace sys {

enum class HostResult { kDone, kSkipped, kFailed };

// True when QUORVEX_INSTRUMENT_PC is "1".
bool RunsAsInstrumentPc();

struct NetworkAddress {
  bool dhcp = true;     // obtain the address automatically
  std::string ip;       // dotted IPv4 texts, used when dhcp is false
  std::string mask;
  std::string gateway;  // empty or 0.0.0.0: none
  std::string adapter;  // the network interface (e.g. "eth0"); empty: see above
};

// Names of the PC's network interfaces that can carry an address (loopback left out), in
// the system's order. Only reads.
std::vector<std::string> NetworkAdapterNames();

class PowerControl {
 public:
  virtual ~PowerControl() = default;
  virtual HostResult PowerOff(std::string* error) = 0;
};

class SystemClockControl {
 public:
  virtual ~SystemClockControl() = default;
  virtual HostResult SetLocalTime(const LocalTime& t, std::string* error) = 0;
};

class NetworkConfigControl {
 public:
  virtual ~NetworkConfigControl() = default;
  virtual HostResult Apply(const NetworkAddress& a, std::string* error) = 0;
};

// Install an implementation (not owned; it must outlive its use); nullptr restores the real
// one.
void SetPowerControl(PowerControl* p);
void SetSystemClockControl(SystemClockControl* c);
void SetNetworkConfigControl(NetworkConfigControl* n);

// What the program calls.
HostResult PowerOffPc(std::string* error = nullptr);
// Checks the date and time first: an impossible one (February 30, 25 o'clock) fails and
// leaves the clock alone.
HostResult SetPcLocalTime(const LocalTime& t, std::string* error = nullptr);
// Checks the addresses first when the address is fixed: a malformed address or a mask that
// is not a run of leading ones fails without touching anything.
HostResult ApplyPcNetworkAddress(const NetworkAddress& a, std::string* error = nullptr);

// Helpers, exposed for tests and for screens that validate input.
bool IsValidLocalTime(const LocalTime& t);
bool ParseIpv4(const std::string& text, unsigned char out[4]);
// Prefix length of a subnet mask (255.255.255.0 -> 24), or -1 when it is not a valid mask.
int MaskPrefixLength(const std::string& mask);
// The nmcli commands that apply an address to a connection (each one argv).
std::vector<std::vector<std::string>> NmcliCommands(const NetworkAddress& a, const std::string& connection);

}  // namespace sys
