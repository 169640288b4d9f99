#pragma once
// The LIS link's two sections of Setting.ini, [LIS] (the network) and [COMMUNITY] (the link
// kind): the one place that reads and writes their keys. [LIS] is handed over as the texts the
// file holds, so the start-up and the settings screen each take them their own way.
#include <string>

// The keys of [LIS]; the defaults are what a missing file or key reads as.
struct LisSectionTexts {
  std::string client = "0.0.0.0";   // CLIENT: the PC's own address
  std::string mask = "0.0.0.0";     // MASK
  std::string gateway = "0.0.0.0";  // GATEWAY
  std::string server = "0.0.0.0";   // SERVER: the LIS's address
  std::string port = "0";           // PORT
  std::string bidirectional = "0";  // DOUBLE
  std::string alarms = "0";         // WARNING
  std::string addressMode = "1";    // TYPE: 1 automatic, 0 fixed
};

// Reads [LIS] (each value at most 99 bytes).
LisSectionTexts ReadLisSection();
// Writes every key of [LIS] at once; false when the file could not be written.
bool WriteLisSection(const LisSectionTexts& s);

// [COMMUNITY] Type read as a whole number: 0 serial, 1 network; 0 when missing.
int ReadLinkKind();
void WriteLinkKind(int kind);
