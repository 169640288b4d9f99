#pragma once
// Profiles whose values the tests and the operator of the simulator choose: the calibrator
// material with its known targets, and any profile set value by value ("wbc=7.2,plt=220").
// The board then counts exactly these values (give or take the counting noise), so a test can
// work out what a calibration must come to.
#include <string>

#include "tools/boardsim/blood_profile.h"

namespace boardsim {

// The calibrator material: WBC 7.20 10^9/L, RBC 4.50 10^12/L, HGB 135 g/L, MCV 88 fL,
// PLT 220 10^9/L (differential and MPV of a normal blood).
const BloodProfile& CalibratorProfile();

// "calibrator" (any case): the calibrator profile. False for any other name.
bool SettableProfileFromName(const std::string& name, BloodProfile* out);

// Sets values of `profile` from "name=value" pairs separated by commas or blanks; names are
// wbc, lym, mid, rbc, mcv, rdwsd, hgb, plt, mpv (any case). False, with the reason, on an
// unknown name or a value that is not a number; `profile` is then unchanged.
bool ParseProfileValues(const std::string& text, BloodProfile& profile, std::string* why);

}  // namespace boardsim
