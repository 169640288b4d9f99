#pragma once
// Settings a count reads from the data store: the counting times sent with a start command and
// the calibration factors of the blood mode.
#include <cstdint>

class CADOConn;

namespace measurement {

// WBCTIME and RBCTIME of EngineeringAdjust (tenths of a second). A NULL column (or no row)
// leaves its value as it was; true when both were read.
bool ReadCountTimes(CADOConn& conn, uint8_t* wbcTenths, uint8_t* rbcTenths);

// The 20 factors of the blood mode's CalibrationCoef row, in screen order. Without a row (or
// for a NULL column) the factor stays 1.0.
void LoadCalibrationFactors(CADOConn& conn, int bloodMode, float factors[20]);

}  // namespace measurement
