#pragma once
// The maintenance menu's work with the board: one operation at a time (drain, clean, back
// flush, remove blockage, high-voltage pulse with the gain values sent after it, machine
// reset), the replies that end it with the reagent booked, refused commands sent again a
// bounded number of times, and the concentrated-cleanser soak with its ten-minute count-down.
//
// Every operation waits for the acknowledgement of its own command, and for no longer than
// kOperationTimeoutMs: a board that never answers leaves the menu idle again with a message.
#include <cstdint>
#include <string>

#include "analyzer/resend.h"
#include "service/service_link.h"

class CADOConn;

namespace service {

class MaintenanceHost : public virtual analyzer::BoardHost {
 public:
  virtual void SetProgress(const std::string& text) = 0;
  virtual void SetCountdown(const std::string& text) = 0;
  // OK/Cancel with the question icon; true on OK.
  virtual bool AskOkCancel(const std::string& text) = 0;
  // The soak's one-second timer.
  virtual void StartSoakTimer() = 0;
  virtual void StopSoakTimer() = 0;
};

// What a button needs before it acts, checked in the order given.
enum class MenuCheck { Busy, Soaking, Level };

class MaintenanceMenu : public ServiceSequence {
 public:
  static constexpr int64_t kOperationTimeoutMs = 180000;

  MaintenanceMenu(MaintenanceHost& host, CADOConn* conn);

  // Reads the gain values and the automatic-clean interval.
  void Load();
  // The reagent query of the sensor mode (its echo is ignored).
  void SendReagentQuery();

  // The checks of a button; false (after the message) when one fails.
  bool Allowed(std::initializer_list<MenuCheck> checks);
  // Drain, back flush, pulse, remove blockage, drain pipeline, clean (after their checks).
  void StartOperation(uint8_t command);
  void OnDrainChambers();
  void OnCleanChambers();
  void OnDrainPipeline();
  void OnBackFlush();
  void OnHighVoltagePulse();
  void OnRemoveBlockage();
  void OnMachineReset();
  void OnSoak();
  // One tick of the soak's timer.
  void OnSoakTick();
  // Exit: true when the menu may close.
  bool CanExit();

  bool idle() const { return idle_; }
  bool soaking() const { return soaking_; }
  int minutes() const { return minutes_; }
  int seconds() const { return seconds_; }
  const uint8_t* gains() const { return gains_; }
  uint8_t autoCleanTime() const { return autoCleanTime_; }

  // "Diluent Cleanser not enough!" when the counted volumes are short (volume mode only).
  static std::string LowVolumeText(int language);
  static std::string ProgressText(uint8_t command, int language);

 private:
  void OnFrame(const analyzer::BoardReply& reply) override;
  void OnTimeout() override;
  void Finish(bool message);  // the operation is over: idle, labels cleared, "Operation finished!"
  void Abort(const std::string& message);
  void SoakBookkeeping();

  MaintenanceHost& menu_;
  CADOConn* conn_;
  analyzer::RefusalRepeater repeater_;
  bool idle_ = true;
  bool soaking_ = false;
  bool timerRunning_ = false;
  int minutes_ = 9, seconds_ = 60;
  uint8_t gains_[8] = {};
  uint8_t autoCleanTime_ = 0;
};

}  // namespace service
