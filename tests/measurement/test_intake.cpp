// Filling the algorithm input, binding the library, and taking its result in.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/value_format.h"
#include "measurement/result_intake.h"
#include "measurement/zentil_call.h"
#include "program_folder.h"
#include "tools/boardsim/blood_profile.h"

using namespace measurement;

namespace {

const std::string kStandardUnits[20] = {"10^9/L", "10^9/L", "10^9/L", "10^9/L", "%",  "%",      "%",
                                        "10^12/L", "g/L",   "%",      "fL",     "pg", "g/L",    "fL",
                                        "%",      "10^9/L", "fL",     "fL",     "%",  "%"};

// Packed fields are read by value, never bound to a reference.
template <class T>
T V(T v) {
  return v;
}

// Runs a body with the library path and message hook set, restoring both afterwards.
struct LibraryScope {
  std::vector<std::string> messages;
  explicit LibraryScope(const std::string& path) {
    SetZentilLibraryPath(path);
    SetZentilMessageHook([this](const std::string& m) { messages.push_back(m); });
  }
  ~LibraryScope() {
    SetZentilLibraryPath("");
    SetZentilMessageHook(nullptr);
  }
};

}  // namespace

TEST(AlgorithmInputRecord, BloodModeConstantsAndFields) {
  struct Case {
    int mode;
    uint8_t tenths;
    uint8_t modeByte;
    float wbcDil, rbcDil, time;
  } cases[] = {
      {0, 50, 0, 280.0f, 18109.0f, 5.0f},
      {1, 105, 0, 280.0f, 18109.0f, 10.0f},  // peripheral blood: whole-blood constants; 105 -> 10
      {2, 59, 1, 337.72f, 21476.0f, 5.0f},
  };
  uint16_t blank = 3400, sample = 2100;
  for (const auto& c : cases) {
    CountInputs ci;
    ci.bloodMode = c.mode;
    ci.wbcTimeTenths = c.tenths;
    for (int i = 0; i < 20; ++i) ci.calibration[i] = 1.0f + i / 100.0f;
    ci.hgbBlank = &blank;
    ci.hgbSample = &sample;
    HistogramBuffers h;
    h.wbc[3] = 7.0f;
    h.rbc[255] = 9.0f;
    h.plt[127] = 11.0f;
    auto in = std::make_unique<AlgorithmInput>();
    std::memset(in.get(), 0xAB, sizeof *in);  // everything not set must come out zero
    FillAlgorithmInput(*in, ci, h);
    EXPECT_EQ(V(in->BloodMode), c.modeByte) << "mode " << c.mode;
    EXPECT_EQ(V(in->WbcDilution), c.wbcDil);
    EXPECT_EQ(V(in->RbcDilution), c.rbcDil);
    EXPECT_EQ(V(in->WbcCountTime), c.time);
    EXPECT_EQ(V(in->RbcCountTime), c.time);
    EXPECT_EQ(V(in->WbcRateDivisor), 25.6f);
    EXPECT_EQ(V(in->RbcRateDivisor), 10.4f);
    EXPECT_EQ(V(in->HgbReadingCount), 1u);
    EXPECT_EQ(*V(in->HgbBlankReadings), 3400);
    EXPECT_EQ(*V(in->HgbSampleReadings), 2100);
    // Factors by screen position: WBC 0, HGB 8, RBC 7, MCV 10, PLT 15, MPV 16.
    EXPECT_EQ(V(in->WbcFactor), 1.00f);
    EXPECT_EQ(V(in->HgbFactor), 1.08f);
    EXPECT_EQ(V(in->RbcFactor), 1.07f);
    EXPECT_EQ(V(in->McvFactor), 1.10f);
    EXPECT_EQ(V(in->PltFactor), 1.15f);
    EXPECT_EQ(V(in->MpvFactor), 1.16f);
    EXPECT_EQ(V(in->WbcHistogram[3]), 7.0f);
    EXPECT_EQ(V(in->RbcHistogram[255]), 9.0f);
    EXPECT_EQ(V(in->PltHistogram[127]), 11.0f);
    EXPECT_EQ(V(in->PltHistogram[128]), 0.0f);
    EXPECT_EQ(V(in->UserPltUpper), 0);
    EXPECT_EQ(V(in->AuxBufferLength), 0);
    EXPECT_EQ(V(in->HgbReadingFault), 0);
  }
  // 337.72 in single precision is 43A8DC29.
  uint32_t bits;
  const float predil = 337.72f;
  std::memcpy(&bits, &predil, 4);
  EXPECT_EQ(bits, 0x43A8DC29u);
}

