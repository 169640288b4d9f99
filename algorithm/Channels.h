// Pieces of the channels that are worth reaching on their own (tests, the flag rules).
#pragma once

namespace zentil {

// Linearity correction of a computed PLT count.
float PltLinearity(float plt);

// First channel counted in a PLT histogram (14, 15 or 16), from the counts of channels 20-199.
int PltNoiseFloor(const float* histogram);

// Channel where the top 6 % of the WBC counts begin, as a fraction of 255 (at least 10/255).
float GetTopEndFraction(const float* smoothed);

}  // namespace zentil
