#include "core/screen_registry.h"

#include <map>

#include "core/app_settings.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"

namespace {
std::map<std::string, ScreenRunner>& Runners() {
  static std::map<std::string, ScreenRunner> runners;
  return runners;
}
}  // namespace

void RegisterScreen(const std::string& className, ScreenRunner run) {
  if (run) Runners()[className] = std::move(run);
  else Runners().erase(className);
}

bool IsScreenAvailable(const std::string& className) { return Runners().count(className) != 0; }

int RunScreen(const std::string& className) {
  auto it = Runners().find(className);
  if (it == Runners().end()) {
    ui::MessageBox(nullptr, NotAvailableText(AppSettings.LanguageIndex), "", ui::MB_ICONINFORMATION);
    return ui::IDCANCEL;
  }
  ScreenRunner run = it->second;  // a screen may register others while it runs
  return run();
}

std::vector<std::string> RegisteredScreens() {
  std::vector<std::string> names;
  for (const auto& [name, run] : Runners()) names.push_back(name);
  return names;
}

std::string NotAvailableText(int language) {
  return PickText(language, "此功能不可用。", "This function is not available.", "Esta función no está disponible.",
                  "Cette fonction n'est pas disponible.", "Ця функція недоступна.");
}
