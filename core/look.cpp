#include "core/look.h"

#include <mutex>

#include "core/app_settings.h"
#include "core/layout.h"

namespace {

std::mutex g_lock;
std::function<Look()> g_provider;

Look FromSettings() {
  Look l;
  l.language = AppSettings.LanguageIndex;
  l.scale = AppSettings.LayoutScale;
  l.sharedFontEverywhere = AppSettings.PlatformFlag != 0;
  l.frameColour = kDialogFrameColor;
  l.frameWidth = kDialogFrameWidth;
  return l;
}

}  // namespace

const draw::Font& Look::DialogFont() const { return SharedDialogFont(); }

Look CurrentLook() {
  std::function<Look()> provider;
  {
    std::lock_guard<std::mutex> g(g_lock);
    provider = g_provider;
  }
  return provider ? provider() : FromSettings();
}

void SetLookProvider(std::function<Look()> provider) {
  std::lock_guard<std::mutex> g(g_lock);
  g_provider = std::move(provider);
}
