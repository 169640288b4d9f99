#pragma once
// Re-flagging a stored result for a new patient group: the 20 value texts of a Person row are
// read back in the form the result saving writes them (indicator, value, blank and range mark),
// marked again against the new group's normal and panic ranges and written back together with
// the row's reference-range text. The values themselves never change.
#include <string>

#include "measurement/flagging.h"

class CADOConn;

namespace measurement {

// The 20 value columns of Person in table order.
extern const char* const kPersonValueColumns[20];

// One stored value text taken apart. `available` is false for "- - -", "***", a blank or empty
// text and any text that holds no number: such a text is written back unchanged.
struct StoredValue {
  std::string text;       // as stored
  bool available = false;
  float value = 0.0f;
  int mark = 0;           // indicator: 0 none, 1 "*", 2 "e"/"E", 3 "!"
};
StoredValue ParseStoredValueText(const std::string& text);

// The stored texts of a row, table order. `found` false without a row; every load starts from
// fresh marks.
struct StoredResult {
  bool found = false;
  bool hasResult = false;      // WBC column not null
  std::string referValue;
  StoredValue values[20];
};
StoredResult LoadStoredValues(CADOConn& conn, const std::string& sampleNo, const std::string& testDate);

// The new text of a stored value at display position `displayIndex` with its new range mark:
// the indicator ("e" only before LYM#, MID#, GRA# and "E" only before LYM%, MID%, GRA%), the
// value with its decimals, a blank and the mark. Unavailable values keep their text.
std::string ReflaggedText(const StoredValue& v, int displayIndex, const std::string& mark);

// The Kind of a group name in any of the five languages; `fallback` when no name matches.
int GroupKindOfText(const std::string& text, int fallback);

// "update Person set WBC='..',LYMA='..', ... ,PLCR='..' where SampleNo='..' and TestDate='..'".
// `textsTableOrder` are the 20 new texts; `extraSet` (",RefText='...'") is added when given.
std::string ValueTextsUpdateSql(const std::string textsTableOrder[20], const std::string& sampleNo,
                                const std::string& testDate, const std::string& extraSet = std::string(),
                                const char* verb = "update");
// "Update Person Set RefText ='..' where SampleNo='..' and TestDate='..'".
std::string RefTextUpdateSql(const std::string& refText, const std::string& sampleNo, const std::string& testDate);

struct ReflagOutcome {
  bool done = false;            // the row had a result and both statements ran
  int kind = 0;                 // the group used
  std::string texts[20];        // new texts, table order
  std::string refText;
};
// Re-marks the stored result of (sampleNo, testDate) for the group named `groupText` (or
// `fallbackKind` when the name is unknown), writes the 20 value texts and then the range text.
// Nothing is written for a row without a result.
ReflagOutcome ReflagStoredResult(CADOConn& conn, const std::string& sampleNo, const std::string& testDate,
                                 const std::string& groupText, int fallbackKind);

}  // namespace measurement
