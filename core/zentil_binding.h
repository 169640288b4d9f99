#pragma once
// Binding the algorithm library Zentil for one call: load it, look up the entry point, call it,
// unload it. The library keeps state in module globals between calls, so every binding in the
// process (a sample count, the start-up blank) runs under one call lock and never overlaps
// another.
//
// One use of the library may make several calls (a count's quick values, then its result): a
// ZentilUse on the calling thread keeps the library loaded from the first of them to its end,
// so the use loads it once. Each call still takes the call lock on its own.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace sys {
class DynamicLibrary;
}

enum class ZentilCallStatus {
  Computed,        // the entry point ran
  LibraryMissing,  // the library file could not be loaded
  EntryMissing,    // it loaded but has no such entry point
};

// Under the call lock: loads `library` (a path, or a name as sys::DynamicLibrary takes it),
// looks up `entry`, runs `call` with its address and unloads. `call` runs only when both are found.
// Inside a ZentilUse of the same library on this thread, the use's loaded library serves and
// stays loaded.
ZentilCallStatus CallZentilEntry(const std::string& library, const char* entry,
                                 const std::function<void(void* address)>& call);

// The same with the entry point typed as `Proc`.
template <class Proc, class Call>
ZentilCallStatus WithZentilEntry(const std::string& library, const char* entry, Call call) {
  return CallZentilEntry(library, entry, [&](void* address) { call(reinterpret_cast<Proc>(address)); });
}

// A library loaded ahead of the use it is meant for, so that the use does not wait for the
// load: a count loads it when its first histogram has come, while the others are still on the
// line. A ZentilUse of the same library takes it over; one that no use took is unloaded by
// Release or at the end of its owner. Loading and unloading hold the call lock, as a call's own.
class ZentilPreload {
 public:
  ZentilPreload();
  ~ZentilPreload();
  ZentilPreload(const ZentilPreload&) = delete;
  ZentilPreload& operator=(const ZentilPreload&) = delete;
  // Loads `library` unless it is held here already (another library held is unloaded first).
  // A library that cannot be loaded is not held: the use loads, and reports, as without this.
  void Load(const std::string& library);
  void Release();
  bool Holds(const std::string& library) const { return lib_ != nullptr && library_ == library; }

 private:
  friend class ZentilUse;
  std::string library_;
  std::unique_ptr<sys::DynamicLibrary> lib_;
};

// One use of `library` on this thread: the first call loads it (a call that cannot load it
// reports LibraryMissing, and the next call tries again), the end of the use unloads it. Uses
// nest; calls on other threads bind as usual.
class ZentilUse {
 public:
  explicit ZentilUse(std::string library);
  // The same, taking over what `preload` holds when it is this library (then no call loads).
  ZentilUse(std::string library, ZentilPreload& preload);
  ~ZentilUse();
  ZentilUse(const ZentilUse&) = delete;
  ZentilUse& operator=(const ZentilUse&) = delete;

 private:
  friend ZentilCallStatus CallZentilEntry(const std::string&, const char*, const std::function<void(void*)>&);
  std::string library_;
  std::unique_ptr<sys::DynamicLibrary> loaded_;
  ZentilUse* outer_ = nullptr;
};

// How many times a binding has loaded a library since the process started (for the checks that
// a use loads once).
uint64_t ZentilLoadCount();
