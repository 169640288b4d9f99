#pragma once
// Process-wide records the test screen fills for printing, the LIS senders and the other
// screens: the sample being shown, today's date and the current time as texts, the sample
// number, the unit texts and the print switches. Plain globals, written on the user-interface
// thread.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "analyzer/serial_port.h"

namespace measurement {

struct CurrentSampleRecord {
  std::string SampleNo, Name, Sex, Age, BloodType, ReferValue, MedicalNo, BedNo, Dept, Sender, Scrutator,
      Checker, TestDate, TestTime;
};
extern CurrentSampleRecord CurrentSample;
extern std::string TestDateText;   // "%d-%.2d-%.2d"
extern std::string TestTimeText;   // "%.2d:%.2d:%.2d"
extern std::string SampleNoText;
extern int NextSampleNo;
extern std::string UnitTexts[20];  // screen order
extern uint8_t PrintFlags[20];     // screen order
// 1 while a report of the test screen prints: the screen then leaves the rinse after the count
// to the report's end.
extern uint8_t ReportPrintingFlag;
// The LIS serial port the test screen opens when results are sent at once; null when closed.
extern std::unique_ptr<analyzer::CSerialPort> LisSerialPort;
// Held while the port is replaced or released, and by an automatic sending thread while it
// writes a sample's records (so two samples' records never mix and the port never goes away
// under a writer).
extern std::mutex LisSerialPortMutex;
inline constexpr unsigned kLisPortNumber = 1;  // "COM1"
// Closes the LIS serial port (joining its thread) under its lock. The screen that opened it
// calls this however it ends, and main before it returns: a port left to the static
// destructors would join its thread after the event layer's own statics are gone.
void CloseLisSerialPort();

// The default unit texts (screen order).
void DefaultUnitTexts(std::string out[20]);
// The marker positions (fL) the screen starts with.
void ResetMarkerPositions();

}  // namespace measurement
