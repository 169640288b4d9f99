#include "core/zentil_binding.h"

#include <atomic>
#include <mutex>

#include "platform/sys/dynlib.h"

namespace {

std::mutex g_callLock;
std::atomic<uint64_t> g_loads{0};
thread_local ZentilUse* t_use = nullptr;

bool LoadInto(sys::DynamicLibrary& lib, const std::string& library) {
  if (!lib.Load(library)) return false;
  g_loads.fetch_add(1);
  return true;
}

}  // namespace

ZentilPreload::ZentilPreload() = default;
ZentilPreload::~ZentilPreload() { Release(); }

void ZentilPreload::Load(const std::string& library) {
  if (Holds(library)) return;
  Release();
  auto lib = std::make_unique<sys::DynamicLibrary>();
  std::lock_guard<std::mutex> lock(g_callLock);
  if (!LoadInto(*lib, library)) return;
  library_ = library;
  lib_ = std::move(lib);
}

void ZentilPreload::Release() {
  if (!lib_) return;
  std::lock_guard<std::mutex> lock(g_callLock);
  lib_.reset();
  library_.clear();
}

ZentilUse::ZentilUse(std::string library) : library_(std::move(library)), outer_(t_use) { t_use = this; }

ZentilUse::ZentilUse(std::string library, ZentilPreload& preload) : ZentilUse(std::move(library)) {
  if (!preload.Holds(library_)) return;
  loaded_ = std::move(preload.lib_);
  preload.library_.clear();
}

ZentilUse::~ZentilUse() {
  t_use = outer_;
  if (loaded_) {
    std::lock_guard<std::mutex> lock(g_callLock);
    loaded_.reset();
  }
}

ZentilCallStatus CallZentilEntry(const std::string& library, const char* entry,
                                 const std::function<void(void* address)>& call) {
  std::lock_guard<std::mutex> lock(g_callLock);
  ZentilUse* use = t_use;
  while (use != nullptr && use->library_ != library) use = use->outer_;
  if (use != nullptr) {
    if (!use->loaded_) {
      auto lib = std::make_unique<sys::DynamicLibrary>();
      if (!LoadInto(*lib, library)) return ZentilCallStatus::LibraryMissing;
      use->loaded_ = std::move(lib);
    }
    void* address = use->loaded_->Symbol(entry);
    if (address == nullptr) return ZentilCallStatus::EntryMissing;
    call(address);
    return ZentilCallStatus::Computed;
  }
  sys::DynamicLibrary lib;
  if (!LoadInto(lib, library)) return ZentilCallStatus::LibraryMissing;
  void* address = lib.Symbol(entry);
  if (address == nullptr) return ZentilCallStatus::EntryMissing;  // unloaded by the destructor
  call(address);
  lib.Unload();
  return ZentilCallStatus::Computed;
}

uint64_t ZentilLoadCount() { return g_loads.load(); }
