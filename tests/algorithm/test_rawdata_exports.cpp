// The file and pulse functions as a caller of the built library meets them: each looked up by
// its undecorated name in libZentil.so, and the helpers behind them kept inside.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "algorithm/Zentil.h"

namespace {

const std::string kLibrary = std::string(QUORVEX_PROGRAM_DIR) + "/libZentil.so";

const char* const kFileAndPulseExports[] = {
    "ReadRawdata",
    "ClearRawdata",
    "GetRawdataStaticData",
    "GetRawdataPointerData",
    "GetAlgoDataFromRecord_1",
    "ReviseRawdata",
    "GetPulseIdenParaDefault",
    "CbcPulseIdentify",
    "ParsePulseData",
    "GetPulseDataLen",
    "DoPulseIdentify",
    "AllocateMemoryForPulseData",
    "DeallocateMemoryForPulseData",
    "AllocateMemoryForPulse",
    "DeallocateMemoryForPulse",
    "AllocateMemoryForPulseIdenData",
    "DeallocateMemoryForPulseIdenData",
    "GetPulseIdentifyVersion",
    "CbcFindPeak",
    "DoFilePulseIdentify",
};

class LoadedLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = dlopen(kLibrary.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
  }
  void TearDown() override {
    if (handle_ != nullptr) dlclose(handle_);
  }
  void* handle_ = nullptr;
};

TEST_F(LoadedLibrary, EveryFileAndPulseFunctionIsExportedByName) {
  for (const char* name : kFileAndPulseExports) EXPECT_NE(dlsym(handle_, name), nullptr) << name;
}

TEST_F(LoadedLibrary, InternalHelpersStayHidden) {
  // The checksum and allocation helpers have C++ names and hidden visibility.
  for (const char* name : {"_ZN6zentil10RawdataCrcEPKhm", "_ZN6zentil8AllocateEm",
                           "_ZN6zentil11WalkRawdataEPhmP13RawdataHeaderR17RawdataStaticDataP18Raw"
                           "dataPointerDataRNS_17RawdataTrueCountsEPNS_18RawdataTailRecordsE"})
    EXPECT_EQ(dlsym(handle_, name), nullptr) << name;
}

TEST_F(LoadedLibrary, CallsThroughTheLoadedLibrary) {
  using VersionFn = void (*)(char*, std::uint16_t);
  using DefaultsFn = std::uint8_t (*)(PulseIdenPara*, std::uint8_t);
  using ReadFn = std::uint8_t (*)(RawdataHeader*, RawdataStaticData*, RawdataPointerData*, const char*);
  auto version = reinterpret_cast<VersionFn>(dlsym(handle_, "GetPulseIdentifyVersion"));
  auto defaults = reinterpret_cast<DefaultsFn>(dlsym(handle_, "GetPulseIdenParaDefault"));
  auto read = reinterpret_cast<ReadFn>(dlsym(handle_, "ReadRawdata"));
  ASSERT_TRUE(version && defaults && read);
  char text[13];
  version(text, sizeof text);
  EXPECT_STREQ(text, "1.0.3.130115");
  PulseIdenPara p;
  ASSERT_EQ(defaults(&p, 2), 0);
  EXPECT_EQ(p.MinValleyPeak, 320);
  RawdataHeader h;
  RawdataStaticData s;
  RawdataPointerData ptr;
  EXPECT_EQ(read(&h, &s, &ptr, "/nonexistent/zentil/raw.dat"), 4);
}

}  // namespace
