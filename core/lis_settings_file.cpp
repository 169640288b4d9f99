#include "core/lis_settings_file.h"

#include "core/app_startup.h"
#include "platform/sys/profile.h"
#include "platform/sys/program_dir.h"

namespace {

std::string SettingsFile() { return sys::ProgramFile("Setting.ini"); }

std::string Read(const char* section, const char* key, const std::string& def) {
  return sys::ProfileReadString(SettingsFile(), section, key, def, 100);
}

void Write(const char* section, const char* key, const std::string& value) {
  sys::ProfileWriteString(section, key, value.c_str(), SettingsFile());
}

}  // namespace

LisSectionTexts ReadLisSection() {
  LisSectionTexts s;
  s.client = Read("LIS", "CLIENT", s.client);
  s.mask = Read("LIS", "MASK", s.mask);
  s.gateway = Read("LIS", "GATEWAY", s.gateway);
  s.server = Read("LIS", "SERVER", s.server);
  s.port = Read("LIS", "PORT", s.port);
  s.bidirectional = Read("LIS", "DOUBLE", s.bidirectional);
  s.alarms = Read("LIS", "WARNING", s.alarms);
  s.addressMode = Read("LIS", "TYPE", s.addressMode);
  return s;
}

bool WriteLisSection(const LisSectionTexts& s) {
  // Every key in one replacement of the file: a power cut leaves the old section or the new one.
  return sys::ProfileWriteStrings("LIS",
                                  {{"CLIENT", s.client},
                                   {"MASK", s.mask},
                                   {"GATEWAY", s.gateway},
                                   {"SERVER", s.server},
                                   {"DOUBLE", s.bidirectional},
                                   {"WARNING", s.alarms},
                                   {"TYPE", s.addressMode},
                                   {"PORT", s.port}},
                                  SettingsFile());
}

int ReadLinkKind() { return ParseLeadingInt(Read("COMMUNITY", "Type", "0")); }

void WriteLinkKind(int kind) { Write("COMMUNITY", "Type", std::to_string(kind)); }
