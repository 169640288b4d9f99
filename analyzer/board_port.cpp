#include "analyzer/board_port.h"

namespace analyzer {

int OpenBoardPort(CSerialPort& port, ByteSink owner) {
  if (!port.Open(std::move(owner), kBoardPortNumber, kBoardBaud, kBoardParity, kBoardDataBits, kBoardStopBits,
                 kBoardEventMask, kBoardWriteBufferSize))
    return 0;
  return port.StartReader();
}

int QueueCommand(CSerialPort& port, uint8_t cls, uint8_t command, uint8_t p1, uint8_t p2, CommandFrame* sent) {
  const CommandFrame f = BuildCommandFrame(cls, command, p1, p2);
  if (sent != nullptr) *sent = f;
  return port.QueueWrite(f.data(), f.size());
}

}  // namespace analyzer
