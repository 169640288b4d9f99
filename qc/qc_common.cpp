#include "qc/qc_common.h"

#include "core/app_settings.h"
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

int SendLjResultsToLis(int fileNo) {
  // The LIS send screen takes the file and the list's picked runs once it exists; by name it
  // tells the operator that sending is not available yet.
  (void)fileNo;
  return RunScreen("CSerSend");
}

}  // namespace qc
