// The library as Quorvex meets it: loaded by file name, entry points looked up by name, exactly
// its interface exported, and every call complete in itself.
#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "algorithm/Zentil.h"
#include "sample_histograms.h"

namespace {

const std::string kLibrary = std::string(QUORVEX_PROGRAM_DIR) + "/" + kZentilLibraryFile;

using MainFn = AlgorithmMainProc;
using AdjustFn = AdjustWbcHistogramProc;
using VersionFn = GetAlgorithmVersionProc;
using ChannelFn = int (*)(AlgorithmResult*, const AlgorithmInput*);

// The exports built so far. The raw-data record file and pulse identification functions join
// this list when they are built.
const std::set<std::string> kExports = {
    "AlgorithmMain",     "AdjustWbcHistogram",  "GetAlgorithmVersion",
    "CbcAlgorithmMain",  "CbcAlgorithmWbc",     "CbcAlgorithmHgb",
    "CbcAlgorithmRbc",   "CbcAlgorithmPlt",     "GetWbcParameters",
    "GetRbcParameters",  "GetPltParameters",    "FindWbcLine",
    "FlagAlgorithmMain", "GetFlagAlgorithmParaDefault", "GetECalAlgorithmParaDefault",
    "LoadAlgorithmPara",
    // raw-data record files, pulse identification and pulse files
    "ReadRawdata",       "ClearRawdata",        "GetRawdataStaticData",
    "GetRawdataPointerData", "GetAlgoDataFromRecord_1", "ReviseRawdata",
    "GetPulseIdenParaDefault", "CbcPulseIdentify", "ParsePulseData",
    "GetPulseDataLen",   "DoPulseIdentify",     "AllocateMemoryForPulseData",
    "DeallocateMemoryForPulseData", "AllocateMemoryForPulse", "DeallocateMemoryForPulse",
    "AllocateMemoryForPulseIdenData", "DeallocateMemoryForPulseIdenData",
    "GetPulseIdentifyVersion", "CbcFindPeak", "DoFilePulseIdentify",
};

// Defined global symbols of the dynamic symbol table of a 64-bit ELF file.
std::set<std::string> DynamicExports(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::vector<char> data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  std::set<std::string> names;
  if (data.size() < sizeof(Elf64_Ehdr)) return names;
  Elf64_Ehdr eh;
  std::memcpy(&eh, data.data(), sizeof(eh));
  if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64) return names;
  std::vector<Elf64_Shdr> sections(eh.e_shnum);
  for (int i = 0; i < eh.e_shnum; ++i)
    std::memcpy(&sections[i], data.data() + eh.e_shoff + i * eh.e_shentsize, sizeof(Elf64_Shdr));
  for (const Elf64_Shdr& sh : sections) {
    if (sh.sh_type != SHT_DYNSYM) continue;
    const Elf64_Shdr& strtab = sections[sh.sh_link];
    for (std::size_t off = 0; off + sizeof(Elf64_Sym) <= sh.sh_size; off += sizeof(Elf64_Sym)) {
      Elf64_Sym sym;
      std::memcpy(&sym, data.data() + sh.sh_offset + off, sizeof(sym));
      const int bind = ELF64_ST_BIND(sym.st_info);
      if (sym.st_shndx == SHN_UNDEF || (bind != STB_GLOBAL && bind != STB_WEAK)) continue;
      names.insert(data.data() + strtab.sh_offset + sym.st_name);
    }
  }
  return names;
}

// Needed shared libraries of the file (DT_NEEDED entries).
std::vector<std::string> NeededLibraries(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::vector<char> data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  std::vector<std::string> needed;
  Elf64_Ehdr eh;
  std::memcpy(&eh, data.data(), sizeof(eh));
  std::vector<Elf64_Shdr> sections(eh.e_shnum);
  for (int i = 0; i < eh.e_shnum; ++i)
    std::memcpy(&sections[i], data.data() + eh.e_shoff + i * eh.e_shentsize, sizeof(Elf64_Shdr));
  for (const Elf64_Shdr& sh : sections) {
    if (sh.sh_type != SHT_DYNAMIC) continue;
    const Elf64_Shdr& strtab = sections[sh.sh_link];
    for (std::size_t off = 0; off + sizeof(Elf64_Dyn) <= sh.sh_size; off += sizeof(Elf64_Dyn)) {
      Elf64_Dyn dyn;
      std::memcpy(&dyn, data.data() + sh.sh_offset + off, sizeof(dyn));
      if (dyn.d_tag == DT_NEEDED) needed.emplace_back(data.data() + strtab.sh_offset + dyn.d_un.d_val);
    }
  }
  return needed;
}

