#include "measurement/screen/sample_test_screen_texts.h"
#include "core/screen_registry.h"

#include "core/app_settings.h"
#include "core/sample_names.h"

namespace measurement {

std::string BloodModeName(int mode, int lang) { return BloodModeText(mode > 2 ? 0 : mode, lang); }

std::string TestScreenText(ScreenText which, int l) {
  switch (which) {
    case ScreenText::Ready: return PickText(l, "就绪", "Ready", "Listo", "Pret", "Готовий");
    case ScreenText::Testing: return PickText(l, "正在测试...", "Testing...", "Probando...", "Test en cours...", "Аналіз...");
    case ScreenText::FinishTesting:
      return PickText(l, "测试完成", "Finish testing", "Prueba terminada", "Test termine", "Аналіз завершено");
    case ScreenText::AddingDiluent:
      return PickText(l, "正在加稀释液...", "Adding diluent...", "Agregando diluente...", "Ajout de diluant...",
                      "Додавання розчинника...");
    case ScreenText::HighBlankValue:
      return PickText(l, "本底值偏大", "High blank value", "Valor de blanco alta", "Valeur du blanc haut",
                      "Високі значення бланка");
    case ScreenText::TestTimeOut:
      return PickText(l, "测试超时", "Test time out", "El test ha expirado", "Temps de comptage depasse", "Таймаут тесту");
    case ScreenText::TestInProgress:
      return PickText(l, "测试未完成！", "Test in progress!", "Prueba no concluida!", "Test inacheve!", "Аналіз незавершений");
    case ScreenText::RinseInProgress:
      return PickText(l, "清洗过程尚未结束！", "Rinse procedure in progress!", "Procedimiento de enjuague en progreso!",
                      "Procedure de rincage en cours!", "Запущена процедура ополіскування");
    case ScreenText::NoSampleNoLeft:
      return PickText(l, "样本号不能超过99999999，请用资料键选择样本号!",
                      "Sample no. cannot exceed 99999999! Choose the number with Profile.",
                      "El numero de muestra no puede superar 99999999! Elija el numero con Perfil.",
                      "Le numero d'echantillon ne peut depasser 99999999! Choisissez le numero avec Profil.",
                      "Номер проби не може перевищувати 99999999! Виберіть номер кнопкою Дані.");
    case ScreenText::NoAnswer:
      return PickText(l, "前端无应答！", "The analyzer does not answer!", "¡El analizador no responde!",
                      "L'analyseur ne repond pas!", "Аналізатор не відповідає!");
    case ScreenText::RinseNoAnswer:
      return PickText(l, "前端无应答，清洗已停止！", "No reply from the analyzer, the rinse was stopped!",
                      "¡El analizador no responde, el enjuague se detuvo!",
                      "L'analyseur ne repond pas, le rincage a ete arrete!",
                      "Аналізатор не відповідає, ополіскування зупинено!");
    case ScreenText::NoSample:
      return PickText(l, "无测试样本！", "No sample!", "No utilice muestra!", "Pas d'echantillon!", "Відсутній зразок!");
    case ScreenText::TestUnfinished:
      return PickText(l, "测试未完成！", "Test unfinished!", "Prueba no concluida!", "Test inacheve!", "Аналіз незавершений");
    case ScreenText::RetestQuestion:
      return PickText(l, "确定重测样本吗?", "Are you sure to retest the sample?",
                      "iEsta seguro de volver a hacer la muestra?", "Etes-vous sur de retester l'echantillon?",
                      "Ви впевнені, що бажаєте зробити повторний аналіз зразку?");
    case ScreenText::PredilutedQuestion:
      return PickText(l, "确定在预稀释模式下测试吗?", "Are you sure to test in Pre-diluted mode?",
                      "¿Seguro que desea analizar en modo prediluido?", "Voulez-vous tester en mode pre-dilue?",
                      "Ви впевнені, що бажаєте аналіз у режимі передрозведення?");
    case ScreenText::SampleTestEvent:
      return PickText(l, "样本测试", "Sample test", "Muestra de prueba", "Tester de echantillon", "Аналіз");
    case ScreenText::ProfileWindowTitle:
      return PickText(l, "样本资料录入", "Sample profile", "Perfil de muestra", "Profile de l'echantillon", "Дані проби");
    case ScreenText::Restoring:
      return PickText(l, "正在恢复...", "Restoring...", "Restauraendo...", "Restauration...", "Відновлення");
    case ScreenText::TemperatureLow:
      return PickText(l, "温度偏低", "Temperature low", "Temperatura baja", "Temperature basse", "Низька температура");
    case ScreenText::TemperatureHigh:
      return PickText(l, "温度偏高", "Temperature high", "Temperatura alta", "Temperature haute", "Висока температура");
    case ScreenText::ApertureClogged:
      return PickText(l, "小孔堵塞", "Aperture clogged", "Apertura obstruida", "Orifice bouche", "Апертура засмічена");
    case ScreenText::ResultNotSaved:
      return PickText(l, "结果未保存", "Result not saved", "Resultado no guardado", "Résultat non enregistré",
                      "Результат не збережено");
    case ScreenText::StoreNotWritable:
      return PickText(l, "数据库无法写入，结果不会保存", "The data store cannot be written; results are not kept",
                      "No se puede escribir en la base de datos; los resultados no se guardan",
                      "La base de données ne peut pas être écrite ; les résultats ne sont pas conservés",
                      "Неможливо записати до бази даних; результати не зберігаються");
    case ScreenText::StoreNotWritableMark:
      return PickText(l, "数据库不可写", "Store not writable", "Base de datos no escribible", "Base non inscriptible",
                      "База даних недоступна для запису");
    case ScreenText::AirBubble:
      return PickText(l, "有气泡", "Air bubble", "Burbuja de aire", "Bulle d'air", "Бульбашка повітря");
    case ScreenText::RinseFinished:
      return PickText(l, "清洗完成，按吸样键继续测试样本或按“退出”退出",
                      "Rinsing finished, press aspirate key to continue with sample test or press \"Exit\" to exit",
                      "Enjuague terminado, pulse la tecla de aspiracion para seguir o \"Salir\" para salir",
                      "Rincage termine, appuyez sur la touche d'aspiration pour continuer ou sur \"Sortie\" pour sortir",
                      "Ополіскування завершено, натисніть клавішу аспірації, щоб продовжити, або \"Вихід\"");
    case ScreenText::RinseQuestion:
      return PickText(l, "系统将自动清洗，确认后请等待", "System will rinse automatically, please wait after confirmation",
                      "El sistema enjuagara automaticamente, espere tras confirmar",
                      "Le systeme va rincer automatiquement, patientez apres confirmation",
                      "Система виконає автоматичне ополіскування, зачекайте після підтвердження");
    case ScreenText::PortFailed:
      return PickText(l, "前端通信串口初始化失败！", "Failed to initialize communications COM4 port!",
                      "Error al iniciar puerto COM!", "Echec initialisation port COM communications!",
                      "Помилка з’єднання з серійним портом");
    case ScreenText::LisPortFailed:
      return PickText(l, "数据传输串口初始化失败！", "Failed to initialize transmission COM1 port!",
                      "Error al iniciar puerto COM de transmision!",
                      "Echec d'initialisation du port COM de transmission!", "Помилка ініціалізації СОМ-порта");
    case ScreenText::NotAvailable:
      return NotAvailableText(l);
    case ScreenText::RinseWindowTitle:
      return PickText(l, "清洗", "Rinse", "Enjuague", "Rincage", "Ополіскування");
    case ScreenText::MainWindowSuffix:
      return PickText(l, " 全自动血细胞分析仪", " Auto Hematology Analyzer", " Auto Hematology Analyzer",
                      " Auto Hematology Analyzer", " Автоматичний гематологічний аналізатор");
  }
  return {};
}

std::string ReportNotPrintedText(const std::string& n, int l) {
  std::string t = PickText(l, "样本 %s 的报告未打印", "The report of sample %s was not printed",
                           "El informe de la muestra %s no se imprimió",
                           "Le rapport de l'échantillon %s n'a pas été imprimé", "Звіт проби %s не надруковано");
  return t.replace(t.find("%s"), 2, n);
}

std::string CaptionText(int controlId, int l) {
  if (l < 0 || l > 4) return {};
  struct Row {
    int id;
    const char* t[5];
  };
  static const Row kRows[] = {
      {1540, {"模式(&M)", "Mode(&M)", "Modo(&M)", "Mode(&M)", "Режим(&M)"}},
      {1541, {"重测(&T)", "ReTest(&T)", "Examinar nuevamente", "Retester(&T)", "Повторний\nаналіз"}},
      {1787, {"稀释液(&L)", "Diluent(&L)", "Diluente(&L)", "Diluant(&L)", "Розчинник(&L)"}},
      {1017, {"资料(&D)", "Profile(&D)", "Perfil(&D)", "Profil(&D)", "Дані(&D)"}},
      {1043, {"打印(&P)", "Print(&P)", "Imprimir(&P)", "Imprimer(&P)", "Друк(&P)"}},
      {1796, {"维护(&S)", "Service(&S)", "Servicio(&S)", "Service(&S)", "Сервіс(&S)"}},
      {1034, {"退出(&X)", "Exit(&X)", "Salir(&X)", "Sortie(&X)", "Вихід(&X)"}},
      {1544, {"编号:", "No.:", "No.:", "No.:", "№:"}},
      {1060, {"就绪", "Ready", "Listo", "Pret", "Готовий"}},
      {1545, {"姓名:", "Name:", "Nombre:", "Nom:", "Ім'я:"}},
      {1546, {"性别:", "Sex:", "Sexo:", "Sexe:", "Стать:"}},
      {1547, {"年龄:", "Age:", "Edad:", "Age:", "Вік:"}},
  };
  for (const Row& r : kRows)
    if (r.id == controlId) return r.t[l];
  return {};
}

std::string StepFaultText(int command, int code, int l) {
  if (command == 0x60 && code == 0)
    return PickText(l, "进样针失步", "Needle missing steps", "Aguja pierde pasos", "Aiguille perd des pas", "Голка пропускає кроки");
  if (command == 0x60 && code == 1)
    return PickText(l, "进样针过步", "Needle excessive steps", "Aguja pasos excesivos", "Aiguille pas excessifs",
                    "Голка робить зайві кроки");
  if (command == 0x62 && code == 0)
    return PickText(l, "液体注射器失步", "Liquid syringe missing steps", "Jeringa de liquido pierde pasos",
                    "Seringue liquide perd des pas", "Шприц рідини пропускає кроки");
  if (command == 0x62 && code == 1)
    return PickText(l, "液体注射器过步", "Liquid syringe excessive steps", "Jeringa de liquido pasos excesivos",
                    "Seringue liquide pas excessifs", "Шприц рідини робить зайві кроки");
  return {};
}

std::string FaultBoxText(int command, int l) {
  switch (command) {
    case 0x61:
      return PickText(l, "小车检测错误！", "Carriage detection error!", "Error de deteccion del carro!",
                      "Erreur de detection du chariot!", "Помилка виявлення каретки!");
    case 0x63:
      return PickText(l, "压力注射器异常！", "Pressure syringe abnormal!", "Jeringa de presion anormal!",
                      "Seringue de pression anormale!", "Несправність шприца тиску!");
    case 0x90:
    case 0x91:
      return PickText(l, "进样针故障！", "Needle malfunction!", "Fallo de la aguja!", "Defaillance de l'aiguille!",
                      "Несправність голки!");
  }
  return {};
}

std::string FaultLogText(int command) {
  switch (command) {
    case 0x61: return "Carriage detection error";
    case 0x63: return "Pressure syringe abnormal";
    case 0x90:
    case 0x91: return "Needle malfunction";
  }
  return {};
}

std::string FaultCodeBoxText(int code, int l) {
  switch (code) {
    case 1:
      return PickText(l, "压力注射器光耦错误！", "The optical coupler of pressure syringe error!",
                      "Error del optoacoplador de la jeringa de presion!", "Erreur du coupleur optique de la seringue de pression!",
                      "Помилка оптопари шприца тиску!");
    case 2:
      return PickText(l, "液体注射器异常！", "Liquid syringe abnormal!", "Jeringa de liquido anormal!",
                      "Seringue liquide anormale!", "Несправність шприца рідини!");
    case 3: return PickText(l, "小车异常！", "Carriage abnormal!", "Carro anormal!", "Chariot anormal!", "Несправність каретки!");
    case 4: return FaultBoxText(0x91, l);
    case 5: return FaultBoxText(0x63, l);
  }
  return {};
}

std::string FaultCodeLogText(int code) {
  switch (code) {
    case 1: return "The optical coupler of pressure syringe error";
    case 2: return "Liquid syringe abnormal";
    case 3: return "Carriage abnormal";
    case 4: return "Needle malfunction";
    case 5: return "Pressure syringe abnormal";
  }
  return {};
}

}  // namespace measurement
