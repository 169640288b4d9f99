#include "qc/qc_common.h"

#include "analyzer/serial_window_sink.h"
#include "controls/grid/grid_ctrl.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/screen_registry.h"
#include "core/write_log.h"
#include "platform/ui/message_box.h"

namespace qc {

int QcMessage(ui::Window* owner, const std::string& text, unsigned type) {
  if (AppSettings.LanguageIndex == 0) WriteLog(text);
  return ui::MessageBox(owner, text, AppSettings.ProductName, type);
}

std::string HelpButtonText(int l) { return PickText(l, "帮助(&H)", "Help(&H)", "Ayuda(&H)", "Aide(&H)", "Допомога(&H)"); }
std::string DeleteButtonText(int l) {
  return PickText(l, "删除(&D)", "Delete(&D)", "Borrar(&D)", "Effacer(&D)", "Видалити(&D)");
}
std::string PrintButtonText(int l) {
  return PickText(l, "打印(&P)", "Print(&P)", "Imprimir(&P)", "Imprimer(&P)", "Друк(&P)");
}
std::string SendButtonText(int l) {
  return PickText(l, "发送(&S)", "Send(&S)", "Enviar(&S)", "Envoyer(&S)", "Надіслати(&S)");
}

std::string NoQcDataText(int l) {
  return PickText(l, "无质控数据!", "No QC data!", "Sin datos de QC!", "Pas de donnees CQ!", "Немає даних КЯ!");
}

std::string BoardFaultText(uint8_t command, uint8_t code, int l, bool* error) {
  const std::string needle =
      PickText(l, "进样针异常!", "Needle abnormal!", "Aguja anormal!", "Aiguille anormale!", "Несправність голки!");
  *error = false;
  if (command == 0x90 || command == 0x91) return needle;
  if (command >= 0x01 && command <= 0x03) return "";
  *error = true;
  switch (code) {
    case 2: return PickText(l, "液体注射器异常!", "Liquid syringe abnormal!", "Jeringa de liquido anormal!", "Seringue liquide anormale!",
                            "Несправність шприца рідини!");
    case 3: return PickText(l, "小车异常!", "Carriage abnormal!", "Carro anormal!", "Chariot anormal!", "Несправність каретки!");
    case 4:
      *error = l != 3 && l != 4;  // French and Ukrainian show the needle as a warning
      return needle;
    case 5: return PickText(l, "压力注射器异常!", "Pressure syringe abnormal!", "Jeringa de presion anormal!",
                            "Seringue de pression anormale!", "Несправність шприца тиску!");
    default: break;
  }
  *error = false;
  return "";
}

std::unique_ptr<analyzer::CSerialPort> OpenLisTextPort(CADOConn& conn, ui::Window* owner) {
  static const unsigned kBauds[6] = {9600, 19200, 38400, 57600, 115200, 230400};
  static const unsigned kBits[4] = {5, 6, 7, 8};
  static const wchar_t kParity[5] = {L'N', L'E', L'O', L'M', L'S'};
  static const unsigned kStop[2] = {1, 2};
  int32_t baud = 4, bits = 3, parity = 0, stop = 0;
  RecordsetPtr& rs = conn.OpenRecordset("Select * from CommSet");
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    ReadField(*rs, "Bauds", baud);
    ReadField(*rs, "DataBits", bits);
    ReadField(*rs, "Parity", parity);
    ReadField(*rs, "StopBits", stop);
  }
  conn.CloseRecordset();
  auto pick = [](int32_t i, int32_t n, int32_t d) { return i >= 0 && i < n ? i : d; };
  auto port = std::make_unique<analyzer::CSerialPort>();
  if (!port->Open(analyzer::WindowByteSink(owner), 1, kBauds[pick(baud, 6, 4)], kParity[pick(parity, 5, 0)],
                  kBits[pick(bits, 4, 3)], kStop[pick(stop, 2, 0)], 9, 512))
    return nullptr;
  port->StartReader();
  return port;
}

int SendQcRunsToLis(lis::SendDataKind kind, CGridCtrl& grid, int fileNo, int firstRun, int lastRun) {
  std::vector<int> kept;
  for (int c : grid.GetPickedColumns())
    if (c >= firstRun && c <= lastRun) kept.push_back(c);
  grid.SetPickedColumns(std::move(kept));
  return lis::RunSendScreen(lis::SendSource{kind, &grid, fileNo});
}

std::string ResultNotSavedText(int l) {
  return PickText(l, "结果保存失败!", "The result could not be saved!", "No se pudo guardar el resultado!",
                  "Le resultat n'a pas pu etre enregistre!", "Результат не вдалося зберегти!");
}

bool ConfirmDeleteAll(ui::Window* owner, int lang) {
  return QcMessage(owner,
                   PickText(lang, "确定删除所有质控数据?", "Are you sure to delete all the QC data?",
                            "Seguro que desea borrar todos los datos de QC?", "Voulez-vous vraiment effacer toutes les donnees CQ?",
                            "Ви впевнені, що хочете видалити всі дані КЯ?"),
                   ui::MB_OKCANCEL | ui::MB_ICONQUESTION) == ui::IDOK;
}

bool ConfirmDeleteSelected(ui::Window* owner, int lang) {
  return QcMessage(owner,
                   PickText(lang, "确定删除选中的数据?", "Are you sure to delete selected data?",
                            "Seguro que desea borrar los datos seleccionados?",
                            "Voulez-vous vraiment effacer les donnees selectionnees?", "Ви впевнені, що хочете видалити вибрані дані?"),
                   ui::MB_OKCANCEL | ui::MB_ICONQUESTION) == ui::IDOK;
}

std::string LogicalRangeText(int lang) {
  return PickText(lang, "请选择合理的范围!", "Please select a logical range!", "Por favor seleccione un rango logico!",
                  "Veuillez selectionner une plage logique!", "Будь ласка, виберіть правильний діапазон!");
}

}  // namespace qc
