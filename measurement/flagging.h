#pragma once
// Marking a sample's values against the normal and panic ranges of its patient group, and the
// texts built from them: the range marks, the stored value texts, the warning text of the
// histogram flags and the reference-range text.
#include <string>

#include "algorithm/ZentilRecords.h"

class CADOConn;

namespace measurement {

constexpr int kGroupCount = 10;
// The name of a patient group (Kind 0-9) in a language (0-4; others read as English).
const char* GroupName(int kind, int language);
// The Kind whose name in any language equals the text exactly; 0 (General) for any other text.
int GroupIndexFromText(const std::string& text);

// Low and high limit of each parameter in screen order (pair i at 2i, 2i+1).
struct LimitPairs {
  float pairs[40] = {};
  bool missing = false;  // the group has no row: the limits are wide open
};
// The stored row of a group of NormalLimits or PathologyLimits (columns 2 to 41, table order)
// in screen order; all zeros without a row, 0 for a NULL column. True when the row exists.
bool ReadStoredLimits(CADOConn& conn, const char* table, int kind, float pairs[40]);
// Reads "Select * from NormalLimits where Kind=%d" (columns 2 to 41, table order) and reorders
// to screen order; without a row every pair is (-1e9, 1e9) and `missing` is set.
LimitPairs LoadNormalLimits(CADOConn& conn, int kind);
// The same from PathologyLimits; without a row (-1e10, 1e10).
LimitPairs LoadPathologyLimits(CADOConn& conn, int kind);

// The range mark of a value: "L-" below the panic low, else "L" below the normal low; then "H+"
// above the panic high, else "H" above the normal high (a high mark wins). Strict comparisons.
std::string RangeMark(float value, float normalLow, float normalHigh, float panicLow, float panicHigh);

// Marks of all 20 values; a value marked not reportable gets none.
void MarkValues(const float values[20], const uint8_t notReportable[20], const LimitPairs& normal,
                const LimitPairs& panic, std::string marks[20]);

// The indicator written before a stored value whose repeated counts disagreed.
inline constexpr const char* kDisagreementIndicator = "*";
// The text a value is stored with: the indicator (when given) directly before the value
// formatted with its decimals, then a blank and the mark when there is one; "- - -" for a value
// that is not reportable. So a high WBC of 12.5 with disagreeing counts is "*12.5 H".
std::string StoredValueText(float value, int displayIndex, bool reportable, const std::string& indicator,
                            const std::string& mark);
// The label text (no indicator, no mark).
std::string ShownValueText(float value, int displayIndex, bool reportable);

// The raised histogram flags of a result: each code followed by a blank, in the order LF1 LF2
// LF3 LF4 PF1 PF2. A low WBC (low PLT) suppresses the WBC (PLT) flags.
struct FlagTexts {
  std::string warning;
  std::string chineseDescription;  // for the log line
  bool wbcLabels[4] = {};          // LF1-LF4 shown
  bool pltLabels[2] = {};          // PF1, PF2 shown
  bool wbcSuppressed = false;      // the WBC flag labels are emptied
  bool pltSuppressed = false;
};
FlagTexts BuildFlagTexts(const AlgorithmResult& result);

// The log lines of a sample (Chinese whatever the language): the flag descriptions, and the
// note that a third count was made. Empty when there is nothing to say.
std::string FlagLogLine(const std::string& sampleNo, const std::string& chineseDescription);
std::string ThirdCountLogLine(const std::string& sampleNo);

// The reference-range text: one comma-terminated element per parameter in table order ("lo-hi"
// or a blank for an open or empty range), and the same elements one by one (table order).
void BuildReferenceTexts(const LimitPairs& normal, std::string* refText, std::string rangeTexts[20]);

}  // namespace measurement
