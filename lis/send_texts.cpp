#include "lis/send_texts.h"

#include "core/app_settings.h"
#include "lis/lis_send.h"

namespace lis {

std::string LisText(SendText w, int l) {
  switch (w) {
    case SendText::Sending: return PickText(l, "正在传送...", "Sending...", "Enviando...", "Envoi...", "Відправка...");
    case SendText::Finished: return PickText(l, "传送完成", "Finished", "Finalizada", "Terminee", "Завершено");
    case SendText::SendAgain:
      return PickText(l, "重新传送(&S)", "Send again(&S)", "Enviar otra vez(&S)", "Envoyez encore(&S)",
                      "Повторна відправка(&S)");
    case SendText::NoDataSelected:
      return PickText(l, "没有选定的数据", "No data selected!", "No existen datos seleccionados!",
                      "Non donnees selectionne!", "Дані не вибрані!");
    case SendText::Timeout:
      return l == 0 ? "样本数据通信应答超时！" : "Sample data communication response timeout!";
    case SendText::NotConnected:
      return PickText(l, "未连接LIS", "Fail to connect to LIS", "El fracaso", "L'échec", "Помилка з’єднання з LIS");
    case SendText::PortInitFailed:
      return PickText(l, "串口初始化失败！", "Failed to initialize COM port!", "Error al iniciar puerto COM!",
                      "Echec d'initialisation du port COM!", "Помилка з’єднання з серійним портом");
    case SendText::PortNotOpen:
      return PickText(l, "串口初始化失败！", "Failed to initialize communications COM port!",
                      "Error al iniciar puerto COM!", "Echec initialisation port COM communications!",
                      "Помилка з’єднання з серійним портом");
    case SendText::Rejected:
      return PickText(l, "LIS拒收了数据", "The LIS rejected the data", "El LIS rechazó los datos",
                      "Le LIS a refusé les données", "LIS відхилила дані");
    case SendText::SendFailed:
      return PickText(l, "发送到LIS失败", "Sending to the LIS failed", "Falló el envío al LIS",
                      "L'envoi au LIS a échoué", "Не вдалося надіслати до LIS");
    case SendText::LinkLost:
      return PickText(l, "与LIS的连接中断", "The connection to the LIS was lost", "Se perdió la conexión con el LIS",
                      "La connexion au LIS a été perdue", "З’єднання з LIS втрачено");
    case SendText::Stopped:
      return PickText(l, "传送未完成", "Not all data was sent", "No se enviaron todos los datos",
                      "Toutes les données n'ont pas été envoyées", "Не всі дані надіслано");
    case SendText::NotTakenFrom:
      return PickText(l, "LIS不再接收数据，从此项起未发送：", "The LIS took no more data; not sent from: ",
                      "El LIS no aceptó más datos; no enviado desde: ",
                      "Le LIS n'a plus accepté de données ; non envoyé à partir de : ",
                      "LIS більше не приймає дані; не надіслано, починаючи з: ");
    case SendText::LoadZentilFailed: return "Load Zentil.dll failed!";
    case SendText::LogEvent:
      return PickText(l, "LIS传送", "LIS sending", "Envío al LIS", "Envoi au LIS", "Надсилання до LIS");
    case SendText::NotComputedLeftOut:
      return PickText(l, "结果尚未计算，未发送：", "Result not computed yet, not sent: ",
                      "Resultado aún no calculado, no enviado: ", "Résultat pas encore calculé, non envoyé : ",
                      "Результат ще не обчислено, не надіслано: ");
    case SendText::SelectedData:
      return PickText(l, "选定数据", "Selected Data", "Datos seleccionados", "Donnees selectionnees", "Обрані дані");
    case SendText::AllData: return PickText(l, "全部数据", "All Data", "Todos los datos", "Toutes les donnees", "Всі дані");
    case SendText::Send: return PickText(l, "开始传送(&S)", "Send(&S)", "Enviar(&S)", "Envoyer(&S)", "ВІдправити(&S)");
    case SendText::Exit: return PickText(l, "退出(&X)", "Exit(&X)", "Salir(&X)", "Quitter(&X)", "Вихід(&X)");
  }
  return std::string();
}

std::string SendOutcomeText(const SendResult& r, int language) {
  switch (r.outcome) {
    case SendOutcome::Delivered:
    case SendOutcome::Sent: return std::string();
    case SendOutcome::NotConnected: return LisText(SendText::NotConnected, language);
    case SendOutcome::SendFailed: return LisText(SendText::SendFailed, language);
    case SendOutcome::Rejected:
      // The LIS's own condition when it gave one; our internal code means nothing to anyone.
      return LisText(SendText::Rejected, language) + (r.condition.empty() ? std::string() : " (" + r.condition + ")");
    case SendOutcome::NoReply: return LisText(SendText::Timeout, language);
    case SendOutcome::LinkLost: return LisText(SendText::LinkLost, language);
  }
  return std::string();
}

}  // namespace lis
