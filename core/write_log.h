#pragma once
// The log line writer: a diagnostic line on the debug output and, when the LIS link is set up
// for alarms ([LIS] WARNING 1, connected, [COMMUNITY] Type not 0), the same message with a time
// stamp as an HL7 alarm to the LIS.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The record handed to the alarm message builder: UTF-16 texts, zero-terminated, all zero
// before it is filled.
struct AlarmRecord {
  char16_t time[32];      // at most 31 characters
  char16_t message[256];  // at most 255 characters
};
static_assert(sizeof(AlarmRecord) == 576, "the alarm record is 576 bytes");

// Builds the complete framed alarm message from the record and gives its control id. Installed
// by the LIS link; until then no alarm is sent.
using AlarmMessageBuilder =
    std::function<std::vector<uint8_t>(const AlarmRecord& record, std::string* controlId)>;
void SetAlarmMessageBuilder(AlarmMessageBuilder builder);

// Sends bytes on the LIS socket; returns the bytes sent, or -1 on failure. Default: send(2)
// through the platform (net::SendSome).
using LisSendFunction = std::function<long(int socket, const uint8_t* data, size_t size)>;
void SetLisSendFunction(LisSendFunction send);

// Fills an alarm record: the time text (the current local time
// "%04d-%02d-%02d %.2d:%.2d:%.2d" when `time` is empty) and the message, each cut to what the
// record holds.
AlarmRecord MakeAlarmRecord(const std::string& text, const std::string& time);

// Writes the message to the debug output as it is and sends the alarm when the link is set up
// for it. Never reports a failure: a failed send only ends the sending.
void WriteLog(const std::string& text, const std::string& time = std::string());
