#include "measurement/mid_results.h"

namespace measurement {

uint8_t ShowMidResults = 0;

}  // namespace measurement
