// The Westgard rules at their boundaries, worked out against target 8 and SD 0.25 (values that
// are exact in binary, so "exactly 3 SD" really is exact).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qc/westgard.h"

namespace {

using qc::Breaks2Out2SD;
using qc::Breaks5SideSDTo2SD;
using qc::Breaks7Side;
using qc::BreaksOut3SD;

constexpr double T = 8.0, SD = 0.25;

struct Case {
  const char* what;
  std::vector<double> runs;  // oldest first
  bool broken;
};

TEST(WestgardOut3SD, OnlyTheNewestRunBeyondThreeSdBreaksIt) {
  const Case cases[] = {
      {"exactly 3 SD above", {8.75}, false},
      {"just beyond 3 SD above", {8.76}, true},
      {"exactly 3 SD below", {7.25}, false},
      {"just beyond 3 SD below", {7.24}, true},
      {"an older run beyond, newest within", {9.5, 8.0}, false},
      {"no run", {}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(BreaksOut3SD(c.runs, T, SD), c.broken) << c.what;
}

TEST(Westgard2Out2SD, BothOfTheTwoNewestBeyondTwoSdOnEitherSide) {
  const Case cases[] = {
      {"opposite sides", {8.6, 7.4}, true},
      {"same side", {8.51, 8.51}, true},
      {"one exactly at 2 SD", {8.5, 8.6}, false},
      {"the older beyond, the newest within", {8.6, 8.4}, false},
      {"one run only", {8.9}, false},
      {"beyond twice, then within", {8.6, 8.6, 8.0}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(Breaks2Out2SD(c.runs, T, SD), c.broken) << c.what;
}

TEST(Westgard5Side, FiveNewestOnOneSideBetweenOneAndTwoSd) {
  const Case cases[] = {
      {"five at exactly 2 SD", {8.5, 8.5, 8.5, 8.5, 8.5}, true},
      {"five below between 1 and 2 SD", {7.7, 7.6, 7.5, 7.7, 7.74}, true},
      {"four high, one low", {8.3, 8.3, 8.3, 8.3, 7.7}, false},
      {"one at exactly 1 SD", {8.3, 8.3, 8.25, 8.3, 8.3}, false},
      {"one beyond 2 SD", {8.3, 8.3, 8.51, 8.3, 8.3}, false},
      {"four runs only", {8.3, 8.3, 8.3, 8.3}, false},
      {"an older run breaks the side, the newest five hold", {7.0, 8.3, 8.3, 8.3, 8.3, 8.3}, true},
  };
  for (const Case& c : cases) EXPECT_EQ(Breaks5SideSDTo2SD(c.runs, T, SD), c.broken) << c.what;
}

TEST(Westgard7Side, SevenNewestStrictlyOnOneSide) {
  const Case cases[] = {
      {"seven above", {8.01, 8.1, 8.2, 8.3, 8.9, 8.05, 8.02}, true},
      {"seven below", {7.9, 7.99, 7.0, 7.5, 7.8, 7.7, 7.6}, true},
      {"one exactly on target", {8.1, 8.1, 8.1, 8.0, 8.1, 8.1, 8.1}, false},
      {"one on the other side", {8.1, 8.1, 8.1, 7.9, 8.1, 8.1, 8.1}, false},
      {"six runs", {8.1, 8.1, 8.1, 8.1, 8.1, 8.1}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(Breaks7Side(c.runs, T, SD), c.broken) << c.what;
}

TEST(WestgardAll, AZeroTargetOrSdIsNeverJudged) {
  const std::vector<double> far = {100, 100, 100, 100, 100, 100, 100};
  for (auto check : {BreaksOut3SD, Breaks2Out2SD, Breaks5SideSDTo2SD, Breaks7Side}) {
    EXPECT_FALSE(check(far, 0.0, SD));
    EXPECT_FALSE(check(far, T, 0.0));
  }
}

// Targets and SDs of two decimals that binary floats cannot hold (0.1, 0.07, 12.3 ...), the
// values stored in single precision as the program keeps them. The boundary x = T + k SD is
// worked out in hundredths (integers), so it is exact: exactly k SD is not beyond, one hundredth
// more is.
TEST(WestgardBoundaries, ExactlyKSdIsNotBeyondForDecimalSds) {
  auto f = [](long hundredths) { return static_cast<double>(static_cast<float>(hundredths / 100.0)); };
  int judged = 0;
  for (long t = 100; t <= 30000; t += 367) {
    for (long sd = 1; sd <= 1500; sd += 13) {
      const double T1 = f(t), SD1 = f(sd);
      for (int side : {1, -1}) {
        const long at3 = t + side * 3 * sd, at2 = t + side * 2 * sd, at1 = t + side * sd;
        if (at3 - 1 <= 0) continue;  // stored values are never negative
        const std::string where = std::to_string(t) + " " + std::to_string(sd) + " side " + std::to_string(side);
        ASSERT_FALSE(BreaksOut3SD({f(at3)}, T1, SD1)) << where;
        ASSERT_TRUE(BreaksOut3SD({f(at3 + side)}, T1, SD1)) << where;
        ASSERT_FALSE(Breaks2Out2SD({f(at2), f(at2)}, T1, SD1)) << where;
        ASSERT_TRUE(Breaks2Out2SD({f(at2 + side), f(at2 + side)}, T1, SD1)) << where;
        // Exactly 2 SD counts as between 1 and 2 SD; exactly 1 SD does not.
        ASSERT_TRUE(Breaks5SideSDTo2SD({f(at2), f(at2), f(at2), f(at2), f(at2)}, T1, SD1)) << where;
        ASSERT_FALSE(Breaks5SideSDTo2SD({f(at2), f(at2), f(at1), f(at2), f(at2)}, T1, SD1)) << where;
        ++judged;
      }
    }
  }
  EXPECT_GT(judged, 0);
  // The case seen at a laboratory: 7.3 against 7.0 with SD 0.1 is exactly 3 SD.
  EXPECT_FALSE(BreaksOut3SD({static_cast<float>(7.3)}, static_cast<float>(7.0), static_cast<float>(0.1)));
  EXPECT_FALSE(Breaks2Out2SD({7.2, 7.2}, 7.0, 0.1));  // as the run table shows them, in double
  EXPECT_TRUE(Breaks2Out2SD({7.21, 6.79}, 7.0, 0.1));
}

qc::JudgeSettings AllRulesOnWbc() {
  qc::JudgeSettings s;
  s.rules = {1, 1, 1, 1};
  s.chosen.fill(1);
  s.targets[0] = T;
  s.sds[0] = SD;
  return s;
}

std::array<double, 20> WbcRun(double wbc) {
  std::array<double, 20> r{};
  r.fill(0.0);
  r[0] = wbc;
  return r;
}

TEST(WestgardJudge, InvalidAndUnchosenRunsAreLeftOut) {
  qc::JudgeSettings s = AllRulesOnWbc();
  // 8.6, invalid (-1), 7.4: the invalid run between does not reset the pair of 2 SD runs.
  std::vector<std::array<double, 20>> runs = {WbcRun(8.6), WbcRun(-1.0), WbcRun(7.4)};
  std::vector<qc::RuleBreak> b = qc::JudgeNewestRun(s, runs);
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(b[0], (qc::RuleBreak{1, 0}));
  // A stored run of a time the parameter was not under QC (-2) is no run at the target - 8
  // away: six runs above and one -2 do not make seven on one side.
  runs = {WbcRun(8.1), WbcRun(8.1), WbcRun(8.1), WbcRun(-2.0), WbcRun(8.1), WbcRun(8.1), WbcRun(8.1)};
  EXPECT_TRUE(qc::JudgeNewestRun(s, runs).empty());
  // A new run with an invalid value breaks nothing, whatever came before.
  runs = {WbcRun(8.6), WbcRun(-1.0)};
  EXPECT_TRUE(qc::JudgeNewestRun(s, runs).empty());
}

TEST(WestgardJudge, RulesComeInOrderAndOnlyWhenSwitchedOnAndChosen) {
  qc::JudgeSettings s = AllRulesOnWbc();
  s.targets[7] = 4.5;  // RBC
  s.sds[7] = 0.1;
  std::array<double, 20> a = WbcRun(8.6), b = WbcRun(9.0);
  a[7] = 4.8;
  b[7] = 4.0;
  std::vector<std::array<double, 20>> runs = {a, b};
  EXPECT_EQ(qc::JudgeNewestRun(s, runs),
            (std::vector<qc::RuleBreak>{{0, 0}, {0, 7}, {1, 0}, {1, 7}}));
  s.rules[0] = 0;
  s.chosen[7] = 0;
  EXPECT_EQ(qc::JudgeNewestRun(s, runs), (std::vector<qc::RuleBreak>{{1, 0}}));
  s.rules = {2, 2, 2, 2};  // only exactly 1 switches a rule on
  EXPECT_TRUE(qc::JudgeNewestRun(s, runs).empty());
}

TEST(WestgardJudge, MessagesNameTheParameterInEveryLanguage) {
  EXPECT_EQ(qc::RuleBreakMessage({0, 13}, 1), "Item RDW-SD is out of control:Once exceed 3SD");
  EXPECT_EQ(qc::RuleBreakMessage({3, 9}, 1), "Item HCT is out of control:Consecutive 7 times at the same side of bias");
  for (int lang = 0; lang < 5; ++lang)
    for (int rule = 0; rule < 4; ++rule)
      EXPECT_NE(qc::RuleBreakMessage({rule, 19}, lang).find("P-LCR"), std::string::npos) << lang << " " << rule;
}

}  // namespace
