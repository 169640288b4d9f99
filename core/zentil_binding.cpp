#include "core/zentil_binding.h"

#include <mutex>

#include "platform/sys/dynlib.h"

namespace {

std::mutex g_callLock;

}  // namespace

ZentilCallStatus CallZentilEntry(const std::string& library, const char* entry,
                                 const std::function<void(void* address)>& call) {
  std::lock_guard<std::mutex> lock(g_callLock);
  sys::DynamicLibrary lib;
  if (!lib.Load(library)) return ZentilCallStatus::LibraryMissing;
  void* address = lib.Symbol(entry);
  if (address == nullptr) return ZentilCallStatus::EntryMissing;  // unloaded by the destructor
  call(address);
  lib.Unload();
  return ZentilCallStatus::Computed;
}
