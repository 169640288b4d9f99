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

// One use of `library` on this thread: the first call loads it (a call that cannot load it
// reports LibraryMissing, and the next call tries again), the end of the use unloads it. Uses
// nest; calls on other threads bind as usual.
class ZentilUse {
 public:
  explicit ZentilUse(std::string library);
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
