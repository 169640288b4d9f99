#pragma once
// The engineers' switch for the intermediate values of each count on the test screen (the HGB
// blank and sample readings beside the results). Off at every start and kept in memory only:
// the hidden settings page switches it.
#include <cstdint>

namespace measurement {

extern uint8_t ShowMidResults;

}  // namespace measurement
