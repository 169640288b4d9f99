#include "settings/limits_send.h"

#include "analyzer/serial_port.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/lis_link_state.h"
#include "core/param_order.h"
#include "core/value_format.h"
#include "lis/lis_send.h"
#include "lis/link_settings.h"
#include "lis/send_texts.h"
#include "lis/stored_send.h"
#include "lis/text_records.h"
#include "measurement/flagging.h"
#include "platform/ui/message_box.h"

namespace settings {
namespace {

std::string TransferFinishedText(int l) {
  return PickText(l, "数据传输完成!", "Data transfer finished!", "Transferencia de datos terminada!",
                  "Transfert des donnees termine!", "Передачу даних завершено!");
}

std::string NoLisConnectionText(int l) {
  return PickText(l, "连接LIS失败", "Fail to connect LIS", "Error al conectar con el LIS", "Echec de connexion au LIS",
                  "Помилка з’єднання з LIS");
}

std::string NoAcknowledgementText(int l) {
  return PickText(l, "LIS没有应答，数据未发送！", "The LIS did not acknowledge the data: it was not sent!",
                  "El LIS no confirmo los datos: no se enviaron!", "Le LIS n'a pas confirme les donnees: non envoyees!",
                  "LIS не підтвердила дані: їх не надіслано!");
}

LimitsSendReport Report(LimitsSendOutcome outcome, std::string message, unsigned icon) {
  LimitsSendReport r;
  r.outcome = outcome;
  r.message = std::move(message);
  r.icon = icon;
  return r;
}

// Why a message did not reach the LIS, in the operator's words.
std::string NotDeliveredText(const lis::SendResult& r, int l) {
  switch (r.outcome) {
    case lis::SendOutcome::NotConnected: return NoLisConnectionText(l);
    case lis::SendOutcome::NoReply: return NoAcknowledgementText(l);
    default: return lis::SendOutcomeText(r, l);
  }
}

}  // namespace

LimitsLisPort::LimitsLisPort() = default;

LimitsLisPort::~LimitsLisPort() {
  if (port_) port_->Close();
}

bool LimitsLisPort::Open(CADOConn& conn) {
  if (open_) return true;
  const lis::SerialIndices s = lis::LoadSerialIndices(conn);
  if (!port_) port_ = std::make_unique<analyzer::CSerialPort>();
  open_ = port_->Open(analyzer::ByteSink(), 1, lis::BaudOf(s.baud), lis::ParityOf(s.parity), lis::DataBitsOf(s.dataBits),
                      lis::StopBitsOf(s.stopBits), analyzer::kEvRxChar | analyzer::kEvCts, 512) == 1 &&
          port_->StartReader() == 1;
  if (!open_) port_->Close();
  return open_;
}

std::string LimitsGroupNameForLis(int kind, int language) { return measurement::GroupName(kind, language == 0 ? 0 : 1); }

lis::QcMessageRecord LimitsMessageRecord(const std::string& groupName, const std::string units[20],
                                         const float pairs[40]) {
  lis::QcMessageRecord r;
  r.identity1 = groupName;
  std::string u[20];
  for (int i = 0; i < 20; ++i) u[i] = units[i];
  ReorderParamTextsForStore(u);
  for (int i = 0; i < 20; ++i) {
    for (char& c : u[i])
      if (c == '^') c = 'x';
    r.units[i] = u[i];
  }
  float t[40];
  for (int i = 0; i < 40; ++i) t[i] = pairs[i];
  ReorderLimitPairsForStore(t);
  for (int i = 0; i < 40; ++i) r.limits[i] = StrPrintf("%.2f", t[i]);
  return r;
}

LimitsSendReport SendLimitsToLis(CADOConn& conn, LimitsLisPort& port, LimitTable table, int kind, int linkKind,
                                 const std::string units[20], const std::string texts[40], int l, float pairs[40]) {
  // The link first: a port that does not open or a link that is down ends the send before the
  // entries are looked at.
  if (linkKind == 0 && !port.Open(conn))
    return Report(LimitsSendOutcome::PortFailed, lis::LisText(lis::SendText::PortNotOpen, l),
                  l == 0 ? ui::MB_ICONWARNING : ui::MB_OK);
  if (linkKind == 1 && LisLinkState.LisConnected.load() != 1)
    return Report(LimitsSendOutcome::NotConnected, NoLisConnectionText(l), ui::MB_OK);
  float checked[40];
  const std::string refused = CheckLimitEntries(texts, l, checked);
  if (!refused.empty()) return Report(LimitsSendOutcome::Refused, refused, ui::MB_ICONWARNING);
  for (int i = 0; i < 40; ++i) pairs[i] = checked[i];
  const std::string group = LimitsGroupNameForLis(kind, l);
  if (linkKind == 0) {
    if (!lis::QueueRecord(*port.Port(), LimitsTextRecord(table, group, units, pairs, l)))
      return Report(LimitsSendOutcome::NotSent, lis::LisText(lis::SendText::SendFailed, l), ui::MB_ICONERROR);
    return Report(LimitsSendOutcome::Sent, TransferFinishedText(l), ui::MB_ICONINFORMATION);
  }
  if (linkKind == 1) {
    const lis::QcMessageRecord record = LimitsMessageRecord(group, units, pairs);
    const lis::LisMessage m =
        table == LimitTable::kNormal ? lis::BuildNormalLimitsMessage(record) : lis::BuildPathologyLimitsMessage(record);
    const lis::SendResult r = lis::SendLisMessage(m, lis::ReplyWaitMs());
    if (!r.delivered()) return Report(LimitsSendOutcome::NotSent, NotDeliveredText(r, l), ui::MB_ICONERROR);
    return Report(LimitsSendOutcome::Sent, TransferFinishedText(l), ui::MB_ICONINFORMATION);
  }
  return Report(LimitsSendOutcome::NotSent, lis::LisText(lis::SendText::SendFailed, l), ui::MB_ICONERROR);
}

}  // namespace settings
