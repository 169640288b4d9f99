// Pulse files: word layouts and marker files, measuring, splitting, the batch over three
// channels with its peak list, the parameter file, and the allocation exports.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "algorithm/PulseFile.h"
#include "algorithm/RawdataIo.h"
#include "algorithm/Zentil.h"

namespace {

using Words = std::vector<std::uint32_t>;

std::uint32_t Peak(std::uint32_t v1, std::uint32_t v2, std::uint32_t v3) {
  return v1 | (v2 << 10) | (v3 << 20);
}
// Layout 1 channel word: kind 1 WBC, 2 RBC, 3 PLT.
std::uint32_t Channel1(std::uint32_t kind, std::uint32_t first, std::uint32_t second) {
  return (kind << 30) | (second << 16) | first;
}
// Layout 2 channel word: nibble 0xC WBC, 0xD RBC, 0xE PLT.
std::uint32_t Channel2(std::uint32_t nibble, std::uint32_t first, std::uint32_t second) {
  return (nibble << 28) | (second << 16) | first;
}

// The single WBC pulse of the identification tests, padded to whole channel words.
const std::vector<std::uint16_t> kWbcPulse = {0,   230, 240, 300, 600, 900, 1000,
                                              900, 700, 500, 300, 200, 100, 100};

Words WbcWords1(const std::vector<std::uint16_t>& samples) {
  Words w;
  for (std::size_t k = 0; k + 1 < samples.size(); k += 2) w.push_back(Channel1(1, samples[k], samples[k + 1]));
  return w;
}

class PulseFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/zentil_pulsefile_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    path_ = dir_ + "/pulse.bin";
    std::memset(&iden_, 0, sizeof iden_);
  }
  void TearDown() override {
    zentil::FailAllocationsAfter(-1);
    DeallocateMemoryForPulseIdenData(&iden_);
    ASSERT_EQ(std::system(("rm -rf '" + dir_ + "'").c_str()), 0);
  }
  void Marker(const char* name) { std::ofstream(dir_ + "/" + name) << ""; }
  void WriteWords(const Words& words, std::size_t extraBytes = 0) {
    std::ofstream f(path_, std::ios::binary);
    for (std::uint32_t w : words)
      for (int i = 0; i < 4; ++i) f.put(static_cast<char>(w >> (8 * i)));
    for (std::size_t i = 0; i < extraBytes; ++i) f.put('\x7f');
  }
  std::string WriteParameters(const PulseIdenPara (&p)[3], std::size_t bytes) {
    const std::string path = dir_ + "/para.bin";
    std::string raw;
    for (const PulseIdenPara& one : p) {
      std::uint16_t fields[15];
      std::memcpy(fields, &one, sizeof fields);
      for (std::uint16_t v : fields) {
        raw.push_back(static_cast<char>(v & 0xFF));
        raw.push_back(static_cast<char>(v >> 8));
      }
    }
    std::ofstream(path, std::ios::binary) << raw.substr(0, bytes);
    return path;
  }
  PulseDataLen Measure() {
    PulseDataLen len;
    std::memset(&len, 0xEE, sizeof len);
    EXPECT_EQ(GetPulseDataLen(&len, path_.c_str()), 0);
    return len;
  }

  std::string dir_, path_;
  PulseIdenData iden_;
};

