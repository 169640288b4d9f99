// Whole counts through libZentil.so, loaded by name as the program loads it, against the same
// channels compiled over numeric routines written straight from their formulas: every byte of
// the result record agrees, so no shortcut the library takes (kernels compiled in or built once,
// a grid point of the fit abandoned once it cannot win) changes a value, a line or a curve.
#include <gtest/gtest.h>
#include <dlfcn.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "algorithm/Zentil.h"
#include "varied_counts.h"

namespace {

using MainFn = int (*)(AlgorithmResult*, AlgorithmInput*, AlgorithmPara*);

constexpr int kCounts = 4000;

TEST(ReferenceCounts, EveryByteOfThousandsOfCountsMatchesTheFormulas) {
  const std::string path = std::string(QUORVEX_PROGRAM_DIR) + "/libZentil.so";
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(handle, nullptr) << dlerror();
  auto libraryMain = reinterpret_cast<MainFn>(dlsym(handle, "AlgorithmMain"));
  ASSERT_NE(libraryMain, nullptr);
  ASSERT_NE(reinterpret_cast<void*>(libraryMain), reinterpret_cast<void*>(&AlgorithmMain))
      << "the library's entry must be its own, not this program's reference build";
  int fitted = 0;
  for (int index = 0; index < kCounts; ++index) {
    zentil_test::VariedCount a, b;
    zentil_test::MakeVariedCount(a, 4150, index);
    zentil_test::MakeVariedCount(b, 4150, index);
    static AlgorithmResult expected, actual;
    std::memset(&expected, 0, sizeof(expected));
    std::memset(&actual, 0, sizeof(actual));
    const int expectedCode = AlgorithmMain(&expected, &a.input, nullptr);
    const int actualCode = libraryMain(&actual, &b.input, nullptr);
    ASSERT_EQ(expectedCode, actualCode) << "count " << index;
    const auto* e = reinterpret_cast<const unsigned char*>(&expected);
    const auto* g = reinterpret_cast<const unsigned char*>(&actual);
    std::size_t at = 0;
    while (at < sizeof(AlgorithmResult) && e[at] == g[at]) ++at;
    ASSERT_EQ(at, sizeof(AlgorithmResult))
        << "count " << index << ": first differing byte at offset " << at << " (WBC lines "
        << expected.WbcLines[1] << "/" << expected.WbcLines[2] << " vs " << actual.WbcLines[1]
        << "/" << actual.WbcLines[2] << ")";
    fitted += expected.WbcFitDone;
  }
  dlclose(handle);
  // The counts reach the Gaussian fit of the lymphocyte peak most of the time.
  EXPECT_GT(fitted, kCounts / 2);
}

}  // namespace
