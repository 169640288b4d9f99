#pragma once
// The front-end board as the analyzer program sees it: it takes the PC's command frames and
// answers them the way the board does (acknowledgements, run headers, histograms, status,
// sensor and fault reports). Pure logic: frames in, timed frames out.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "analyzer/frame.h"
#include "tools/boardsim/blood_profile.h"

namespace boardsim {

// Frames the simulator can be told to damage or leave out.
enum class Target {
  Any,          // the next frame of any kind
  Ack,          // an acknowledgement (class AA)
  RunHeader,
  Wbc,
  Rbc,
  Plt,
  Status,       // class CC reports
};
bool TargetFromName(const std::string& name, Target* out);

enum class Reagent { Lyse, Cleanser, Diluent };
bool ReagentFromName(const std::string& name, Reagent* out);

struct Emission {
  int delayMs = 0;               // after the frame that caused it
  std::vector<uint8_t> bytes;
};

struct BoardOptions {
  int replyDelayMs = 0;   // before an acknowledgement of a short operation
  int countDelayMs = 0;   // before the acknowledgement of a count or another long operation
  bool noise = true;      // counting noise in the histograms
  uint32_t seed = 1;
};

class BoardModel {
 public:
  explicit BoardModel(BoardOptions options = {});

  // A frame from the PC (its check already verified by the caller when `checksumOk`).
  std::vector<Emission> OnFrame(const analyzer::CommandFrame& frame, bool checksumOk);

  // The operator pressed the count key on the analyzer: CC FF.
  std::vector<Emission> PressCountKey();
  // An optical coupler fault reported on its own: DD A8 n.
  std::vector<Emission> CouplerFault(uint8_t unit);
  // A bottle runs empty or is refilled; the board reports the sensor at once.
  std::vector<Emission> SetBottleEmpty(Reagent r, bool empty);

  void SetProfile(Profile p) {
    profile_ = p;
    hasCustom_ = false;
  }
  // Counts the given values from now on (until SetProfile): settable_profile.h.
  void SetCustomProfile(const BloodProfile& p) {
    custom_ = p;
    hasCustom_ = true;
  }
  const BloodProfile& CurrentProfileData() const { return hasCustom_ ? custom_ : ProfileData(profile_); }
  // A blood of the caller's own for each sample (1 for the first sample counted), in place of
  // the profile or the custom values: a control's drift; an empty source goes back to them.
  // Blank counts keep the blank.
  using ProfileSource = std::function<BloodProfile(uint32_t sample)>;
  void SetProfileSource(ProfileSource source) { source_ = std::move(source); }
  Profile profile() const { return profile_; }
  // The next `times` frames of the kind go out with a wrong check byte.
  void CorruptNext(Target t, int times = 1) { corrupt_.push_back({t, times}); }
  // The next `times` frames of the kind are not sent at all.
  void DropNext(Target t, int times = 1) { drop_.push_back({t, times}); }
  // The next `times` frames of the kind go out with one byte in their middle sent twice (a
  // byte doubled on the line): the frame arrives one byte longer than it announces.
  void DoubleByteNext(Target t, int times = 1) { doubled_.push_back({t, times}); }
  // A silent board reads and answers nothing.
  void SetSilent(bool silent) { silent_ = silent; }
  bool silent() const { return silent_; }
  // From now on a count or another long operation is acknowledged `ms` after it was asked for
  // (a board that takes its time, as a real count does).
  void SetCountDelay(int ms) { options_.countDelayMs = ms; }
  // The next start of a count (AA 01/02/03/04) is refused with DD xx code (1 to 5).
  void FailNextCount(uint8_t code) { countFault_ = code; }
  // The next AA `command` is refused: DD command code (DD 60 00, DD 30 FF, DD 91 00 ...).
  void RefuseNext(uint8_t command, uint8_t code, int times = 1);
  // The next AA `command` is acknowledged with AA command `status` in place of FF (AA 05 01 a
  // clean that failed, AA A9 00 an alarm mode not taken); the board's state stays as it was.
  void AnswerNext(uint8_t command, uint8_t status, int times = 1);
  // The next status query CC `command` is refused with DD command code, and the next debug
  // command EF `command` with DD EF command p1 (the board's refusal of an engineering command).
  void RefuseNextStatus(uint8_t command, uint8_t code, int times = 1) { statusRefusals_.push_back({command, code, times}); }
  void RefuseNextDebug(uint8_t command, int times = 1) { debugRefusals_.push_back({command, 0, times}); }
  void SetTemperature(double celsius) { temperature_ = celsius; }
  void SetPressure(uint16_t value) { pressure_ = value; }
  // Aperture time of each count in tenths of a second (AA 11 reply bytes 4 to 6).
  void SetApertureTenths(uint8_t tenths) { aperture_ = tenths; }
  void SetVersionTenths(uint8_t v) { version_ = v; }

