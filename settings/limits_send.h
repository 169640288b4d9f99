#pragma once
// Sending the group shown on a limits screen to the LIS, by the link kind: one "Normal," or
// "Panic," text record on the LIS serial port (kind 0), or the normal or pathology limits
// message over the network link (kind 1), which the LIS must acknowledge before the operator
// is told that the data went out.
#include <memory>
#include <string>

#include "settings/limit_tables.h"

class CADOConn;

namespace analyzer {
class CSerialPort;
}

namespace lis {
struct QcMessageRecord;
}

namespace settings {

// A limits screen's own LIS serial port: opened with the CommSet settings at the first serial
// send and kept open for later sends until the screen closes.
class LimitsLisPort {
 public:
  LimitsLisPort();
  ~LimitsLisPort();
  LimitsLisPort(const LimitsLisPort&) = delete;
  LimitsLisPort& operator=(const LimitsLisPort&) = delete;
  // Opens port 1 unless it is open already; true when it is open.
  bool Open(CADOConn& conn);
  bool IsOpen() const { return open_; }
  analyzer::CSerialPort* Port() { return port_.get(); }

 private:
  std::unique_ptr<analyzer::CSerialPort> port_;
  bool open_ = false;
};

enum class LimitsSendOutcome {
  Sent,          // serial: the record was handed to the port; network: the LIS acknowledged it
  PortFailed,    // the serial port did not open: the screen's Send stays disabled
  NotConnected,  // the network link is down: nothing was checked or sent
  Refused,       // an entry failed the check: nothing was sent
  NotSent,       // the LIS refused or did not answer, the bytes could not be written, or the
                 // link kind is neither serial nor network
};

struct LimitsSendReport {
  LimitsSendOutcome outcome = LimitsSendOutcome::NotSent;
  std::string message;  // what the operator is shown
  unsigned icon = 0;    // message box icon flags (ui::MB_ICON...)
};

// The record of the network message: the group name, the 20 units in table order with every
// "^" as "x", the 40 limits in table order as "%.2f". Units and pairs in screen order.
lis::QcMessageRecord LimitsMessageRecord(const std::string& groupName, const std::string units[20],
                                         const float pairs[40]);

// The name a sent table carries for a group: Chinese in Chinese, else English.
std::string LimitsGroupNameForLis(int kind, int language);

// The Send button of a limits screen: by `linkKind` (0 serial, 1 network) checks the link,
// then the typed entries (`texts`, screen order; accepted, they are taken over into `pairs`),
// then sends group `kind` of `table` with the unit texts shown (`units`, screen order).
LimitsSendReport SendLimitsToLis(CADOConn& conn, LimitsLisPort& port, LimitTable table, int kind, int linkKind,
                                 const std::string units[20], const std::string texts[40], int language,
                                 float pairs[40]);

}  // namespace settings