TEST(PulseWords, DecodingByLayout) {
  using K = zentil::PulseWord;
  const struct {
    int layout;
    std::uint32_t word;
    K::Kind kind;
    std::uint16_t first, second, third;
  } cases[] = {
      {1, 0x40020001, K::kWbc, 1, 2, 0},
      {2, 0xC0021005, K::kWbc, 0x1005, 2, 0},  // value 5 with a time mark
      {2, 0x40000000, K::kPeak, 0, 0, 0x400},  // value 3 carries the time mark
      {1, 0x40000000, K::kWbc, 0, 0, 0},
      {1, 0x3FFFFFFF, K::kPeak, 0x3FF, 0x3FF, 0x3FF},
      {2, 0x7FFFFFFF, K::kPeak, 0x3FF, 0x3FF, 0x7FF},
      {1, 0x80010002, K::kRbc, 2, 1, 0},
      {1, 0xFFFFFFFF, K::kPlt, 0x3FFF, 0x3FFF, 0},
      {2, 0xDFFFFFFF, K::kRbc, 0x1FFF, 0xFFF, 0},
      {2, 0xE0030004, K::kPlt, 4, 3, 0},
      {2, 0x80000000, K::kIgnored, 0, 0, 0},
      {2, 0xBFFFFFFF, K::kIgnored, 0, 0, 0},
      {2, 0xF0000001, K::kIgnored, 0, 0, 0},
      {0, 0x40020001, K::kIgnored, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const K w = zentil::DecodePulseWord(c.word, c.layout);
    EXPECT_EQ(w.kind, c.kind) << std::hex << c.word << " layout " << c.layout;
    EXPECT_EQ(w.first, c.first) << std::hex << c.word;
    EXPECT_EQ(w.second, c.second) << std::hex << c.word;
    EXPECT_EQ(w.third, c.third) << std::hex << c.word;
  }
}

TEST(PulseWords, FolderOfAPulseFile) {
  const struct {
    const char* path;
    const char* folder;
  } cases[] = {{"a/b/c.bin", "a/b/"}, {"c.bin", ""},         {"/c.bin", ""},
               {"x\\y.bin", "x\\"},   {"d:\\p\\q.bin", "d:\\p\\"}, {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(zentil::PulseFileFolder(c.path), c.folder) << c.path;
}

TEST_F(PulseFiles, MarkerFilesChooseTheLayout) {
  WriteWords({0x40020001, 0xC0021005, Peak(1, 2, 3)});
  EXPECT_EQ(zentil::PulseFileLayout(path_.c_str()), 1);
  PulseDataLen len = Measure();
  EXPECT_EQ(+len.WbcWords, 2u);
  EXPECT_EQ(+len.PltWords, 2u);  // 0xC0... is a PLT word in layout 1
  EXPECT_EQ(+len.Value1Count, 1u);

  Marker(zentil::kPulseLayout2Marker);
  EXPECT_EQ(zentil::PulseFileLayout(path_.c_str()), 2);
  len = Measure();
  EXPECT_EQ(+len.WbcWords, 2u);
  EXPECT_EQ(+len.PltWords, 0u);
  EXPECT_EQ(+len.Value1Count, 2u);  // 0x40020001 is a peak word in layout 2

  Marker(zentil::kPulseLayout0Marker);
  EXPECT_EQ(zentil::PulseFileLayout(path_.c_str()), 0);
  len = Measure();
  const PulseDataLen zero{};
  EXPECT_EQ(std::memcmp(&len, &zero, sizeof len), 0);
}

TEST_F(PulseFiles, MeasuringSkipsIgnoredWordsAndTrailingBytes) {
  Marker(zentil::kPulseLayout2Marker);
  WriteWords({0x80000000, 0xF1234567, Channel2(0xD, 1, 2), Channel2(0xE, 3, 4), Channel2(0xE, 5, 6),
              Peak(1, 1, 1)},
             3);
  const PulseDataLen len = Measure();
  EXPECT_EQ(+len.WbcWords, 0u);
  EXPECT_EQ(+len.RbcWords, 2u);
  EXPECT_EQ(+len.PltWords, 4u);
  EXPECT_EQ(+len.Value1Count, 1u);
  EXPECT_EQ(+len.Value2Count, 1u);
  EXPECT_EQ(+len.Value3Count, 1u);
}

TEST_F(PulseFiles, MeasuringFailures) {
  PulseDataLen len;
  EXPECT_EQ(GetPulseDataLen(nullptr, path_.c_str()), 1);
  EXPECT_EQ(GetPulseDataLen(&len, path_.c_str()), 2);  // no file yet
  EXPECT_EQ(GetPulseDataLen(&len, nullptr), 2);
  EXPECT_EQ(GetPulseDataLen(&len, dir_.c_str()), 2);
  WriteWords({});
  EXPECT_EQ(GetPulseDataLen(&len, path_.c_str()), 0);
  WriteWords({Peak(1, 2, 3)});
  zentil::FailAllocationsAfter(0);
  EXPECT_EQ(GetPulseDataLen(&len, path_.c_str()), 4);  // no memory is no success
  EXPECT_EQ(+len.Value1Count, 0u);
}

TEST_F(PulseFiles, SplittingIntoChannelsAndPeakValues) {
  Marker(zentil::kPulseLayout2Marker);
  WriteWords({Channel2(0xC, 0x1005, 2), Peak(7, 8, 0x402), Channel2(0xD, 9, 10), 0xF0000000,
              Channel2(0xC, 3, 4), Peak(1, 2, 3)});
  const PulseDataLen len = Measure();
  PulseData d{};
  ASSERT_EQ(AllocateMemoryForPulseData(&d, &len), 0);
  EXPECT_EQ(+d.WbcCapacity, 4u);
  EXPECT_EQ(+d.RbcCapacity, 2u);
  EXPECT_EQ(+d.Plt, nullptr);
  EXPECT_EQ(+d.PeakCapacity, 2u);
  ASSERT_EQ(ParsePulseData(&d, path_.c_str()), 0);
  EXPECT_EQ(+d.WbcFilled, 4u);
  EXPECT_EQ(std::vector<std::uint16_t>(d.Wbc, d.Wbc + 4), (std::vector<std::uint16_t>{0x1005, 2, 3, 4}));
  EXPECT_EQ(+d.RbcFilled, 2u);
  EXPECT_EQ(+d.PltFilled, 0u);
  EXPECT_EQ(+d.PeakFilled, 2u);
  EXPECT_EQ(+d.Value1[0], 7);
  EXPECT_EQ(+d.Value2[0], 8);
  EXPECT_EQ(+d.Value3[0], 0x402);
  EXPECT_EQ(+d.Value3[1], 3);
  DeallocateMemoryForPulseData(&d);
  EXPECT_EQ(+d.Wbc, nullptr);
  EXPECT_EQ(+d.Value3, nullptr);
  DeallocateMemoryForPulseData(nullptr);
}

TEST_F(PulseFiles, SplittingStopsAtTheCapacities) {
  WriteWords({Channel1(1, 1, 2), Channel1(1, 3, 4), Channel1(2, 5, 6), Peak(1, 1, 1), Peak(2, 2, 2)});
  std::vector<std::uint16_t> wbc = {9, 9, 9, 0xAAAA}, v1 = {9, 0xAAAA}, v2 = {9, 0xAAAA}, v3 = {9, 0xAAAA};
  PulseData d{};
  d.Wbc = wbc.data();
  d.WbcCapacity = 3;  // room for one word's two samples only
  d.Value1 = v1.data();
  d.Value2 = v2.data();
  d.Value3 = v3.data();
  d.PeakCapacity = 1;
  std::uint16_t rbc = 0xAAAA;
  d.Rbc = &rbc;  // a set array with capacity 0 takes nothing
  ASSERT_EQ(ParsePulseData(&d, path_.c_str()), 0);
  EXPECT_EQ(wbc, (std::vector<std::uint16_t>{1, 2, 0, 0xAAAA}));
  EXPECT_EQ(+d.WbcFilled, 2u);
  EXPECT_EQ(+d.PeakFilled, 1u);
  EXPECT_EQ(v1, (std::vector<std::uint16_t>{1, 0xAAAA}));
  EXPECT_EQ(rbc, 0xAAAA);
  // Peak words need all three arrays.
  d.Value2 = nullptr;
  ASSERT_EQ(ParsePulseData(&d, path_.c_str()), 0);
  EXPECT_EQ(+d.PeakFilled, 0u);
}

TEST_F(PulseFiles, SplittingFailuresKeepEarlierCounts) {
  PulseData d{};
  d.WbcFilled = 77;
  EXPECT_EQ(ParsePulseData(nullptr, path_.c_str()), 1);
  EXPECT_EQ(ParsePulseData(&d, nullptr), 1);
  EXPECT_EQ(ParsePulseData(&d, path_.c_str()), 2);
  EXPECT_EQ(+d.WbcFilled, 77u);
  WriteWords({Channel1(1, 1, 2)});
  zentil::FailAllocationsAfter(0);
  EXPECT_EQ(ParsePulseData(&d, path_.c_str()), 3);
  EXPECT_EQ(+d.WbcFilled, 77u);
}

TEST_F(PulseFiles, AllocationFailuresAreReportedAndLeaveNothing) {
  const PulseDataLen len = {4, 4, 4, 2, 2, 2};
  for (long after = 0; after < 6; ++after) {
    PulseData d{};
    zentil::FailAllocationsAfter(after);
    EXPECT_EQ(AllocateMemoryForPulseData(&d, &len), 3) << after;
    const PulseData zero{};
    EXPECT_EQ(std::memcmp(&d, &zero, sizeof d), 0) << after;
  }
  zentil::FailAllocationsAfter(-1);
  PulseData d{};
  EXPECT_EQ(AllocateMemoryForPulseData(nullptr, &len), 1);
  EXPECT_EQ(AllocateMemoryForPulseData(&d, nullptr), 1);

  for (long after : {0L, 5L, 13L}) {
    PulseIdenData iden{};
    zentil::FailAllocationsAfter(after);
    EXPECT_EQ(AllocateMemoryForPulseIdenData(&iden), 3) << after;
    const PulseIdenData zero{};
    EXPECT_EQ(std::memcmp(&iden, &zero, sizeof iden), 0) << after;
  }
  zentil::FailAllocationsAfter(-1);
  EXPECT_EQ(AllocateMemoryForPulseIdenData(nullptr), 1);
  ASSERT_EQ(AllocateMemoryForPulseIdenData(&iden_), 0);
  EXPECT_NE(+iden_.Channel[2].Widths, nullptr);
  EXPECT_NE(+iden_.ListSpare, nullptr);
  iden_.Channel[2].Widths[kPulseWorkingEntries - 1] = 1;
  iden_.ListValue3[kPulseWorkingEntries - 1] = 1;
}

TEST_F(PulseFiles, FromAFileThroughAllThreeChannels) {
  Words words = WbcWords1(kWbcPulse);
  words.push_back(Peak(5, 6, 7));
  words.push_back(Channel1(2, 10, 10));
  WriteWords(words);
  ASSERT_EQ(AllocateMemoryForPulseIdenData(&iden_), 0);
  ASSERT_EQ(DoFilePulseIdentify(&iden_, path_.c_str(), nullptr), 0);
  const PulseIdenChannel& wbc = iden_.Channel[0];
  EXPECT_EQ(+wbc.Total, 1u);
  EXPECT_EQ(+wbc.Stored, 1u);
  EXPECT_EQ(+wbc.PeakHeights[0], 1000);
  EXPECT_EQ(+wbc.PeakPositions[0], 7u);
  EXPECT_EQ(+wbc.Widths[0], 10u);
  EXPECT_EQ(+wbc.SlotCounts[0], 1u);
  EXPECT_EQ(+iden_.Channel[1].Total, 0u);
  EXPECT_EQ(+iden_.ListCount, 1u);
  EXPECT_EQ(+iden_.ListValue1[0], 5);
  EXPECT_EQ(+iden_.ListValue3[0], 7);
  EXPECT_EQ(+iden_.ListIndex[0], 0u);
}

TEST_F(PulseFiles, ParameterFileNeedsThreeWholeRecords) {
  WriteWords(WbcWords1(kWbcPulse));
  ASSERT_EQ(AllocateMemoryForPulseIdenData(&iden_), 0);
  PulseIdenPara para[3];
  for (std::uint8_t c = 0; c < 3; ++c) GetPulseIdenParaDefault(&para[c], c);
  para[0].MinWidth = 11;  // rejects the width-10 pulse
  const struct {
    std::size_t bytes;
    std::uint32_t total;
  } cases[] = {{90, 0}, {60, 1}, {89, 1}};
  for (const auto& c : cases) {
    const std::string paraPath = WriteParameters(para, c.bytes);
    ASSERT_EQ(DoFilePulseIdentify(&iden_, path_.c_str(), paraPath.c_str()), 0);
    EXPECT_EQ(+iden_.Channel[0].Total, c.total) << c.bytes << " bytes";
  }
  ASSERT_EQ(DoFilePulseIdentify(&iden_, path_.c_str(), (dir_ + "/none.bin").c_str()), 0);
  EXPECT_EQ(+iden_.Channel[0].Total, 1u);
}

TEST_F(PulseFiles, PeakListWithTimeSlots) {
  Marker(zentil::kPulseLayout2Marker);
  WriteWords({Peak(5, 6, 7), Peak(0, 0, 0x400), Peak(8, 9, 0x403), Peak(10, 11, 1)});
  ASSERT_EQ(AllocateMemoryForPulseIdenData(&iden_), 0);
  ASSERT_EQ(DoFilePulseIdentify(&iden_, path_.c_str(), nullptr), 0);
  EXPECT_EQ(+iden_.ListCount, 3u);
  EXPECT_EQ(+iden_.ListCount2, 3u);
  const std::uint16_t v1[] = {5, 8, 10}, v2[] = {6, 9, 11}, v3[] = {7, 3, 1};
  const std::uint32_t index[] = {0, 2, 3};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(+iden_.ListValue1[k], v1[k]);
    EXPECT_EQ(+iden_.ListValue2[k], v2[k]);
    EXPECT_EQ(+iden_.ListValue3[k], v3[k]);
    EXPECT_EQ(+iden_.ListIndex[k], index[k]);
  }
  EXPECT_EQ(+iden_.ListSlotCounts[0], 1u);
  EXPECT_EQ(+iden_.ListSlotCounts[1], 0u);  // the mark word with value 1 = 0 is not listed
  EXPECT_EQ(+iden_.ListSlotCounts[2], 2u);
  EXPECT_EQ(+iden_.ListLastSlot, 2u);
  // A second run adds to the slot counts; the caller clears the record between runs.
  ASSERT_EQ(DoFilePulseIdentify(&iden_, path_.c_str(), nullptr), 0);
  EXPECT_EQ(+iden_.ListCount, 3u);
  EXPECT_EQ(+iden_.ListSlotCounts[2], 4u);
}

TEST_F(PulseFiles, LayoutZeroGivesNothing) {
  Marker(zentil::kPulseLayout0Marker);
  Marker(zentil::kPulseLayout2Marker);
  WriteWords(WbcWords1(kWbcPulse));
  ASSERT_EQ(AllocateMemoryForPulseIdenData(&iden_), 0);
  iden_.ListCount = 42;
  ASSERT_EQ(DoFilePulseIdentify(&iden_, path_.c_str(), nullptr), 0);
  EXPECT_EQ(+iden_.Channel[0].Total, 0u);
  EXPECT_EQ(+iden_.ListCount, 42u);  // the list is left alone
}

TEST_F(PulseFiles, BatchFailuresAreReported) {
  EXPECT_EQ(DoFilePulseIdentify(nullptr, path_.c_str(), nullptr), 1);
  EXPECT_EQ(DoFilePulseIdentify(&iden_, nullptr, nullptr), 1);
  EXPECT_EQ(DoFilePulseIdentify(&iden_, path_.c_str(), nullptr), 2);  // no file
  Words words = WbcWords1(kWbcPulse);
  words.push_back(Peak(1, 1, 1));
  WriteWords(words);
  // Arrays never allocated: the WBC run and the list cannot be done.
  EXPECT_EQ(DoFilePulseIdentify(&iden_, path_.c_str(), nullptr), 3);
  // No memory for the split channels (the measuring read succeeds first).
  ASSERT_EQ(AllocateMemoryForPulseIdenData(&iden_), 0);
  zentil::FailAllocationsAfter(1);
  EXPECT_EQ(DoFilePulseIdentify(&iden_, path_.c_str(), nullptr), 3);
  zentil::FailAllocationsAfter(-1);

  // DoPulseIdentify reports a failing WBC run even when the PLT run succeeds.
  PulseData d{};
  std::vector<std::uint16_t> samples = kWbcPulse;
  d.Wbc = samples.data();
  d.WbcCapacity = d.WbcFilled = static_cast<std::uint32_t>(samples.size());
  PulseIdenData bare{};
  EXPECT_EQ(DoPulseIdentify(&bare, &d, path_.c_str(), nullptr), 3);
  EXPECT_EQ(DoPulseIdentify(nullptr, &d, path_.c_str(), nullptr), 1);
  EXPECT_EQ(DoPulseIdentify(&iden_, nullptr, path_.c_str(), nullptr), 1);
  // A filled count beyond the capacity is not read past.
  d.WbcFilled = 1000;
  EXPECT_EQ(DoPulseIdentify(&iden_, &d, path_.c_str(), nullptr), 0);
  EXPECT_EQ(+iden_.Channel[0].Total, 1u);
}

}  // namespace
