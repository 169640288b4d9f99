#pragma once
// What the test screen reads from the data store when it opens, as plain functions (the screen
// puts the answers on itself): the unit texts, the next sample number of the day, the default
// print items, the LIS port's settings and the patient fields of the sample shown.
#include <cstdint>
#include <string>

class CADOConn;

namespace measurement {

// The default unit texts (screen order) with the ParasUnit row's over them: WBC for the four
// WBC rows, RBC, HGB, HCT, MCHC, PLT, PCT.
void LoadScreenUnitTexts(CADOConn& conn, std::string units[20]);

// One above the largest sample number counted on `testDate` (1 for a day with none), at most
// 99999999.
int NextSampleNumberOf(CADOConn& conn, const std::string& testDate);

// CommSet's indexes of the LIS port's baud rate, data bits, parity and stop bits (the defaults
// where there is no row).
struct LisPortIndexes {
  int32_t baud = 0, bits = 3, parity = 0, stop = 0;
};
LisPortIndexes LoadLisPortIndexes(CADOConn& conn);

}  // namespace measurement
