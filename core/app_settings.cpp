#include "core/app_settings.h"

AppSettingsValues AppSettings;

std::string SqlSafeText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\'') out += "\xE2\x80\x98";
    else out += c;
  }
  return out;
}
