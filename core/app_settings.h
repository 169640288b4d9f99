#pragma once
// The process-wide values every screen reads, filled once at start-up (and a few of them by
// the screens that change them). Plain globals: written on the user-interface thread, read
// anywhere.
#include <cstdint>
#include <string>

#include "core/look.h"

struct AppSettingsValues {
  // 1 on the platforms the program is made for; 0 selects the old-platform branches (never on
  // this system, kept because screens test it).
  uint8_t PlatformFlag = 1;
  // The program folder, ending in '/'.
  std::string ProgramFolder;
  // "Module"/"Name" of ProduceInfo\Produceinfo.ver.
  std::string ProductName;
  // 1 for the Chinese edition: from the system language, overridden by Setting.ini.
  int32_t ChineseEdition = 0;
  // 0 Chinese, 1 English, 2 Spanish, 3 French, 4 Ukrainian.
  uint8_t LanguageIndex = 0;
  // 0 General User, 1 Administrator, 2 Engineer, 3 Factory.
  uint8_t UserLevel = 0;
  // Set by the main menu's shutdown: the PC is switched off when the program ends.
  uint8_t PowerOffFlag = 0;
  // SysSetting.SerialNum.
  std::string SerialNumber;
  // 0 volume mode, 1 sensor mode (SysSetting.ReagentAlarmType).
  uint8_t ReagentAlarmType = 0;
  // SysSetting.PrintPgHeader.
  uint16_t PrintPageHeader = 0;
  // Layout: 1.0 on a 640x480 screen, else 1.25; LargeScreen 0 or 1 accordingly.
  float LayoutScale = 1.0f;
  int32_t LargeScreen = 0;
};

extern AppSettingsValues AppSettings;

// Texts of the five languages in the language of this run (PickText by index: core/look.h).
inline const char* PickText(const char* zh, const char* en, const char* es, const char* fr,
                            const char* ua) {
  return PickText(AppSettings.LanguageIndex, zh, en, es, fr, ua);
}

// Operator text made safe for the SQL texts the program builds: every apostrophe (U+0027)
// becomes the left single quotation mark U+2018, which needs no quoting. Nothing else changes.
std::string SqlSafeText(const std::string& text);
