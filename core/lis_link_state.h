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

  // Setting.ini values. The numbers are read and written whole; the address texts are read and
  // written under the settings lock (the settings screen writes them while the link's threads
  // read them), through Addresses and SetAddresses once the threads run.
  std::string ServerAddress;                 // [LIS] SERVER
  std::atomic<int32_t> ServerPort{0};        // [LIS] PORT
  std::string OwnAddress;                    // [LIS] CLIENT
  std::string SubnetMask;                    // [LIS] MASK
  std::string Gateway;                       // [LIS] GATEWAY
  std::atomic<int32_t> Bidirectional{0};     // [LIS] DOUBLE
  std::atomic<int32_t> AlarmSending{0};      // [LIS] WARNING
  std::atomic<int32_t> AddressMode{1};       // [LIS] TYPE: 1 automatic, 0 fixed
  std::atomic<int32_t> LinkKind{0};          // [COMMUNITY] Type: 0 serial text records, 1 network HL7

  // One consistent copy of what the link connects with and applies.
  struct AddressSettings {
    std::string server, own, mask, gateway;
    int32_t port = 0;
    int32_t mode = 1;
  };
  AddressSettings Addresses() const {
    std::lock_guard<std::mutex> g(settingsMutex_);
    return {ServerAddress, OwnAddress, SubnetMask, Gateway, ServerPort.load(), AddressMode.load()};
  }
  void SetAddresses(const AddressSettings& a) {
    std::lock_guard<std::mutex> g(settingsMutex_);
    ServerAddress = a.server;
    OwnAddress = a.own;
    SubnetMask = a.mask;
    Gateway = a.gateway;
    ServerPort = a.port;
    AddressMode = a.mode;
  }

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
  mutable std::mutex settingsMutex_;
  std::string lastControlId_;
};

extern LisLinkStateValues LisLinkState;
