#include "measurement/screen/message_line.h"

namespace measurement {

std::string MessageLineText(const HeldNotice& held, const std::string& warning) {
  if (held.text.empty()) return warning;
  if (warning.empty() || warning == held.text) return held.text;
  return held.mark + " | " + warning;
}

}  // namespace measurement
