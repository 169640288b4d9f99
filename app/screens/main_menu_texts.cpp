#include "app/screens/main_menu_texts.h"

#include <cstdio>

#include "core/app_settings.h"
#include "platform/sys/path_map.h"

std::string MenuButtonText(int id, int language) {
  switch (id) {
    case IDC_MENU_TEST: return PickText(language, "样本测试", "TEST", "Prueba", "TEST", "Аналіз");
    case IDC_MENU_SETTING: return PickText(language, "系统设置", "SETTING", "Opciones", "PARAMETRES", "Налаштування");
    case IDC_MENU_RESULTS: return PickText(language, "历史数据", "RESULTS", "RESULTADOS", "RESULTATS", "Результати");
    case IDC_MENU_SERVICE: return PickText(language, "服务", "SERVICE", "SERVICIO", "SERVICE", "Сервіс");
    case IDC_MENU_SYSINFO:
      return PickText(language, "系统信息", "SYSTEM INFO", "INF.SISTEMA", "INFO SYSTEME", "Інформація \nсистеми");
    case IDC_MENU_CALIBRATION:
      return PickText(language, "校准", "CALIBRATION", "CALIBRACIóN", "ETALONNAGE", "Калібровка");
    case IDC_MENU_QC: return PickText(language, "质控", "QC", "Control de Calidad", "CQ", "Контроль \nякості (КЯ)");
    case IDC_MENU_ABOUT: return PickText(language, "关于", "ABOUT", "ACERCA DE", "A PROPOS", "Про систему");
    default: return "";
  }
}

std::string OperatorText(int level, int language) {
  if (language < 0 || language > 4) return "";
  switch (level) {
    case 0:
      return PickText(language, "操作者: 普通用户", "Operator: General User", "Operador: Usuario General",
                      "Operateur: Utilisateur standard", "Оператор: Головний Користувач");
    case 1:
      return PickText(language, "操作者: 管理员", "Operator: Administrator", "Operador: Administrador",
                      "Operateur: Administrateur", "Оператор: Адміністратор");
    case 2:
      return PickText(language, "操作者: 工程师", "Operator: Engineer", "Operador: Ingeniero", "Operateur: Ingenieur",
                      "Оператор: Інженер");
    case 3:
      return PickText(language, "操作者: 生产", "Operator: Factory", "Operador: Fabrica", "Operateur: Factory",
                      "Оператор: Користувач");
    default: return "";
  }
}

std::string F1HintText(int language, bool clockRefresh) {
  if (language < 0 || language > 4) return "";
  return PickText(language, "    F1: 帮助", "    F1: Help", "    F1: Ayuda",
                  clockRefresh ? "    F1: Aide" : "      F1: Aide", "    F1: Допомога");
}

std::string ClockText(const sys::LocalTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "    %d-%d-%d %.2d:%.2d", t.year, t.month, t.day, t.hour, t.minute);
  return buf;
}

std::string StatusLineText(int level, int language, const sys::LocalTime& t, bool clockRefresh) {
  return OperatorText(level, language) + F1HintText(language, clockRefresh) + ClockText(t);
}

std::string ProductLineText(const std::string& productName, const std::string& produceName) {
  if (produceName.empty()) return "";
  return productName + "  " + produceName;
}

int InstrumentPictureId(const std::string& productName, int chineseEdition, float layoutScale) {
  const bool large = layoutScale > 1.0f;
  if (sys::EqualsNoCase(productName, "QX-4150")) {
    if (chineseEdition == 1) return large ? 527 : 415;
    return large ? 528 : 503;
  }
  if (sys::EqualsNoCase(productName, "KT-190")) return large ? 117 : 516;
  if (sys::EqualsNoCase(productName, "Norvik 40")) return large ? 531 : 517;
  if (sys::EqualsNoCase(productName, "VAREN 7")) return large ? 530 : 518;
  return 509;
}

MenuBackgroundRects MenuBackgroundLayout(int W, int H, float s, int L) {
  const double sd = s;
  MenuBackgroundRects r;
  const int yA = static_cast<int>(H - 26 * sd + L);
  r.bottomStrip = ui::Rect::FromSize(6, yA, static_cast<int>(W - 10 * sd - 2 * L), static_cast<int>(12 * sd));
  const int yB = static_cast<int>(yA - (53 * sd - 1));
  r.picture = ui::Rect::FromSize(6, yB, static_cast<int>(W - 10 * sd), static_cast<int>(53 * sd));
  const int yC = static_cast<int>(yB - (35 * sd - 1));
  r.upperStrip = ui::Rect::FromSize(6, yC, static_cast<int>(W - 10 * sd - 2 * L), static_cast<int>(35 * sd));
  return r;
}

std::string ShutdownQuestionText(int language) {
  return PickText(language, "确定要关机吗？", "Are you sure to shutdown?", "Quiere apagar la maquina?",
                  "Etes vous sur de faire la mise a l'arret?", "Ви впевнені, що хочете вимкнути систему?");
}
