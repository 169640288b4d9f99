// The simulator's controls for the service screens' faults: refusals of status queries and of
// engineering commands, and the pressure the board reports.
#include "tools/boardsim/simulator.h"

namespace boardsim {

void Simulator::RefuseNextStatus(uint8_t command, uint8_t code, int times) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.RefuseNextStatus(command, code, times);
}

void Simulator::RefuseNextDebug(uint8_t command, int times) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.RefuseNextDebug(command, times);
}

void Simulator::SetPressure(uint16_t value) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.SetPressure(value);
}

}  // namespace boardsim
