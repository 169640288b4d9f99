#pragma once
// What the test screen's message line shows. A notice that a result was not kept is held: no
// lesser warning that follows (a reagent short, the aperture, the temperature) replaces it;
// the warning is shown beside the notice's short mark instead, and clearing the warning shows
// the notice again. The screen lets go of the notice when the next count starts.
#include <string>

namespace measurement {

struct HeldNotice {
  std::string text;  // shown alone
  std::string mark;  // shown before a warning that joins it
};

std::string MessageLineText(const HeldNotice& held, const std::string& warning);

// The notice of a store that could not be opened or written: results are not kept.
HeldNotice StoreNotWritableNotice(int language);

}  // namespace measurement
