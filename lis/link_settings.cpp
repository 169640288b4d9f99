#include "lis/link_settings.h"

#include <cstdio>
#include <cstdlib>

#include "core/ado_conn.h"
#include "core/field_read.h"
#include "core/lis_link_state.h"
#include "core/lis_settings_file.h"
#include "lis/lis_link.h"
#include "platform/sys/program_dir.h"

namespace lis {

std::string SettingsFilePath() { return sys::ProgramFile("Setting.ini"); }

int LoadLinkKind() { return ReadLinkKind(); }

void SaveLinkKind(int kind) {
  WriteLinkKind(kind);
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
  const LisSectionTexts t = ReadLisSection();
  s.loaded[0] = t.client;
  s.loaded[1] = t.mask;
  s.loaded[2] = t.gateway;
  s.loaded[3] = t.server;
  ParseAddress(s.loaded[0], s.own);
  ParseAddress(s.loaded[1], s.mask);
  ParseAddress(s.loaded[2], s.gateway);
  ParseAddress(s.loaded[3], s.server);
  s.bidirectional = t.bidirectional == "1";
  s.alarms = t.alarms == "1";
  s.loaded[5] = t.addressMode;
  s.automaticAddress = s.loaded[5] == "1";
  s.loaded[4] = t.port;
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

bool SaveNetworkSettings(const NetworkSettings& s, bool* written) {
  LisSectionTexts t;
  t.client = AddressText(s.own);
  t.mask = AddressText(s.mask);
  t.gateway = AddressText(s.gateway);
  t.server = AddressText(s.server);
  t.bidirectional = s.bidirectional ? "1" : "0";
  t.alarms = s.alarms ? "1" : "0";
  t.addressMode = s.automaticAddress ? "1" : "0";
  t.port = std::to_string(s.port);
  // Put in force only what the file holds: a save that failed changes nothing.
  const bool ok = WriteLisSection(t);
  if (written) *written = ok;
  if (!ok) return false;
  const std::string texts[4] = {t.client, t.mask, t.gateway, t.server};
  bool changed = t.addressMode != s.loaded[5] || t.port != s.loaded[4];
  for (int i = 0; i < 4; ++i)
    if (texts[i] != s.loaded[i]) changed = true;

  // In force without a restart: the new values are stored first, under the link's settings
  // lock, and only then is the connection dropped, so the threads reconnect with them.
  LisLinkStateValues::AddressSettings a;
  a.own = texts[0];
  a.mask = texts[1];
  a.gateway = texts[2];
  a.server = texts[3];
  a.port = s.port;
  a.mode = s.automaticAddress ? 1 : 0;
  LisLinkState.SetAddresses(a);
  LisLinkState.Bidirectional = s.bidirectional ? 1 : 0;
  LisLinkState.AlarmSending = s.alarms ? 1 : 0;
  if (changed) DropLisConnection(true);
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
