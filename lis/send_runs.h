#pragma once
// The send screen's senders, as plain functions over what the screen hands them: the opener's
// grid, the scope, the QC file number, the screen's data connection and serial port, and the
// panel they report on (progress, status text, Send and Exit buttons, message boxes).
#include <string>
#include <vector>

#include "lis/lis_send.h"

namespace analyzer {
class CSerialPort;
}

namespace lis {

class SendPanel {
 public:
  virtual ~SendPanel() = default;
  virtual void EnableSend(bool on) = 0;
  virtual void EnableExit(bool on) = 0;
  virtual void SetStatus(const std::string& text) = 0;
  virtual void SetSendCaption(const std::string& text) = 0;
  virtual void SetProgressRange(int upper) = 0;
  virtual void SetProgress(int pos) = 0;
  // icon: 0 none, 1 information, 2 warning, 3 error
  virtual void Message(const std::string& text, int icon) = 0;
};

struct SendContext {
  SendPanel* panel = nullptr;
  const CGridCtrl* grid = nullptr;
  int scope = 0;  // 0 selected data, 1 all data
  int qcFileNo = 0;
  CADOConn* conn = nullptr;
  analyzer::CSerialPort* port = nullptr;
  int language = 1;
};

// The outcome of the last walk, for the tests and the log.
struct RunOutcome {
  int items = 0;       // items the walk set out to send
  int sent = 0;        // items delivered (network) or queued (serial)
  bool finished = false;  // every item went out (and, over the network, was acknowledged)
  SendResult last;
  // Serial: the first item whose records did not reach the line whole ("sample date", "date
  // time" of a QC run, or "TRANSFER FINISH"); it and the items after it were not sent.
  std::string notSent;
  // Sample numbers of rows left out because their count is not computed yet (no values to send
  // as a final result); not counted as sent, and the walk is then not finished.
  std::vector<std::string> notComputed;
};

RunOutcome SendSamplesNetwork(const SendContext& c);
RunOutcome SendQcNetwork(const SendContext& c, QcKind kind);
RunOutcome SendSamplesSerial(const SendContext& c);
RunOutcome SendQcSerial(const SendContext& c, QcKind kind);

// The Send button: checks the link (serial: the port; network: the connection), then runs the
// sender of the data kind and link kind. Returns false when it refused.
bool DispatchSend(const SendContext& c, SendDataKind kind, int linkKind, bool portOpen, RunOutcome* outcome = nullptr);

// The blood-mode code of a stored blood-type text: 1 peripheral, 2 pre-diluted, else 0.
int BloodTypeCode(const std::string& text);

}  // namespace lis
