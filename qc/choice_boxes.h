#pragma once
// The check boxes and OK/Cancel buttons of the QC choice dialogs (the L-J and X-B parameter
// choices, the Westgard rules).
#include <array>

#include "controls/xp_button.h"
#include "controls/xp_check_button.h"
#include "platform/ui/window.h"

namespace qc {

// Takes over the OK and Cancel buttons of `dialog`, with their captions in `language` and skins.
void SetUpOkCancel(ui::Window* dialog, CXPButton& ok, CXPButton& cancel, int language);

// Takes over the 20 parameter boxes (display order) of `dialog` and ticks those `chosen` is 1 for.
void SetUpParameterBoxes(ui::Window* dialog, CXPCheckButton (&boxes)[20], const std::array<int, 20>& chosen);
// 1 for every ticked box, else 0.
std::array<int, 20> TickedParameters(CXPCheckButton (&boxes)[20]);

}  // namespace qc
