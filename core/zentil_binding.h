#pragma once
// Binding the algorithm library Zentil for one call: load it, look up the entry point, call it,
// unload it. The library keeps state in module globals between calls, so every binding in the
// process (a sample count, the start-up blank) runs under one call lock and never overlaps
// another.
#include <functional>
#include <string>

enum class ZentilCallStatus {
  Computed,        // the entry point ran
  LibraryMissing,  // the library file could not be loaded
  EntryMissing,    // it loaded but has no such entry point
};

// Under the call lock: loads `library` (a path, or a name as sys::DynamicLibrary takes it),
// looks up `entry`, runs `call` with its address and unloads. `call` runs only when both are found.
ZentilCallStatus CallZentilEntry(const std::string& library, const char* entry,
                                 const std::function<void(void* address)>& call);

// The same with the entry point typed as `Proc`.
template <class Proc, class Call>
ZentilCallStatus WithZentilEntry(const std::string& library, const char* entry, Call call) {
  return CallZentilEntry(library, entry, [&](void* address) { call(reinterpret_cast<Proc>(address)); });
}
