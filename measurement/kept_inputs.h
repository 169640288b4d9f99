#pragma once
// What a count hands the algorithm library besides its histograms (blood mode, count time, the
// six calibration factors, the HGB readings) and the disagreement of its repeated counts, kept
// as one text in the sample's Person row when the library could not be used. With the raw
// record of the sample it is all a later computation needs to store what the count would have
// stored. The text also names the TestTime of the count it belongs to: a later count of the
// same sample writes a new time, so the text of an earlier count is never taken for its own.
#include <cstdint>
#include <optional>
#include <string>

#include "measurement/zentil_call.h"

namespace measurement {

// The Person column that holds the text; Null in every row whose values were computed.
inline constexpr const char* kKeptInputsColumn = "CountInputs";

struct KeptInputs {
  std::string testTime;          // "HH:MM:SS" of the count
  int bloodMode = 0;             // 0 whole blood, 1 peripheral blood, 2 pre-diluted
  uint8_t wbcTimeTenths = 50;
  float factors[6] = {1, 1, 1, 1, 1, 1};  // WBC, HGB, RBC, MCV, PLT, MPV
  bool hasHgb = false;           // the count had HGB readings
  uint16_t hgbBlank = 0, hgbSample = 0;
  bool stars[3] = {false, false, false};  // WBC, RBC, PLT: repeated counts disagreed

  // The count's inputs again; the HGB pointers point into this object.
  CountInputs ToCountInputs() const;
};

// Takes what FillAlgorithmInput reads of `count`.
KeptInputs KeepInputs(const CountInputs& count, const bool stars[3], const std::string& testTime);

// "time=08:15:30 mode=0 wbct=50 hgb=3400/1200 f=1,1,1,1,1,1 stars=000" ("hgb=-" without
// readings); every float is written so that it reads back to the same value.
std::string KeptInputsText(const KeptInputs& k);
// The text read back; nothing when it is not of that form.
std::optional<KeptInputs> ParseKeptInputs(const std::string& text);

// The kept inputs of a Person row that holds a count not computed yet: every stored value text
// "- - -" (table order) and kept inputs that read back and name the row's own TestTime (a later
// count of the sample wrote another time, so inputs left from an earlier count are not its own).
// Nothing for any other row.
std::optional<KeptInputs> KeptInputsOfRow(const std::string storedTexts[20], const std::string& testTime,
                                          const std::string& keptText);
// Whether a row holds such a count: it has no values yet and is computed when its single-result
// view opens, so it is never handed on as a result.
inline bool KeptForComputation(const std::string storedTexts[20], const std::string& testTime,
                               const std::string& keptText) {
  return KeptInputsOfRow(storedTexts, testTime, keptText).has_value();
}

}  // namespace measurement
