// Pulse identification: thresholds, the per-sample state machine with its acceptance rules and
// time slots, the dumps, the simple peak finder, and the result arrays.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "algorithm/RawdataIo.h"
#include "algorithm/Zentil.h"

namespace {

constexpr std::uint16_t kMark = 0x1000;

// A result record over vectors of the given capacities.
struct Arrays {
  std::vector<std::uint16_t> heights;
  std::vector<std::uint32_t> positions, widths;
  PulseResult r;
  explicit Arrays(std::uint32_t capacity = 16, std::uint32_t positionCapacity = 16)
      : heights(capacity + 4, 0xBEEF), positions(positionCapacity + 4, 0xDEADBEEF),
        widths(positionCapacity + 4, 0xDEADBEEF) {
    std::memset(&r, 0, sizeof r);
    r.PeakHeights = heights.data();
    r.PeakCapacity = capacity;
    r.PeakPositions = positions.data();
    r.PositionCapacity = positionCapacity;
    r.Widths = widths.data();
  }
  std::uint8_t Identify(const std::vector<std::uint16_t>& s, const PulseIdenPara* p, std::uint8_t ch) {
    return CbcPulseIdentify(&r, s.data(), static_cast<std::uint32_t>(s.size()), p, ch);
  }
};

PulseIdenPara Defaults(std::uint8_t channel) {
  PulseIdenPara p;
  EXPECT_EQ(GetPulseIdenParaDefault(&p, channel), 0);
  return p;
}

// The single WBC pulse: start 230 at position 2, peak 1000 at 7, end 300 at 11.
const std::vector<std::uint16_t> kWbcPulse = {0, 230, 240, 300, 600, 900, 1000,
                                              900, 700, 500, 300, 200, 100};

TEST(PulseThresholds, DefaultsPerChannel) {
  const std::uint16_t expect[3][15] = {
      {220, 240, 4095, 8, 100, 2, 4, 10, 10, 3800, 16, 90, 12, 40, 0},
      {50, 60, 4095, 14, 100, 5, 6, 4, 4, 3800, 12, 90, 12, 40, 80},
      {200, 240, 4000, 14, 100, 20, 24, 16, 16, 3800, 12, 90, 12, 40, 320},
  };
  for (std::uint8_t c = 0; c < 3; ++c) {
    PulseIdenPara p = Defaults(c);
    EXPECT_EQ(std::memcmp(&p, expect[c], sizeof p), 0) << int{c};
  }
  PulseIdenPara other;
  std::memset(&other, 0x55, sizeof other);
  EXPECT_EQ(GetPulseIdenParaDefault(&other, 3), 0);
  const std::uint16_t zeros[15] = {};
  EXPECT_EQ(std::memcmp(&other, zeros, sizeof other), 0);
  EXPECT_EQ(GetPulseIdenParaDefault(nullptr, 0), 1);
}

TEST(PulseIdentify, TheWbcExamplePulse) {
  Arrays a;
  ASSERT_EQ(a.Identify(kWbcPulse, nullptr, 0), 0);
  EXPECT_EQ(+a.r.Total, 1u);
  EXPECT_EQ(+a.r.Stored, 1u);
  EXPECT_EQ(a.heights[0], 1000);
  EXPECT_EQ(a.positions[0], 7u);
  EXPECT_EQ(a.widths[0], 10u);
  EXPECT_EQ(+a.r.SlotCounts[0], 1u);
  EXPECT_EQ(a.heights[1], 0xBEEF);
}

TEST(PulseIdentify, AcceptanceThresholds) {
  const struct {
    const char* what;
    int field;  // index into the 15 thresholds
    std::uint16_t value;
    std::uint32_t total;
  } cases[] = {
      {"defaults", 0, 220, 1},
      {"MinWidth 10 still accepts width 10", 3, 10, 1},
      {"MinWidth 11 rejects width 10", 3, 11, 0},
      {"MaxWidth 9 rejects", 4, 9, 0},
      {"MinPeak above the peak", 1, 1001, 0},
      {"MaxPeak below the peak", 2, 999, 0},
      {"rise slope 154 = 770/5 accepts", 7, 154, 1},
      {"rise slope 155 rejects", 7, 155, 0},
      {"fall slope 175 = 700/4 accepts", 8, 175, 1},
      {"fall slope 176 rejects", 8, 176, 0},
      {"start above 22 percent of the peak", 11, 22, 0},
      {"start at 23 percent of the peak", 11, 23, 1},
  };
  for (const auto& c : cases) {
    PulseIdenPara p = Defaults(0);
    reinterpret_cast<std::uint16_t*>(&p)[c.field] = c.value;
    Arrays a;
    ASSERT_EQ(a.Identify(kWbcPulse, &p, 0), 0) << c.what;
    EXPECT_EQ(+a.r.Total, c.total) << c.what;
  }
}

// A WBC pulse with `n` consecutive samples at 3900.
std::vector<std::uint16_t> FlatTop(int n) {
  std::vector<std::uint16_t> s = {0, 230, 240, 300, 1000, 2000, 3000};
  s.insert(s.end(), static_cast<std::size_t>(n), 3900);
  for (std::uint16_t v : {3000, 2000, 1000, 300, 100}) s.push_back(v);
  return s;
}

TEST(PulseIdentify, TopWidthLimit) {
  for (const auto& [n, total] : {std::pair{17, 1u}, std::pair{18, 0u}}) {
    Arrays a;
    ASSERT_EQ(a.Identify(FlatTop(n), nullptr, 0), 0);
    EXPECT_EQ(+a.r.Total, total) << n << " samples at the top";
  }
}

TEST(PulseIdentify, TimeSlots) {
  PulseIdenPara p = Defaults(0);
  p.MinWidth = 1;
  // Marks on samples 0 and 5; the pulse completes at position 8.
  std::vector<std::uint16_t> s = {kMark, 230, 240, 300, 600, 1000 | kMark, 600, 300, 200, 100};
  Arrays a;
  ASSERT_EQ(a.Identify(s, &p, 0), 0);
  EXPECT_EQ(+a.r.Total, 1u);
  EXPECT_EQ(+a.r.LastSlot, 2u);
  EXPECT_EQ(+a.r.SlotCounts[2], 1u);
  EXPECT_EQ(+a.r.SlotCounts[0], 0u);

  // 300 marks before the pulse: counted in Total but in no slot.
  std::vector<std::uint16_t> late(300, kMark);
  late.insert(late.end(), kWbcPulse.begin(), kWbcPulse.end());
  Arrays b;
  ASSERT_EQ(b.Identify(late, nullptr, 0), 0);
  EXPECT_EQ(+b.r.Total, 1u);
  EXPECT_EQ(+b.r.LastSlot, 0u);
  for (int k = 0; k < kPulseSlots; ++k) ASSERT_EQ(+b.r.SlotCounts[k], 0u);
  // 299 marks: the last slot.
  std::vector<std::uint16_t> edge(299, kMark);
  edge.insert(edge.end(), kWbcPulse.begin(), kWbcPulse.end());
  Arrays c;
  ASSERT_EQ(c.Identify(edge, nullptr, 0), 0);
  EXPECT_EQ(+c.r.LastSlot, 299u);
  EXPECT_EQ(+c.r.SlotCounts[299], 1u);
}

TEST(PulseIdentify, FullArraysStopStoringButTotalsGoOn) {
  std::vector<std::uint16_t> three;
  for (int k = 0; k < 3; ++k) three.insert(three.end(), kWbcPulse.begin(), kWbcPulse.end());
  Arrays a(/*capacity=*/2, /*positionCapacity=*/1);
  ASSERT_EQ(a.Identify(three, nullptr, 0), 0);
  EXPECT_EQ(+a.r.Total, 3u);
  EXPECT_EQ(+a.r.Stored, 2u);
  EXPECT_EQ(a.heights[2], 0xBEEF);
  EXPECT_EQ(a.positions[1], 0xDEADBEEFu);
  EXPECT_EQ(a.widths[1], 0xDEADBEEFu);
  EXPECT_EQ(a.positions[0], 7u);
  EXPECT_EQ(+a.r.SlotCounts[0], 3u);

  // Position and width arrays are optional.
  Arrays b;
  b.r.PeakPositions = nullptr;
  b.r.Widths = nullptr;
  ASSERT_EQ(b.Identify(three, nullptr, 0), 0);
  EXPECT_EQ(+b.r.Stored, 3u);
}

TEST(PulseIdentify, ResultCodesAndReset) {
  Arrays a;
  a.r.Total = 9;
  a.r.SlotCounts[5] = 9;
  EXPECT_EQ(CbcPulseIdentify(nullptr, kWbcPulse.data(), 13, nullptr, 0), 1);
  EXPECT_EQ(CbcPulseIdentify(&a.r, nullptr, 0, nullptr, 0), 0);
  EXPECT_EQ(+a.r.Total, 0u);
  EXPECT_EQ(+a.r.SlotCounts[5], 0u);
  EXPECT_EQ(CbcPulseIdentify(&a.r, nullptr, 13, nullptr, 0), 2);
  a.r.PeakHeights = nullptr;
  EXPECT_EQ(CbcPulseIdentify(&a.r, kWbcPulse.data(), 13, nullptr, 0), 3);
  // Fewer than four samples: nothing to step through.
  Arrays b;
  EXPECT_EQ(CbcPulseIdentify(&b.r, kWbcPulse.data(), 2, nullptr, 0), 0);
  EXPECT_EQ(+b.r.Total, 0u);
  // A pulse still open at the end is dropped.
  EXPECT_EQ(CbcPulseIdentify(&b.r, kWbcPulse.data(), 10, nullptr, 0), 0);
  EXPECT_EQ(+b.r.Total, 0u);
}

TEST(PulseIdentify, HugeThresholdsDoNotOverflow) {
  // Rise slope × distance would not fit 32 bits: the pulse is rejected, not wrapped into passing.
  PulseIdenPara p = Defaults(0);
  p.MaxWidth = 65535;
  p.MinRiseSlope = 65535;
  std::vector<std::uint16_t> s = {0, 230, 240, 300};
  for (int k = 0; k < 40000; ++k) s.push_back(static_cast<std::uint16_t>(300 + k / 20));
  for (std::uint16_t v : {4000, 300, 100}) s.push_back(v);
  Arrays a;
  ASSERT_EQ(a.Identify(s, &p, 0), 0);
  EXPECT_EQ(+a.r.Total, 0u);
}

// ---- Dumps -----------------------------------------------------------------------------------

class PulseDumps : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/zentil_pulse_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    ASSERT_NE(getcwd(cwd_, sizeof cwd_), nullptr);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    const char* old = std::getenv("QUORVEX_DRIVE_D");
    hadDrive_ = old != nullptr;
    if (hadDrive_) oldDrive_ = old;
    setenv("QUORVEX_DRIVE_D", (dir_ + "/drive d").c_str(), 1);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(cwd_), 0);
    if (hadDrive_)
      setenv("QUORVEX_DRIVE_D", oldDrive_.c_str(), 1);
    else
      unsetenv("QUORVEX_DRIVE_D");
    ASSERT_EQ(std::system(("rm -rf '" + dir_ + "'").c_str()), 0);
  }
  void SwitchOn() { std::ofstream("SAVE_PULSE_INFO_1.txt") << "1"; }
  std::string Slurp(const std::string& name) {
    std::ifstream f(dir_ + "/drive d/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  }

  std::string dir_;
  char cwd_[PATH_MAX];
  bool hadDrive_ = false;
  std::string oldDrive_;
};

const char kCsvHeader[] =
    "no,peaky,peakx,starty,startx,endy,endx,fpeaky,fpeakx,bpeaky,bpeakx,valey,valex,"
    "width,mean_rise_rate,top_width,peak_num,vale_flag\n";

TEST_F(PulseDumps, RowsForEveryCompletedPulseAndPositionsForStoredOnes) {
  SwitchOn();
  Arrays a;
  ASSERT_EQ(a.Identify(kWbcPulse, nullptr, 0), 0);
  EXPECT_EQ(Slurp("pulse_info_wbc.csv"),
            std::string(kCsvHeader) + "1,1000,7,230,2,300,11,1000,7,0,0,0,0,10,0.00,0,1,0,\n");
  const std::string pos = Slurp("pulse_pos_wbc.dat");
  ASSERT_EQ(pos.size(), 8u);
  EXPECT_EQ(pos, std::string("\x02\0\0\0\x0b\0\0\0", 8));

  // Rejected by MinWidth 11: in the dump, not in Total, no position.
  PulseIdenPara p = Defaults(0);
  p.MinWidth = 11;
  ASSERT_EQ(a.Identify(kWbcPulse, &p, 0), 0);
  EXPECT_EQ(+a.r.Total, 0u);
  EXPECT_NE(Slurp("pulse_info_wbc.csv").find("\n1,1000,7,"), std::string::npos);
  EXPECT_EQ(Slurp("pulse_pos_wbc.dat"), "");
}

TEST_F(PulseDumps, ValleysAndTheirDepth) {
  SwitchOn();
  // RBC: start 55, peak 100, dip to 82 (60 % of the height above the start), a later top 95.
  Arrays a;
  ASSERT_EQ(a.Identify({0, 55, 62, 75, 100, 82, 90, 95, 85, 40, 30}, nullptr, 1), 0);
  EXPECT_EQ(Slurp("pulse_info_rbc.csv"),
            std::string(kCsvHeader) + "1,100,5,55,2,85,9,100,5,95,8,82,6,8,0.00,0,2,1,\n");
  // Peak 70 is below MinValleyPeak 80: the same kind of dip ends the pulse.
  ASSERT_EQ(a.Identify({0, 55, 62, 68, 70, 64, 66, 68, 60, 40, 30}, nullptr, 1), 0);
  EXPECT_EQ(Slurp("pulse_info_rbc.csv"),
            std::string(kCsvHeader) + "1,70,5,55,2,64,6,70,5,0,0,0,0,5,0.00,0,1,0,\n");
}

TEST_F(PulseDumps, NothingWithoutTheSwitchFileOrForOtherChannels) {
  Arrays a;
  ASSERT_EQ(a.Identify(kWbcPulse, nullptr, 0), 0);
  EXPECT_EQ(access((dir_ + "/drive d/pulse_info_wbc.csv").c_str(), F_OK), -1);
  SwitchOn();
  ASSERT_EQ(a.Identify(kWbcPulse, nullptr, 7), 0);
  EXPECT_EQ(access((dir_ + "/drive d").c_str(), F_OK), -1);
  // PLT gets its own names.
  ASSERT_EQ(a.Identify(kWbcPulse, nullptr, 2), 0);
  EXPECT_EQ(Slurp("pulse_info_plt.csv").rfind(kCsvHeader, 0), 0u);
}

TEST(PulseDumpFolder, FollowsTheDriveMapping) {
  const char* keep = std::getenv("QUORVEX_DRIVE_D");
  const std::string kept = keep ? keep : "";
  unsetenv("QUORVEX_DRIVE_D");
  const char* root = std::getenv("QUORVEX_DRIVE_ROOT");
  const std::string keptRoot = root ? root : "";
  setenv("QUORVEX_DRIVE_ROOT", "/srv/drives", 1);
  EXPECT_EQ(zentil::DriveFolder('D'), "/srv/drives/drive_d/");
  setenv("QUORVEX_DRIVE_D", "/data", 1);
  EXPECT_EQ(zentil::DriveFolder('d'), "/data/");
  if (keep) setenv("QUORVEX_DRIVE_D", kept.c_str(), 1); else unsetenv("QUORVEX_DRIVE_D");
  if (root) setenv("QUORVEX_DRIVE_ROOT", keptRoot.c_str(), 1); else unsetenv("QUORVEX_DRIVE_ROOT");
}

// ---- Simple peak finder ------------------------------------------------------------------------

// Baseline samples (10) every `gap` samples, 50 between them with one maximum of 500.
std::vector<std::int16_t> Waveform(int gap, int pairs) {
  std::vector<std::int16_t> s;
  for (int p = 0; p < pairs; ++p) {
    s.push_back(10);
    for (int k = 1; k < gap; ++k) s.push_back(k == gap / 2 ? 500 : 50);
  }
  s.push_back(10);
  return s;
}

std::uint8_t FindPeaks(Arrays& a, const std::vector<std::int16_t>& s, std::uint8_t channel) {
  return CbcFindPeak(&a.r, s.data(), static_cast<std::int32_t>(s.size()), nullptr, channel);
}

TEST(PulseFindPeak, OnePeakPerBaselineGapInRange) {
  const struct {
    std::uint8_t channel;
    int gap;
    std::uint32_t peaks;
  } cases[] = {{0, 20, 3}, {0, 60, 0}, {0, 16, 3}, {0, 15, 0}, {0, 50, 3}, {0, 51, 0},
               {1, 100, 3}, {1, 101, 0}, {2, 4, 3}, {2, 3, 0}, {9, 300, 3}};
  for (const auto& c : cases) {
    Arrays a;
    ASSERT_EQ(FindPeaks(a, Waveform(c.gap, 3), c.channel), 0);
    EXPECT_EQ(+a.r.Total, c.peaks) << int{c.channel} << " gap " << c.gap;
    EXPECT_EQ(+a.r.Stored, c.peaks);
    if (c.peaks > 0 && c.gap >= 4) {
      EXPECT_EQ(a.heights[1], 500);
      EXPECT_EQ(a.positions[1], static_cast<std::uint32_t>(c.gap + c.gap / 2));
      EXPECT_EQ(a.widths[1], static_cast<std::uint32_t>(c.gap));
    }
  }
}

TEST(PulseFindPeak, PeaksAtOrAboveTheCeilingAndTies) {
  std::vector<std::int16_t> s = {10, 50, 4000, 50, 10, 50, 70, 70, 10};
  Arrays a;
  ASSERT_EQ(FindPeaks(a, s, 1), 0);
  ASSERT_EQ(+a.r.Total, 1u);
  EXPECT_EQ(a.heights[0], 70);
  EXPECT_EQ(a.positions[0], 6u);  // the first of equal maxima
}

TEST(PulseFindPeak, NeverWritesPastTheCapacities) {
  Arrays a(/*capacity=*/2, /*positionCapacity=*/1);
  ASSERT_EQ(FindPeaks(a, Waveform(20, 5), 0), 0);
  EXPECT_EQ(+a.r.Total, 5u);
  EXPECT_EQ(+a.r.Stored, 2u);
  EXPECT_EQ(a.heights[2], 0xBEEF);
  EXPECT_EQ(a.positions[1], 0xDEADBEEFu);
  EXPECT_EQ(a.widths[1], 0xDEADBEEFu);
  Arrays none(0, 0);
  ASSERT_EQ(FindPeaks(none, Waveform(20, 5), 0), 0);
  EXPECT_EQ(+none.r.Total, 5u);
  EXPECT_EQ(+none.r.Stored, 0u);
  EXPECT_EQ(none.heights[0], 0xBEEF);
}

TEST(PulseFindPeak, ResultCodes) {
  Arrays a;
  const std::vector<std::int16_t> s = Waveform(20, 2);
  EXPECT_EQ(CbcFindPeak(nullptr, s.data(), 10, nullptr, 0), 1);
  EXPECT_EQ(CbcFindPeak(&a.r, nullptr, 10, nullptr, 0), 2);
  EXPECT_EQ(CbcFindPeak(&a.r, s.data(), -5, nullptr, 0), 0);
  EXPECT_EQ(+a.r.Total, 0u);
  a.r.PeakHeights = nullptr;
  EXPECT_EQ(CbcFindPeak(&a.r, s.data(), 10, nullptr, 0), 3);
}

// ---- Result arrays and version ------------------------------------------------------------------

TEST(PulseMemory, AllocateSetsCapacitiesThatMatchTheArrays) {
  const struct {
    std::uint8_t code;
    std::uint32_t entries;
  } cases[] = {{0, 500000}, {2, 500000}, {3, 1500000}};
  for (const auto& c : cases) {
    PulseResult r{};
    ASSERT_EQ(AllocateMemoryForPulse(&r, c.code), 0);
    EXPECT_EQ(+r.PeakCapacity, c.entries);
    EXPECT_EQ(+r.PositionCapacity, c.entries);
    EXPECT_EQ(+r.WidthCapacity, c.entries);
    // Every entry the capacities allow can be written.
    r.PeakHeights[c.entries - 1] = 1;
    r.PeakPositions[c.entries - 1] = 1;
    r.Widths[c.entries - 1] = 1;
    DeallocateMemoryForPulse(&r);
    EXPECT_EQ(+r.PeakHeights, nullptr);
    EXPECT_EQ(+r.Widths, nullptr);
    EXPECT_EQ(+r.PositionCapacity, 0u);
  }
  PulseResult r{};
  EXPECT_EQ(AllocateMemoryForPulse(&r, 4), 1);
  EXPECT_EQ(+r.PeakHeights, nullptr);
  EXPECT_EQ(AllocateMemoryForPulse(nullptr, 0), 1);
  DeallocateMemoryForPulse(nullptr);
  DeallocateMemoryForPulse(&r);
}

TEST(PulseMemory, AllocationFailureIsReportedAndLeavesNothing) {
  for (long after : {0L, 1L, 2L}) {
    PulseResult r{};
    zentil::FailAllocationsAfter(after);
    EXPECT_EQ(AllocateMemoryForPulse(&r, 0), 3) << after;
    zentil::FailAllocationsAfter(-1);
    EXPECT_EQ(+r.PeakHeights, nullptr);
    EXPECT_EQ(+r.PeakPositions, nullptr);
    EXPECT_EQ(+r.Widths, nullptr);
    EXPECT_EQ(+r.PeakCapacity, 0u);
    // The identification then reports the missing array.
    EXPECT_EQ(CbcPulseIdentify(&r, kWbcPulse.data(), 13, nullptr, 0), 3);
  }
}

TEST(PulseVersion, NeedsThirteenBytes) {
  char buffer[16];
  std::memset(buffer, 'x', sizeof buffer);
  GetPulseIdentifyVersion(buffer, 12);
  EXPECT_EQ(buffer[0], 'x');
  GetPulseIdentifyVersion(buffer, 13);
  EXPECT_STREQ(buffer, "1.0.3.130115");
  EXPECT_EQ(buffer[13], 'x');
  GetPulseIdentifyVersion(nullptr, 20);
}

}  // namespace
