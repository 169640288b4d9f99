// What the link installs in the layers below it while its threads run: the alarm sender of the
// log line writer, the order-query sender of the patient and test screens and the automatic
// sending of the result hand-off.
#include "core/lis_link_state.h"
#include "core/write_log.h"
#include "lis/auto_send.h"
#include "lis/hl7_messages.h"
#include "lis/lis_link.h"
#include "measurement/patient/lis_profile.h"
#include "measurement/result_save.h"

namespace lis {

void InstallLinkHooks() {
  SetAlarmSender([](const AlarmRecord& record) { QueueAlarm(record); });
  measurement::SetLisOrderQuerySender([](const std::string& sampleNo) { return QueueOrderQuery(sampleNo); });
  measurement::SetSendHandOffEntry([](const measurement::HandOffSnapshot& s) { return StartAutomaticSend(s); });
}

void RemoveLinkHooks() {
  SetAlarmSender(nullptr);
  measurement::SetLisOrderQuerySender(nullptr);
  measurement::SetSendHandOffEntry(nullptr);
  WaitAutomaticSends();
}

}  // namespace lis
