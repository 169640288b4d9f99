#pragma once
// The process-wide state of the LIS link. The start-up fills the settings from Setting.ini
// ([LIS] and [COMMUNITY]); the LIS threads own the socket and the connected flag; the settings
// screens change the values; the log line writer and the senders read them.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/sys/event.h"

struct LisLinkStateValues {
  // The one TCP socket to the LIS (-1 none) and whether a connection is up.
  std::atomic<int> LisSocket{-1};
  std::atomic<int32_t> LisConnected{0};
  // 1 once the PC's own address settings are in force; 1 while new ones wait to be applied.
  std::atomic<uint8_t> NetworkReady{0};
  std::atomic<uint8_t> ApplyPending{1};
  // Who asked for patient data: 1 the patient-information screen, 2 the test screen.
  std::atomic<int32_t> LisQueryMode{-1};

  // Setting.ini values (written on the user-interface thread).
  std::string ServerAddress;   // [LIS] SERVER
  int32_t ServerPort = 0;      // [LIS] PORT
  std::string OwnAddress;      // [LIS] CLIENT
  std::string SubnetMask;      // [LIS] MASK
  std::string Gateway;         // [LIS] GATEWAY
  int32_t Bidirectional = 0;   // [LIS] DOUBLE
  int32_t AlarmSending = 0;    // [LIS] WARNING
  int32_t AddressMode = 1;     // [LIS] TYPE: 1 automatic, 0 fixed
  int32_t LinkKind = 0;        // [COMMUNITY] Type: 0 serial text records, 1 network HL7

  // Signalled when an acknowledgement arrives; manual reset, signalled at start.
  sys::Event LisReplyEvent{true, true};

  void SetLastControlId(const std::string& id) {
    std::lock_guard<std::mutex> g(mutex_);
    lastControlId_ = id;
  }
  std::string LastControlId() const {
    std::lock_guard<std::mutex> g(mutex_);
    return lastControlId_;
  }

 private:
  mutable std::mutex mutex_;
  std::string lastControlId_;
};

extern LisLinkStateValues LisLinkState;
