#pragma once
// The board simulator: a pseudo-terminal whose far end answers as the front-end board.
// The program opens the slave path as its board port (QUORVEX_COM4). Tests start it in the
// same process; the boardsim program runs it until it is killed.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "analyzer/frame.h"
#include "platform/serial/pty.h"
#include "tools/boardsim/board_model.h"

namespace boardsim {

struct SimulatorOptions {
  BoardOptions board;
  // Called for every frame received and sent (for the program's log); from the simulator's
  // thread.
  std::function<void(bool received, const std::vector<uint8_t>& bytes)> trace;
};

class Simulator {
 public:
  explicit Simulator(SimulatorOptions options = {});
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Creates the pseudo-terminal and starts answering.
  serial::Status Start();
  void Stop();
  bool Running() const { return running_.load(); }
  // The device the program opens, such as "/dev/pts/7".
  std::string DevicePath() const;

  // Control, safe from any thread. Frames that result go out at once.
  void PressCountKey();
  void ReportCouplerFault(uint8_t unit);
  void SetBottleEmpty(Reagent r, bool empty);
  void SetProfile(Profile p);
  void SetProfileSource(BoardModel::ProfileSource source);
  // Counts these values from now on (a calibrator, or values a test chose).
  void SetCustomProfile(const BloodProfile& p);
  void CorruptNext(Target t, int times = 1);
  void DropNext(Target t, int times = 1);
  void DoubleByteNext(Target t, int times = 1);
  void SetSilent(bool silent);
  void SetCountDelay(int ms);
  void FailNextCount(uint8_t code);
  void RefuseNext(uint8_t command, uint8_t code, int times = 1);
  void AnswerNext(uint8_t command, uint8_t status, int times = 1);
  void RefuseNextStatus(uint8_t command, uint8_t code, int times = 1);
  void RefuseNextDebug(uint8_t command, int times = 1);
  void SetPressure(uint16_t value);
  void SetTemperature(double celsius);
  void SetApertureTenths(uint8_t tenths);
  // Raw bytes straight onto the line (broken frames, junk).
  void SendRaw(const std::vector<uint8_t>& bytes);
  // Runs `fn` on the model under the simulator's lock (for state a test wants to read).
  void WithModel(const std::function<void(BoardModel&)>& fn);

  // Every command frame received from the PC so far (good and damaged ones).
  std::vector<analyzer::CommandFrame> Received() const;
  size_t ReceivedCount() const;
  // Waits (real time, the simulator is a device of its own) until `count` frames were
  // received; false after `timeoutMs`.
  bool WaitForReceived(size_t count, int timeoutMs) const;
  // Bytes written to the line so far.
  uint64_t BytesSent() const { return bytesSent_.load(); }

 private:
  struct Pending {
    int64_t dueMs;
    std::vector<uint8_t> bytes;
  };
  void Run();
  void Queue(const std::vector<Emission>& out);  // lock held
  void Wake();
  static int64_t NowMs();

  SimulatorOptions options_;
  serial::PtyPair pty_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stop_{false};
  std::atomic<uint64_t> bytesSent_{0};
  int wakeFd_ = -1;  // eventfd: a control call queued a frame, or Stop

  mutable std::mutex mutex_;
  mutable std::condition_variable received_cv_;
  BoardModel model_;
  std::vector<Pending> pending_;
  std::vector<analyzer::CommandFrame> received_;
};

}  // namespace boardsim