TEST(ResultIntake, ValuesMarkersAndMarks) {
  auto r = std::make_unique<AlgorithmResult>();
  std::memset(r.get(), 0, sizeof *r);
  r->WBC = 6.5f;
  r->LymCount = 2.0f;
  r->MidCount = 0.5f;
  r->GraCount = 4.0f;
  r->LymPercent = 30.0f;
  r->MidPercent = 8.0f;
  r->GraPercent = 62.0f;
  r->RBC = 4.5f;
  r->HGB = 140.0f;
  r->HCT = 42.0f;
  r->MCV = 90.0f;
  r->MCH = 31.0f;
  r->MCHC = 333.0f;
  r->RDWSD = 45.0f;
  r->RDWCV = 13.0f;
  r->PLT = 250.0f;
  r->MPV = 9.0f;
  r->PCT = 0.22f;
  r->PDW = 15.0f;
  r->PLCR = 30.0f;
  r->WbcLines[0] = 8;  // the fixed left end; the markers come from lines 1 to 3
  r->WbcLines[1] = 59;
  r->WbcLines[2] = 79;
  r->WbcLines[3] = 255;
  r->RbcUpper = 255;
  r->PltUpper = 127;
  r->OverLimit[3] = 1;  // HCT over the measuring limit, though a number
  UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  SampleValues s = TakeResult(*r, ZentilStatus::Computed, kStandardUnits);
  EXPECT_TRUE(s.computed);
  EXPECT_FLOAT_EQ(s.values[0], 6.5f);
  EXPECT_FLOAT_EQ(s.values[13], 45.0f);  // RDW-SD before RDW-CV on the screen
  EXPECT_FLOAT_EQ(s.values[14], 13.0f);
  EXPECT_FLOAT_EQ(s.values[17], 15.0f);  // PDW before PCT on the screen
  EXPECT_FLOAT_EQ(s.values[18], 0.22f);
  EXPECT_EQ(s.marks[9], 1);
  EXPECT_TRUE(s.incomplete);
  EXPECT_FLOAT_EQ(s.markers[0], 15.0f);
  EXPECT_FLOAT_EQ(s.markers[1], 93.75f);
  EXPECT_FLOAT_EQ(s.markers[2], 125.0f);
  EXPECT_FLOAT_EQ(s.markers[3], 400.0f);
  EXPECT_FLOAT_EQ(s.markers[5], 250.0f);
  EXPECT_FLOAT_EQ(s.markers[7], 30.0f);
  EXPECT_FLOAT_EQ(s.savedMarkers[2], 2.0f);
  EXPECT_FLOAT_EQ(s.wbcMarkers[1], 125.0f);
}

TEST(ResultIntake, ManualDifferentialNeedsWbcAboveTwoTenths) {
  struct Case {
    float wbc;
    bool lymInvalid;
    bool allowed;
  } cases[] = {{0.2f, true, false}, {0.21f, true, true}, {5.0f, false, false}};
  for (const auto& c : cases) {
    auto r = std::make_unique<AlgorithmResult>();
    std::memset(r.get(), 0, sizeof *r);
    r->WBC = c.wbc;
    if (c.lymInvalid) r->LymCount = kInvalidParamValue;
    SampleValues s = TakeResult(*r, ZentilStatus::Computed, nullptr);
    EXPECT_EQ(s.manualDiffAllowed, c.allowed) << c.wbc;
    EXPECT_EQ(s.marks[1], c.lymInvalid ? 1 : 0);
  }
}

