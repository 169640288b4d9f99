#pragma once
// The link settings as the settings screens load and save them: the link kind
// ([COMMUNITY] Type), the network settings ([LIS] in Setting.ini; both sections are read and
// written by core/lis_settings_file) and the LIS serial port's parameters (the CommSet row, as
// list indices).
#include <cstdint>
#include <string>

class CADOConn;

namespace lis {

std::string SettingsFilePath();

// [COMMUNITY] Type: 0 serial, 1 network; other values as read.
int LoadLinkKind();
// Writes the kind and puts it in force.
void SaveLinkKind(int kind);

struct NetworkSettings {
  uint8_t own[4] = {}, mask[4] = {}, gateway[4] = {}, server[4] = {};
  int port = 0;
  bool bidirectional = false;
  bool alarms = false;
  bool automaticAddress = true;
  // The texts of CLIENT, MASK, GATEWAY, SERVER, PORT and TYPE as loaded (for the change test).
  std::string loaded[6];
};
// A dotted text as four bytes; a text that is not four numbers of 0-255 gives 0.0.0.0.
void ParseAddress(const std::string& text, uint8_t out[4]);
std::string AddressText(const uint8_t a[4]);
NetworkSettings LoadNetworkSettings();
// The port as typed: a whole number from 1 to 65535, else 0.
int ParsePort(const std::string& text);
// Writes every key, puts the values in force and, when an address, the address mode or the
// port changed, drops the connection so the link re-applies the settings and reconnects.
// Returns whether the connection was dropped. When the settings file cannot be written nothing
// is put in force and *written is false.
bool SaveNetworkSettings(const NetworkSettings& s, bool* written = nullptr);

// The CommSet indices (baud, data bits, parity, stop bits); 4, 3, 0, 0 without a row.
struct SerialIndices {
  int baud = 4, dataBits = 3, parity = 0, stopBits = 0;
};
SerialIndices LoadSerialIndices(CADOConn& conn);
bool SaveSerialIndices(CADOConn& conn, const SerialIndices& s);
// The values of the indices (baud 9600 ... 230400; data bits 5-8; parity N E O M S; stop 1, 2);
// an index outside its list takes the default's value.
unsigned BaudOf(int index);
unsigned DataBitsOf(int index);
wchar_t ParityOf(int index);
unsigned StopBitsOf(int index);

}  // namespace lis
