#include "measurement/screen/message_line.h"

#include "measurement/screen/sample_test_screen_texts.h"

namespace measurement {

std::string MessageLineText(const HeldNotice& held, const std::string& warning) {
  if (held.text.empty()) return warning;
  if (warning.empty() || warning == held.text) return held.text;
  return held.mark + " | " + warning;
}

HeldNotice StoreNotWritableNotice(int language) {
  return {TestScreenText(ScreenText::StoreNotWritable, language), TestScreenText(ScreenText::StoreNotWritableMark, language)};
}

}  // namespace measurement
