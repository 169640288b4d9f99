// Binding a library entry point for one call: what runs and what is reported for a library that
// is missing, an entry point that is missing, and one that is found.
#include <gtest/gtest.h>

#include <string>
#include <thread>

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

TEST(ZentilBinding, AUseLoadsItsLibraryOnceForAllItsCallsOnItsThread) {
  const uint64_t before = ZentilLoadCount();
  {
    const ZentilUse use("libm.so.6");
    for (int i = 0; i < 3; ++i) {
      double value = -1.0;
      EXPECT_EQ(WithZentilEntry<double (*)(double)>("libm.so.6", "cos", [&](double (*fn)(double)) { value = fn(0.0); }),
                ZentilCallStatus::Computed);
      EXPECT_EQ(value, 1.0);
    }
    EXPECT_EQ(CallZentilEntry("libm.so.6", "NoSuchEntryPoint", [](void*) {}), ZentilCallStatus::EntryMissing);
    EXPECT_EQ(ZentilLoadCount() - before, 1u);
    // Another library, and another thread, bind for each call as without a use.
    EXPECT_EQ(CallZentilEntry("libc.so.6", "abs", [](void*) {}), ZentilCallStatus::Computed);
    std::thread other([] { EXPECT_EQ(CallZentilEntry("libm.so.6", "cos", [](void*) {}), ZentilCallStatus::Computed); });
    other.join();
    EXPECT_EQ(ZentilLoadCount() - before, 3u);
  }
  // The use has ended: the next call loads again.
  EXPECT_EQ(CallZentilEntry("libm.so.6", "cos", [](void*) {}), ZentilCallStatus::Computed);
  EXPECT_EQ(ZentilLoadCount() - before, 4u);
}

TEST(ZentilBinding, AUseWhoseLibraryIsMissingTriesAgainAtEachCall) {
  const uint64_t before = ZentilLoadCount();
  const ZentilUse use("/nonexistent/libZentil.so");
  for (int i = 0; i < 2; ++i) {
    int calls = 0;
    EXPECT_EQ(CallZentilEntry("/nonexistent/libZentil.so", "AlgorithmMain", [&](void*) { ++calls; }),
              ZentilCallStatus::LibraryMissing);
    EXPECT_EQ(calls, 0);
  }
  EXPECT_EQ(ZentilLoadCount(), before);
  {
    // A use inside it for another library: each serves its own library's calls.
    const ZentilUse inner("libm.so.6");
    EXPECT_EQ(CallZentilEntry("libm.so.6", "cos", [](void*) {}), ZentilCallStatus::Computed);
    EXPECT_EQ(CallZentilEntry("libm.so.6", "sin", [](void*) {}), ZentilCallStatus::Computed);
    EXPECT_EQ(CallZentilEntry("/nonexistent/libZentil.so", "AlgorithmMain", [](void*) {}),
              ZentilCallStatus::LibraryMissing);
  }
  EXPECT_EQ(ZentilLoadCount() - before, 1u);
}

TEST(ZentilBinding, AUseTakesOverWhatWasLoadedAheadForItsLibraryOnly) {
  const uint64_t before = ZentilLoadCount();
  ZentilPreload ahead;
  ahead.Load("libm.so.6");
  ahead.Load("libm.so.6");  // held already
  EXPECT_TRUE(ahead.Holds("libm.so.6"));
  EXPECT_EQ(ZentilLoadCount() - before, 1u);
  {
    // A use of another library leaves it held and loads its own.
    const ZentilUse other("libc.so.6", ahead);
    EXPECT_EQ(CallZentilEntry("libc.so.6", "abs", [](void*) {}), ZentilCallStatus::Computed);
    EXPECT_TRUE(ahead.Holds("libm.so.6"));
    EXPECT_EQ(ZentilLoadCount() - before, 2u);
  }
  {
    const ZentilUse use("libm.so.6", ahead);
    EXPECT_FALSE(ahead.Holds("libm.so.6"));
    double value = -1.0;
    EXPECT_EQ(WithZentilEntry<double (*)(double)>("libm.so.6", "cos", [&](double (*fn)(double)) { value = fn(0.0); }),
              ZentilCallStatus::Computed);
    EXPECT_EQ(value, 1.0);
    EXPECT_EQ(ZentilLoadCount() - before, 2u);
  }
  // A library that cannot be loaded is not held; the use then reports it at its call.
  ahead.Load("/nonexistent/libZentil.so");
  EXPECT_FALSE(ahead.Holds("/nonexistent/libZentil.so"));
  const ZentilUse missing("/nonexistent/libZentil.so", ahead);
  EXPECT_EQ(CallZentilEntry("/nonexistent/libZentil.so", "AlgorithmMain", [](void*) {}),
            ZentilCallStatus::LibraryMissing);
  // Another library loaded ahead replaces the one held; Release lets it go.
  ahead.Load("libm.so.6");
  ahead.Load("libc.so.6");
  EXPECT_FALSE(ahead.Holds("libm.so.6"));
  EXPECT_TRUE(ahead.Holds("libc.so.6"));
  ahead.Release();
  EXPECT_FALSE(ahead.Holds("libc.so.6"));
  EXPECT_EQ(ZentilLoadCount() - before, 4u);
}

}  // namespace
