#include "qc/qc_settings_lis.h"

#include "core/app_settings.h"
#include "core/look.h"
#include "core/lis_link_state.h"
#include "core/value_format.h"
#include "lis/stored_send.h"
#include "platform/ui/message_box.h"
#include "qc/lj_settings_input.h"
#include "qc/qc_common.h"

namespace qc {
namespace {

// The LIS reads "^" as a component separator: units go out with "x" in its place (10x9/L).
std::string UnitForMessage(std::string u) {
  for (char& c : u)
    if (c == '^') c = 'x';
  return u;
}

}  // namespace

lis::QcMessageRecord LjSettingsLisRecord(const LjFileSettings& s, const std::array<std::string, 20>& units) {
  lis::QcMessageRecord r;
  r.identity1 = StrPrintf("%d", s.fileNo);
  r.identity2 = s.batchNo;
  r.identity3 = s.expDate;
  for (int p = 0; p < 20; ++p) {
    r.units[p] = UnitForMessage(units[p]);
    r.limits[2 * p] = SettingValueText(s.targets[p]);
    r.limits[2 * p + 1] = SettingValueText(s.limits[p]);
  }
  return r;
}

lis::QcMessageRecord XbSettingsLisRecord(const std::array<float, 40>& values, const std::array<std::string, 20>& units) {
  lis::QcMessageRecord r;
  for (int p = 0; p < 20; ++p) r.units[p] = UnitForMessage(units[p]);
  for (int i = 0; i < 40; ++i) r.limits[i] = StrPrintf("%.2f", static_cast<double>(values[i]));
  return r;
}

lis::QcMessageRecord XrSettingsLisRecord(int fileNo, const std::string& batch, const std::string& expDate,
                                         const std::array<std::string, 20>& units) {
  lis::QcMessageRecord r;
  r.identity1 = StrPrintf("%d", fileNo);
  r.identity2 = batch;
  r.identity3 = expDate;
  for (int p = 0; p < 20; ++p) r.units[p] = units[p];
  return r;
}

std::string TransferFinishedText(int l) {
  return PickText(l, "数据传输完成!", "Data transfer finished!", "Transferencia de datos terminada!", "Transfert des donnees termine!",
                  "Передачу даних завершено!");
}

std::string TransferFailedText(int l) {
  return PickText(l, "数据发送失败!", "Data transfer failed!", "Fallo en la transferencia de datos!", "Echec du transfert des donnees!",
                  "Помилка передачі даних!");
}

std::string NoDataInFileText(int l) {
  return PickText(l, "当前质控文件无数据!", "No data in current QC file!", "No hay datos en el archivo de QC actual!",
                  "Pas de donnees dans le fichier CQ actuel!", "Немає даних у поточному файлі КЯ!");
}

SettingsSendResult SendSettingsToLis(ui::Window* owner, const lis::LisMessage& message, int language) {
  if (!LisLinkState.LisConnected.load()) {
    QcMessage(owner, "Fail to connect LIS", ui::MB_OK);
    return SettingsSendResult::NotConnected;
  }
  const lis::SendResult r = lis::SendLisMessage(message, lis::ReplyWaitMs());
  if (r.delivered()) {
    QcMessage(owner, TransferFinishedText(language), ui::MB_ICONINFORMATION);
    return SettingsSendResult::Finished;
  }
  if (r.outcome == lis::SendOutcome::NotConnected) {
    QcMessage(owner, "Fail to connect LIS", ui::MB_OK);
    return SettingsSendResult::NotConnected;
  }
  QcMessage(owner, TransferFailedText(language) + "\n" + lis::SendOutcomeText(r, language), ui::MB_ICONWARNING);
  return SettingsSendResult::Failed;
}

bool OpenSettingsLisPort(ui::Window* owner, CADOConn& conn, std::unique_ptr<analyzer::CSerialPort>& port,
                         ui::Window& sendButton, int lang) {
  if (port) return true;
  port = OpenLisTextPort(conn, owner);
  if (port) return true;
  sendButton.EnableWindow(false);
  QcMessage(owner, PickText(lang, "初始化通讯串口失败!", "Failed to initialize communications COM port!",
                            "Error al inicializar el puerto COM!", "Echec de l'initialisation du port COM!",
                            "Не вдалося ініціалізувати COM-порт!"),
            ui::MB_OK);
  return false;
}

void QueueSettingsRecord(ui::Window* owner, analyzer::CSerialPort& port, const std::string& record, int lang) {
  if (!port.QueueWriteString(record, lang)) {
    QcMessage(owner, TransferFailedText(lang), ui::MB_ICONWARNING);
    return;
  }
  QcMessage(owner, TransferFinishedText(lang), ui::MB_ICONINFORMATION);
}

}  // namespace qc