  // What the board knows about its state, for tests and the log.
  int countNumber() const { return countNumber_; }
  bool sampleMode() const { return sampleMode_; }
  bool poweredDown() const { return poweredDown_; }
  uint8_t alarmMode() const { return alarmMode_; }
  const CountData& lastCount() const { return count_; }
  bool bottleEmpty(Reagent r) const { return empty_[static_cast<int>(r)]; }

 private:
  struct Injection {
    Target target;
    int times;
  };
  struct Refusal {
    uint8_t command, code;
    int times;
  };
  static Target TargetOf(const std::vector<uint8_t>& frame);
  // Takes one use of the scripted answer to `command` in `list`; false when there is none.
  static bool TakeScripted(std::vector<Refusal>& list, uint8_t command, uint8_t* code);
  // Applies drop, corrupt and doubled-byte injections and remembers the frame for a resend request.
  void Send(std::vector<Emission>& out, int delayMs, std::vector<uint8_t> bytes, bool remember = true);
  void SendCommand(std::vector<Emission>& out, int delayMs, uint8_t cls, uint8_t command, uint8_t p1 = 0,
                   uint8_t p2 = 0, uint8_t p3 = 0, uint8_t p4 = 0);
  bool TakeInjection(std::vector<Injection>& list, Target t);
  void NewCount(uint8_t startCommand, uint8_t wbcTimeTenths);
  void OnCommand(const analyzer::CommandFrame& f, std::vector<Emission>& out);
  void SensorReports(std::vector<Emission>& out, int delayMs);

  BoardOptions options_;
  Profile profile_ = Profile::Normal;
  ProfileSource source_;
  BloodProfile custom_{};
  bool hasCustom_ = false;
  bool silent_ = false;
  std::vector<Injection> corrupt_, drop_, doubled_;
  std::vector<Refusal> refusals_;  // answered DD command code
  std::vector<Refusal> answers_;   // answered AA command status
  std::vector<Refusal> statusRefusals_, debugRefusals_;
  uint8_t countFault_ = 0;
  double temperature_ = 25.0;
  uint16_t pressure_ = 300;
  // 4.0 s: between the air-bubble (3.0 s) and clogging (5.0 s) warning times of a new data store.
  uint8_t aperture_ = 40;
  uint8_t version_ = 21;
  uint8_t alarmMode_ = 0;
  bool sampleMode_ = false;
  bool poweredDown_ = false;
  bool empty_[3] = {false, false, false};

  // The running count.
  int countNumber_ = 0;        // counts of the current sample so far
  bool countRunning_ = false;
  uint8_t startCommand_ = 0;
  uint8_t wbcTimeTenths_ = 50;
  uint32_t sampleSerial_ = 0;
  CountData count_;
  std::vector<uint8_t> last_;  // the last frame sent, for 5A 01
  uint8_t endThird_ = 0;       // the third count's reading of the last end-of-test reply
};

}  // namespace boardsim