// GCC says it builds with the address sanitizer by a macro, Clang by a feature test.
#if defined(__SANITIZE_ADDRESS__)
#define QX_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QX_ADDRESS_SANITIZER 1
#endif
#endif

// The address sanitizer's runtime cannot be loaded a second time into a namespace of its own.
#if defined(QX_ADDRESS_SANITIZER)
constexpr bool kSeparateNamespaces = false;
#else
constexpr bool kSeparateNamespaces = true;
#endif

// One load of the library, unloaded again at the end of the scope. A fresh load goes into a
// namespace of its own, so it starts from the library's load-time state whatever ran before.
class Loaded {
 public:
  explicit Loaded(bool fresh = false)
      : handle_(fresh && kSeparateNamespaces ? dlmopen(LM_ID_NEWLM, kLibrary.c_str(), RTLD_NOW)
                                             : dlopen(kLibrary.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
  ~Loaded() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  bool ok() const { return handle_ != nullptr; }
  template <typename F>
  F get(const char* name) const {
    return reinterpret_cast<F>(dlsym(handle_, name));
  }

 private:
  void* handle_;
};

struct Count {
  AlgorithmInput input;
  std::vector<std::uint16_t> blank, sample;
  explicit Count(int which = 0) {
    zentil_test::MakeInput(input, zentil_test::ReferenceSamples()[which], blank, sample);
  }
};

}  // namespace

TEST(ZentilLibrary, ExportsExactlyItsInterface) {
  std::set<std::string> exported = DynamicExports(kLibrary);
  ASSERT_FALSE(exported.empty()) << kLibrary;
#if defined(QX_ADDRESS_SANITIZER)
  // Built for the sanitizers at a low optimisation level, the library also carries the standard
  // library's own template code and the type information the call checks use, both exported by
  // the standard headers' visibility. The library's own names still may not leave it.
  std::erase_if(exported, [](const std::string& name) {
    for (const char* prefix : {"_ZSt", "_ZNSt", "_ZNKSt", "_ZN9__gnu_cxx", "_ZNK9__gnu_cxx", "_ZTI", "_ZTS"})
      if (name.rfind(prefix, 0) == 0) return true;
    return false;
  });
#endif
  EXPECT_EQ(exported, kExports);
}

TEST(ZentilLibrary, NeedsOnlyTheCAndCxxRuntime) {
  for (const std::string& lib : NeededLibraries(kLibrary)) {
    const bool runtime = lib.rfind("libc.so", 0) == 0 || lib.rfind("libm.so", 0) == 0 ||
                         lib.rfind("libstdc++.so", 0) == 0 || lib.rfind("libgcc_s.so", 0) == 0 ||
                         lib.rfind("ld-linux", 0) == 0 ||
                         // added by a sanitizer build, not by the library
                         lib.rfind("libasan.so", 0) == 0 || lib.rfind("libubsan.so", 0) == 0;
    EXPECT_TRUE(runtime) << lib;
  }
}

TEST(ZentilLibrary, LoadsByNameAndAnswersItsVersion) {
  Loaded lib;
  ASSERT_TRUE(lib.ok()) << dlerror();
  auto version = lib.get<VersionFn>("GetAlgorithmVersion");
  ASSERT_NE(version, nullptr);
  ASSERT_NE(lib.get<MainFn>("AlgorithmMain"), nullptr);
  ASSERT_NE(lib.get<AdjustFn>("AdjustWbcHistogram"), nullptr);

  struct Case {
    std::int16_t size;
    const char* expect;  // nullptr: all zero over the size
    int zeroed;          // bytes that must be zero
  };
  const Case cases[] = {{8, "1.0.4.0", 8}, {16, "1.0.4.0", 16}, {7, nullptr, 7}, {0, nullptr, 0}};
  for (const Case& c : cases) {
    char buffer[32];
    std::memset(buffer, 'x', sizeof(buffer));
    version(buffer, c.size);
    if (c.expect != nullptr) {
      EXPECT_STREQ(buffer, c.expect) << c.size;
    }
    for (int i = c.expect ? 7 : 0; i < c.zeroed; ++i) EXPECT_EQ(buffer[i], 0) << c.size << " at " << i;
    for (int i = c.zeroed; i < 32; ++i) EXPECT_EQ(buffer[i], 'x') << c.size << " at " << i;
  }
  version(nullptr, 8);  // nothing to write to: no crash
}

TEST(ZentilLibrary, NullRecordsAreRefusedUntouched) {
  Loaded lib;
  ASSERT_TRUE(lib.ok());
  auto main = lib.get<MainFn>("AlgorithmMain");
  Count count;
  static AlgorithmResult result;
  std::memset(&result, 0xAB, sizeof(result));
  EXPECT_EQ(main(&result, nullptr, nullptr), 1);
  EXPECT_EQ(main(nullptr, &count.input, nullptr), 1);
  const auto* bytes = reinterpret_cast<const unsigned char*>(&result);
  EXPECT_TRUE(std::all_of(bytes, bytes + sizeof(result), [](unsigned char b) { return b == 0xAB; }));
  for (const char* name : {"CbcAlgorithmWbc", "CbcAlgorithmHgb", "CbcAlgorithmRbc", "CbcAlgorithmPlt"})
    EXPECT_EQ(lib.get<ChannelFn>(name)(&result, nullptr), 1) << name;
  auto adjust = lib.get<AdjustFn>("AdjustWbcHistogram");
  const std::uint16_t lines[4] = {10, 40, 70, 255};
  adjust(&result, nullptr, lines);
  EXPECT_TRUE(std::all_of(bytes, bytes + sizeof(result), [](unsigned char b) { return b == 0xAB; }));
}

TEST(ZentilLibrary, ClearsTheResultButKeepsTheAuxiliaryBufferAddress) {
  Loaded lib;
  ASSERT_TRUE(lib.ok());
  auto main = lib.get<MainFn>("AlgorithmMain");
  Count count;
  static AlgorithmResult result;
  std::memset(&result, 0xCD, sizeof(result));
  char aux[4];
  result.AuxBuffer = aux;
  EXPECT_EQ(main(&result, &count.input, nullptr), 0);
  EXPECT_EQ(+result.AuxBuffer, static_cast<void*>(aux));
  EXPECT_EQ(std::string(result.Version), "1.0.4.0");
  for (int i = 7; i < 16; ++i) EXPECT_EQ(result.Version[i], 0);
  // Bytes no channel writes read zero.
  auto zero = [](const auto& field) {
    const auto* b = reinterpret_cast<const unsigned char*>(&field);
    return std::all_of(b, b + sizeof(field), [](unsigned char c) { return c == 0; });
  };
  EXPECT_TRUE(zero(result.Reserved7060));
  EXPECT_TRUE(zero(result.Reserved7108));
  EXPECT_TRUE(zero(result.AuxFit));
  EXPECT_TRUE(zero(result.Reserved10286));
  EXPECT_TRUE(zero(result.Reserved10388));
  EXPECT_TRUE(zero(result.Reserved10447));
  EXPECT_TRUE(zero(result.Reserved10470));
  EXPECT_EQ(result.ChannelError[4], 0);
  EXPECT_EQ(result.ChannelAlarm[4], 0);
}

// A stage called on its own, straight after loading, uses the default parameter block.
TEST(ZentilLibrary, StagesCalledAloneUseTheDefaults) {
  Loaded lib(true);
  ASSERT_TRUE(lib.ok());
  Count count;
  static AlgorithmResult alone, full;
  std::memset(&alone, 0, sizeof(alone));
  ASSERT_EQ(lib.get<ChannelFn>("CbcAlgorithmMain")(&alone, &count.input), 0);
  lib.get<MainFn>("AlgorithmMain")(&full, &count.input, nullptr);
  for (int slot : {SlotWBC, SlotRBC, SlotHGB, SlotMCV, SlotRDWCV, SlotPLT, SlotMPV, SlotPDW})
    EXPECT_EQ(alone.Values[slot], full.Values[slot]) << slot;
  EXPECT_GT(alone.HGB, 100.0f);
  EXPECT_EQ(alone.LymPercent, full.LymPercent);
}

TEST(ZentilLibrary, RepeatedCallsGiveIdenticalResults) {
  Loaded lib;
  ASSERT_TRUE(lib.ok());
  auto main = lib.get<MainFn>("AlgorithmMain");
  Count count;
  static AlgorithmResult first, second, third;
  main(&first, &count.input, nullptr);
  // Leave different state behind: a calibrating parameter block and a stand-alone line search.
  AlgorithmPara para{};
  for (ECalPair& p : para.ECal.Pair) p = {1.4f, 3.0f};
  static AlgorithmResult scratch;
  main(&scratch, &count.input, &para);
  lib.get<int (*)(AlgorithmResult*)>("FindWbcLine")(&scratch);
  main(&second, &count.input, nullptr);
  main(&third, &count.input, nullptr);
  EXPECT_EQ(std::memcmp(&first, &second, sizeof(first)), 0);
  EXPECT_EQ(std::memcmp(&second, &third, sizeof(first)), 0);
  EXPECT_NE(scratch.WBC, first.WBC);
}
