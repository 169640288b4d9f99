#pragma once
// The sample number of a count about to start: when the next number already has a result
// today, the operator is asked whether to skip it (Yes: try the number after it), to count it
// again (No: the new result replaces the old) or to give up the count (Cancel: the counter goes
// back to where it was).
#include <cstdint>
#include <functional>
#include <string>

class CADOConn;

namespace measurement {

enum class ExistingSampleAnswer { Skip, Overwrite, Cancel };  // Yes, No, Cancel

// The highest sample number.
constexpr uint32_t kLastSampleNo = 99999999u;

struct SampleNumberChoice {
  bool start = true;     // false: no count starts (cancelled, or no number left)
  uint32_t counter = 0;  // the sample counter afterwards
  int skipped = 0;       // numbers skipped with Yes
  bool noNumberLeft = false;  // Yes on the highest number: there is none after it to count
};

// `counter` is the screen's sample counter (the next sample is counter + 1, at most
// kLastSampleNo: at the highest number the next count is that number again, asked like any
// other stored one). The question is not asked after a retest request or when the operator
// entered the number in the profile.
// `hasResult(n)` tells whether sample n already has a result today; `ask(n)` puts the question.
SampleNumberChoice ChooseSampleNumber(uint32_t counter, bool retestRequested, bool numberEntered,
                                      const std::function<bool(uint32_t)>& hasResult,
                                      const std::function<ExistingSampleAnswer(uint32_t)>& ask);

// Whether sample n has a result on the date: a Person row whose WBC is not NULL.
bool SampleHasResult(CADOConn& conn, uint32_t sampleNo, const std::string& testDate);

// "Sample %d existed, if retest, new result will cover previous result,skip?"
std::string ExistingSampleQuestion(uint32_t sampleNo);

}  // namespace measurement
