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

int SendLjResultsToLis(int fileNo) {
  // The LIS send screen takes the file and the list's picked runs once it exists; by name it
  // tells the operator that sending is not available yet.
  (void)fileNo;
  return RunScreen("CSerSend");
}

}  // namespace qc
