#pragma once
// The texts of the LIS senders and the send screen, by language (0 Chinese, 1 English,
// 2 Spanish, 3 French, 4 Ukrainian).
#include <string>

namespace lis {

enum class SendText {
  Sending,           // status while sending
  Finished,          // status at the end
  SendAgain,         // the Send button after a run
  NoDataSelected,    // the selected scope without a selection
  Timeout,           // no reply in time (English outside Chinese)
  NotConnected,      // "Fail to connect to LIS"
  PortInitFailed,    // the send screen's port did not open
  PortNotOpen,       // Send with the serial link and no port
  Rejected,          // the LIS refused a message (AE, AR, another control id)
  SendFailed,        // the message could not be written
  LinkLost,          // the link went down during a run
  Stopped,           // a run that ended before its last item
  NotTakenFrom,      // the serial LIS stopped taking data; followed by the first item not sent
  LoadZentilFailed,  // the algorithm library could not be loaded
  LogEvent,          // the system log's event of LIS sending
  NotComputedLeftOut,  // rows of counts not computed yet, left out; followed by their sample numbers
  SelectedData,
  AllData,
  Send,
  Exit,
};
std::string LisText(SendText which, int language);

}  // namespace lis
