#pragma once
// The four Westgard rules of Levey-Jennings QC, as pure functions over one parameter's runs
// (oldest first) against its target T and standard deviation SD, and the judgement of a new run
// over all parameters of a file.
//
// Only usable runs take part: a run whose value was invalid or whose parameter was not under
// QC is left out of the sequence, so it neither breaks nor hides a rule. A parameter with T or
// SD of 0 is never judged. Runs, target and SD are compared as decimals of six significant
// digits, as they are shown: a run exactly k SD from the target is not beyond k SD.
#include <array>
#include <string>
#include <vector>

namespace qc {

// Once exceed 3SD: the newest run lies more than 3 SD from T.
bool BreaksOut3SD(const std::vector<double>& runs, double target, double sd);
// Consecutive twice exceed 2SD: the two newest runs each lie more than 2 SD from T (either side).
bool Breaks2Out2SD(const std::vector<double>& runs, double target, double sd);
// Consecutive 5 times at the same side of bias between 1SD and 2SD: the five newest all lie in
// (T + SD, T + 2SD] or all in [T - 2SD, T - SD).
bool Breaks5SideSDTo2SD(const std::vector<double>& runs, double target, double sd);
// Consecutive 7 times at the same side of bias: the seven newest all lie above T, or all below.
bool Breaks7Side(const std::vector<double>& runs, double target, double sd);

// One value of a parameter in one run: -1 invalid, -2 not under QC (as stored).
inline bool UsableRunValue(double v) { return v >= 0.0; }

// A parameter that broke a rule.
struct RuleBreak {
  int rule;   // 0 Out3SD, 1 2Out2SD, 2 5SideSDTo2SD, 3 7Side
  int param;  // display order
  bool operator==(const RuleBreak&) const = default;
};

// The file's side of the judgement (display order).
struct JudgeSettings {
  std::array<double, 20> targets{}, sds{};
  std::array<int, 20> chosen{};  // 1 = under QC
  std::array<int, 4> rules{};    // 1 = on
};

// Judges the newest run: `runs[i]` holds the 20 values (display order) of run i, oldest first,
// the new run last. The breaks come rule by rule, each in parameter order.
std::vector<RuleBreak> JudgeNewestRun(const JudgeSettings& s, const std::vector<std::array<double, 20>>& runs);

// "Item %s is out of control:<rule>" in the language, for the parameter's display name.
std::string RuleBreakMessage(const RuleBreak& b, int language);

}  // namespace qc
