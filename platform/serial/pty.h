#pragma once
// A pseudo-terminal pair for tests and simulators. The slave side is a serial device path that
// the program opens like any port ("QUORVEX_COM4=/dev/pts/7"); the master side is a Port that
// plays the other end of the cable (the board, the printer, a LIS host).
//
// The pair keeps a descriptor of its own on the slave, so the master never sees a hang-up while
// the program closes and re-opens its port, and bytes the master writes meanwhile wait in the
// slave's input (the program's Open purges them). The slave starts in raw mode without echo.
#include <string>

#include "platform/serial/port.h"

namespace serial {

// Creates a pseudo-terminal master (posix_openpt, grantpt, unlockpt, ptsname). On success
// *masterFd is open (read/write, non-blocking, close-on-exec) and *slavePath names the slave.
Status OpenPtyMaster(int* masterFd, std::string* slavePath);

class PtyPair {
 public:
  PtyPair() = default;
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  // Creates the pair; a pair created before is closed first.
  Status Create();
  bool IsOpen() const { return master_.IsOpen(); }

  // Path of the slave device, such as "/dev/pts/7"; empty when closed.
  const std::string& SlavePath() const { return slavePath_; }

  // Makes `linkPath` a symbolic link to the slave (replacing an older link there), so a
  // simulator can offer a fixed name such as /tmp/quorvex-board for QUORVEX_COM4. The link is
  // removed again by Close.
  Status LinkSlave(const std::string& linkPath);

  // The master side: what it writes, the slave reads, and the reverse.
  Port& Master() { return master_; }

  // The line settings the program has put on the slave, as a simulator checks them: baud, stop
  // bits and XON/XOFF. The kernel keeps no character size or parity on a pseudo-terminal, so
  // these always read 8 bits, no parity; RTS reads false (there is no such line).
  Status SlaveSettings(Settings* out) const;

  // Releases both sides; a program holding the slave then reads a hang-up.
  void Close();

 private:
  Port master_;
  int slaveKeep_ = -1;
  std::string slavePath_;
  std::string link_;
};

}  // namespace serial
