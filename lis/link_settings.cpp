#include "lis/link_settings.h"

#include <cstdio>
#include <cstdlib>

#include "core/ado_conn.h"
#include "core/field_read.h"
#include "core/lis_link_state.h"
#include "lis/lis_link.h"
#include "platform/sys/profile.h"
#include "platform/sys/program_dir.h"

namespace lis {
namespace {

std::string Read(const char* section, const char* key, const char* def) {
  return sys::ProfileReadString(SettingsFilePath(), section, key, def, 100);
}
void Write(const char* section, const char* key, const std::string& value) {
  sys::ProfileWriteString(section, key, value.c_str(), SettingsFilePath());
}

}  // namespace

std::string SettingsFilePath() { return sys::ProgramFile("Setting.ini"); }

int LoadLinkKind() {
  const std::string t = Read("COMMUNITY", "Type", "0");
  return std::atoi(t.c_str());
}

void SaveLinkKind(int kind) {
  Write("COMMUNITY", "Type", std::to_string(kind));
  LisLinkState.LinkKind = kind;
}

void ParseAddress(const std::string& text, uint8_t out[4]) {
  unsigned v[4];
  char tail;
  if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &v[0], &v[1], &v[2], &v[3], &tail) == 4 && v[0] < 256 &&
      v[1] < 256 && v[2] < 256 && v[3] < 256) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(v[i]);
  } else {
    for (int i = 0; i < 4; ++i) out[i] = 0;
  }
}

std::string AddressText(const uint8_t a[4]) {
  char b[32];
  std::snprintf(b, sizeof b, "%d.%d.%d.%d", a[0], a[1], a[2], a[3]);
  return b;
}

NetworkSettings LoadNetworkSettings() {
  NetworkSettings s;
  s.loaded[0] = Read("LIS", "CLIENT", "0.0.0.0");
  s.loaded[1] = Read("LIS", "MASK", "0.0.0.0");
  s.loaded[2] = Read("LIS", "GATEWAY", "0.0.0.0");
  s.loaded[3] = Read("LIS", "SERVER", "0.0.0.0");
  ParseAddress(s.loaded[0], s.own);
  ParseAddress(s.loaded[1], s.mask);
  ParseAddress(s.loaded[2], s.gateway);
  ParseAddress(s.loaded[3], s.server);
  s.bidirectional = Read("LIS", "DOUBLE", "0") == "1";
  s.alarms = Read("LIS", "WARNING", "0") == "1";
  s.loaded[5] = Read("LIS", "TYPE", "1");
  s.automaticAddress = s.loaded[5] == "1";
  s.loaded[4] = Read("LIS", "PORT", "0");
  s.port = ParsePort(s.loaded[4]);
  return s;
}

int ParsePort(const std::string& text) {
  if (text.empty() || text.size() > 5) return 0;
  for (char c : text)
    if (c < '0' || c > '9') return 0;
  const long v = std::strtol(text.c_str(), nullptr, 10);
  return v >= 1 && v <= 65535 ? static_cast<int>(v) : 0;
}

bool SaveNetworkSettings(const NetworkSettings& s) {
  bool changed = false;
  const char* keys[4] = {"CLIENT", "MASK", "GATEWAY", "SERVER"};
  const uint8_t* values[4] = {s.own, s.mask, s.gateway, s.server};
  std::string texts[4];
  for (int i = 0; i < 4; ++i) {
    texts[i] = AddressText(values[i]);
    Write("LIS", keys[i], texts[i]);
    if (texts[i] != s.loaded[i]) changed = true;
  }
  Write("LIS", "DOUBLE", s.bidirectional ? "1" : "0");
  Write("LIS", "WARNING", s.alarms ? "1" : "0");
  const std::string type = s.automaticAddress ? "1" : "0";
  Write("LIS", "TYPE", type);
  if (type != s.loaded[5]) changed = true;
  const std::string port = std::to_string(s.port);
  Write("LIS", "PORT", port);
  if (port != s.loaded[4]) changed = true;

  // In force without a restart. The texts change only while the link is being torn down.
  if (changed) DropLisConnection(true);
  LisLinkState.OwnAddress = texts[0];
  LisLinkState.SubnetMask = texts[1];
  LisLinkState.Gateway = texts[2];
  LisLinkState.ServerAddress = texts[3];
  LisLinkState.Bidirectional = s.bidirectional ? 1 : 0;
  LisLinkState.AlarmSending = s.alarms ? 1 : 0;
  LisLinkState.AddressMode = s.automaticAddress ? 1 : 0;
  LisLinkState.ServerPort = s.port;
  return changed;
}

SerialIndices LoadSerialIndices(CADOConn& conn) {
  SerialIndices s;
  RecordsetPtr& rs = conn.OpenRecordset("Select * from CommSet");
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    uint8_t v;
    if (ReadField(*rs, "Bauds", v)) s.baud = v;
    if (ReadField(*rs, "DataBits", v)) s.dataBits = v;
    if (ReadField(*rs, "Parity", v)) s.parity = v;
    if (ReadField(*rs, "StopBits", v)) s.stopBits = v;
  }
  conn.CloseRecordset();
  return s;
}

bool SaveSerialIndices(CADOConn& conn, const SerialIndices& s) {
  char sql[160];
  std::snprintf(sql, sizeof sql, "update CommSet set Bauds=%d,DataBits=%d,Parity=%d,StopBits=%d", s.baud, s.dataBits,
                s.parity, s.stopBits);
  return conn.Execute(sql) == 1;
}

unsigned BaudOf(int i) {
  static const unsigned v[6] = {9600, 19200, 38400, 57600, 115200, 230400};
  return i >= 0 && i < 6 ? v[i] : 115200;
}
unsigned DataBitsOf(int i) { return i >= 0 && i < 4 ? static_cast<unsigned>(5 + i) : 8; }
wchar_t ParityOf(int i) {
  static const wchar_t v[5] = {L'N', L'E', L'O', L'M', L'S'};
  return i >= 0 && i < 5 ? v[i] : L'N';
}
unsigned StopBitsOf(int i) { return i == 1 ? 2 : 1; }

}  // namespace lis
