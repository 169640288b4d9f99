#include "measurement/screen/sample_globals.h"

#include "measurement/result_globals.h"

namespace measurement {

CurrentSampleRecord CurrentSample;
std::string TestDateText;
std::string TestTimeText;
std::string SampleNoText;
int NextSampleNo = 1;
std::string UnitTexts[20];
std::unique_ptr<analyzer::CSerialPort> LisSerialPort;
std::mutex LisSerialPortMutex;
uint8_t PrintFlags[20] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
uint8_t ReportPrintingFlag = 0;

void CloseLisSerialPort() {
  std::unique_ptr<analyzer::CSerialPort> port;
  {
    std::lock_guard<std::mutex> g(LisSerialPortMutex);
    port = std::move(LisSerialPort);
  }
  port.reset();  // outside the lock: its reader thread may be delivering a byte
}

void DefaultUnitTexts(std::string u[20]) {
  static const char* const kUnits[20] = {"10^9/L", "10^9/L", "10^9/L", "10^9/L", "%",  "%",      "%",
                                         "10^12/L", "g/L",   "%",      "fL",     "pg", "g/L",    "fL",
                                         "%",      "10^9/L", "fL",     "%",      "%",  "%"};
  for (int i = 0; i < 20; ++i) u[i] = kUnits[i];
}

void ResetMarkerPositions() {
  static const float kDefaults[8] = {15, 107, 147, 400, 25, 250, 2, 30};
  for (int i = 0; i < 8; ++i) MarkerPositions[i] = kDefaults[i];
}

}  // namespace measurement
