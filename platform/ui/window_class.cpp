#include "platform/ui/window_class.h"

#include <cctype>
#include <map>
#include <mutex>

#include "platform/ui/styles.h"
#include "platform/ui/window.h"

namespace ui {
namespace {

struct ClassInfo {
  uint32_t style = 0;
  WindowFactory factory;
};

std::mutex& Mu() {
  static std::mutex m;
  return m;
}

// Class names compare without regard to case, as templates spell them freely.
std::string Key(const std::string& n) {
  std::string k = n;
  for (auto& ch : k) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return k;
}

std::map<std::string, ClassInfo>& Classes() {
  static std::map<std::string, ClassInfo> m;
  return m;
}

}  // namespace

void RegisterStandardClasses();  // controls.cpp

void RegisterWindowClass(const std::string& name, uint32_t classStyle, WindowFactory factory) {
  std::lock_guard<std::mutex> g(Mu());
  Classes()[Key(name)] = ClassInfo{classStyle, std::move(factory)};
}

static void EnsureStandard() {
  static std::once_flag once;
  std::call_once(once, [] { RegisterStandardClasses(); });
}

bool IsWindowClassRegistered(const std::string& name) {
  EnsureStandard();
  std::lock_guard<std::mutex> g(Mu());
  return Classes().count(Key(name)) != 0;
}

uint32_t ClassStyleOf(const std::string& name) {
  EnsureStandard();
  std::lock_guard<std::mutex> g(Mu());
  auto it = Classes().find(Key(name));
  return it == Classes().end() ? 0 : it->second.style;
}

Window* CreateWindowObject(const std::string& name) {
  EnsureStandard();
  WindowFactory f;
  {
    std::lock_guard<std::mutex> g(Mu());
    auto it = Classes().find(Key(name));
    if (it != Classes().end()) f = it->second.factory;
  }
  Window* w = f ? f() : new Window;
  w->SetAutoDelete(true);
  return w;
}

}  // namespace ui
