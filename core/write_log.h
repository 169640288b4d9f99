#pragma once
// The log line writer: a diagnostic line on the debug output and, when the LIS link is set up
// for alarms ([LIS] WARNING 1, connected, [COMMUNITY] Type not 0), the same message with a time
// stamp as an HL7 alarm to the LIS.
#include <cstdint>
#include <functional>
#include <string>

// The record handed to the alarm message builder: UTF-16 texts, zero-terminated, all zero
// before it is filled.
struct AlarmRecord {
  char16_t time[32];      // at most 31 characters
  char16_t message[256];  // at most 255 characters
};
static_assert(sizeof(AlarmRecord) == 576, "the alarm record is 576 bytes");

// Sends the alarm record as a message through the LIS link (under the link's send lock).
// Installed by the LIS link; until then no alarm is sent.
using AlarmSender = std::function<void(const AlarmRecord& record)>;
void SetAlarmSender(AlarmSender sender);

// Fills an alarm record: the time text (the current local time
// "%04d-%02d-%02d %.2d:%.2d:%.2d" when `time` is empty) and the message, each cut to what the
// record holds.
AlarmRecord MakeAlarmRecord(const std::string& text, const std::string& time);

// Writes the message to the debug output as it is and sends the alarm when the link is set up
// for it. Never reports a failure: a failed send only ends the sending.
void WriteLog(const std::string& text, const std::string& time = std::string());