TEST(ResultIntake, UncomputedResultIsInvalidEverywhere) {
  auto r = std::make_unique<AlgorithmResult>();
  std::memset(r.get(), 0, sizeof *r);
  for (ZentilStatus st : {ZentilStatus::LibraryMissing, ZentilStatus::EntryMissing}) {
    SampleValues s = TakeResult(*r, st, kStandardUnits);
    EXPECT_FALSE(s.computed);
    EXPECT_TRUE(s.incomplete);
    EXPECT_FALSE(s.manualDiffAllowed);
    for (int i = 0; i < 20; ++i) {
      EXPECT_EQ(s.values[i], kInvalidParamValue) << i;  // zeros are never taken for values
      EXPECT_EQ(s.marks[i], 1) << i;
    }
  }
}

TEST(LibraryBinding, MissingLibraryReportsAndComputesNothing) {
  MeasurementFolder folder(false);
  LibraryScope scope(folder.file("libZentil.so"));  // no such file
  HistogramBuffers h;
  CountValues v = ComputeCountValues(CountInputs{}, h);
  EXPECT_EQ(v.status, ZentilStatus::LibraryMissing);
  EXPECT_EQ(v.wbc, kInvalidParamValue);
  EXPECT_EQ(v.plt, kInvalidParamValue);
  ASSERT_EQ(scope.messages.size(), 1u);
  EXPECT_EQ(scope.messages[0], "Load Zentil.dll failed!");
}

TEST(LibraryBinding, LibraryWithoutEntryPointIsSilent) {
  LibraryScope scope("libm.so.6");  // loads, but has no AlgorithmMain
  auto in = std::make_unique<AlgorithmInput>();
  auto out = std::make_unique<AlgorithmResult>();
  std::memset(out.get(), 0x55, sizeof *out);
  EXPECT_EQ(CallAlgorithmMain(*out, *in), ZentilStatus::EntryMissing);
  EXPECT_TRUE(scope.messages.empty());
  EXPECT_EQ(V(out->WBC), 0.0f);  // zero-filled, and the status says not to use it
}

TEST(LibraryBinding, DefaultPathIsTheProgramFolder) {
  MeasurementFolder folder(false);
  EXPECT_EQ(ZentilLibraryPath(), folder.folder() + "libZentil.so");
}

TEST(LibraryBinding, RealLibraryComputesANormalCount) {
  LibraryScope scope(BuiltZentilPath());
  const boardsim::BloodProfile& p = boardsim::ProfileData(boardsim::Profile::Normal);
  boardsim::CountData d = boardsim::GenerateCount(p, 5.0f, false, 1, false);
  HistogramBuffers h;
  for (size_t i = 0; i < kWbcChannels; ++i) h.wbc[i] = d.wbc[i];
  for (size_t i = 0; i < kRbcChannels; ++i) h.rbc[i] = d.rbc[i];
  for (size_t i = 0; i < kPltChannels; ++i) h.plt[i] = d.plt[i];
  CountInputs ci;
  ci.hgbBlank = &d.hgbBlank;
  ci.hgbSample = &d.hgbSample;
  CountValues v = ComputeCountValues(ci, h);
  ASSERT_EQ(v.status, ZentilStatus::Computed);
  EXPECT_TRUE(scope.messages.empty());
  EXPECT_NEAR(v.wbc, p.wbc, p.wbc * 0.15);
  EXPECT_NEAR(v.rbc, p.rbc, p.rbc * 0.15);
  EXPECT_NEAR(v.plt, p.plt, p.plt * 0.2);
  std::string w, r, pl;
  FormatCountValues(CountValues{5.004f, 4.5f, 249.5f, ZentilStatus::Computed}, &w, &r, &pl);
  EXPECT_EQ(w, "5.00");
  EXPECT_EQ(r, "4.50");
  EXPECT_EQ(pl, "250");
}
