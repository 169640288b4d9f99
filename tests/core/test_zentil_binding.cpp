// Binding a library entry point for one call: what runs and what is reported for a library that
// is missing, an entry point that is missing, and one that is found.
#include <gtest/gtest.h>

#include <string>

#include "core/zentil_binding.h"

namespace {

TEST(ZentilBinding, ReportsWhatWasFoundAndCallsOnlyAFoundEntry) {
  // The C maths library stands in for the algorithm library: it is always there.
  const struct {
    const char* library;
    const char* entry;
    ZentilCallStatus status;
  } cases[] = {
      {"libm.so.6", "cos", ZentilCallStatus::Computed},
      {"libm.so.6", "NoSuchEntryPoint", ZentilCallStatus::EntryMissing},
      {"/nonexistent/libZentil.so", "AlgorithmMain", ZentilCallStatus::LibraryMissing},
      {"", "AlgorithmMain", ZentilCallStatus::LibraryMissing},
  };
  for (const auto& c : cases) {
    int calls = 0;
    double value = -1.0;
    const ZentilCallStatus status = WithZentilEntry<double (*)(double)>(c.library, c.entry, [&](double (*fn)(double)) {
      ++calls;
      value = fn(0.0);
    });
    EXPECT_EQ(status, c.status) << c.library << " " << c.entry;
    EXPECT_EQ(calls, c.status == ZentilCallStatus::Computed ? 1 : 0) << c.library << " " << c.entry;
    if (calls == 1) {
      EXPECT_EQ(value, 1.0);
    }
  }
}

TEST(ZentilBinding, ACallMayBindAgainAfterTheFirstReturned) {
  // The lock is released on every path, so calls one after the other never wait for each other.
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(CallZentilEntry("/nonexistent/libZentil.so", "AlgorithmMain", [](void*) {}),
              ZentilCallStatus::LibraryMissing);
    EXPECT_EQ(CallZentilEntry("libm.so.6", "NoSuchEntryPoint", [](void*) {}), ZentilCallStatus::EntryMissing);
    EXPECT_EQ(CallZentilEntry("libm.so.6", "cos", [](void*) {}), ZentilCallStatus::Computed);
  }
}

}  // namespace
