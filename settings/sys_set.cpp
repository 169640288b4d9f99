#include "settings/sys_set.h"

#include "analyzer/sequences/process_values.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/app_startup.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/screen_registry.h"
#include "core/value_format.h"
#include "platform/sys/host.h"
#include "platform/sys/process.h"
#include "platform/sys/shell_open.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "printing/r_print_helper.h"
#include "settings/limit_tables.h"
#include "settings/sys_set_rules.h"

namespace {

using settings::SystemSettingsValues;

const int kClockIds[6] = {IDC_SS_YEAR, IDC_SS_MONTH, IDC_SS_DAY, IDC_SS_HOUR, IDC_SS_MINUTE, IDC_SS_SECOND};

ui::DialogTemplate SysSetTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP, G = ui::WS_GROUP;
  const uint32_t R = V | TS | ui::BS_AUTORADIOBUTTON, C = V | TS | ui::BS_AUTOCHECKBOX;
  const uint32_t E = V | TS | ui::WS_BORDER | ui::ES_AUTOHSCROLL, L = V | ui::SS_LEFT;
  const uint32_t CB = V | TS | ui::CBS_DROPDOWNLIST | ui::WS_VSCROLL, B = V | TS;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.caption = " Sys.Setting";
  t.Add("Button", IDC_SS_FRAME_PRINTER, "", 4, 2, 312, 46, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_SS_INTERNAL, "Internal Printer", 10, 10, 72, 10, R | G);
  t.Add("Button", IDC_SS_EXTERNAL, "External Printer", 84, 10, 72, 10, R);
  t.Add("Static", IDC_SS_PRINTER_LABEL, "External Printer", 158, 11, 44, 8, L | G);
  t.Add("ComboBox", IDC_SS_PRINTER_NAME, "", 204, 9, 62, 80, CB);
  t.Add("Button", IDC_SS_PRINTER_PROPS, "Printer properties", 268, 7, 44, 16, B | ui::BS_MULTILINE);
  t.Add("Static", IDC_SS_FORMAT_LABEL, "Printout", 10, 30, 34, 8, L);
  t.Add("ComboBox", IDC_SS_FORMAT, "", 46, 28, 138, 80, CB);
  t.Add("Static", IDC_SS_ITEMS_LABEL, "Print items", 188, 30, 40, 8, L);
  t.Add("Button", IDC_SS_ITEMS_SET, "Set", 226, 27, 26, 14, B);
  t.Add("Button", IDC_SS_PRINT_INSTANT, "Print instantly", 256, 27, 58, 18, C | ui::BS_MULTILINE);

  t.Add("Button", IDC_SS_FRAME_GENERAL, "", 4, 50, 196, 96, V | ui::BS_GROUPBOX);
  t.Add("Static", IDC_SS_HOSPITAL_LABEL, "Hospital", 10, 58, 70, 8, L);
  t.Add("Edit", IDC_SS_HOSPITAL, "", 82, 56, 112, 12, E);
  t.Add("Static", IDC_SS_STANDBY_LABEL, "Standby time(mn)", 10, 74, 70, 8, L);
  t.Add("Edit", IDC_SS_STANDBY, "", 82, 72, 40, 12, E);
  t.Add("Static", IDC_SS_CLEAN_LABEL, "Clean Freq(times)", 10, 90, 70, 8, L);
  t.Add("Edit", IDC_SS_CLEAN, "", 82, 88, 40, 12, E);
  t.Add("Static", IDC_SS_HEADER_LABEL, "Entire-page-print page header space", 10, 104, 110, 18, L);
  t.Add("Edit", IDC_SS_HEADER, "", 122, 106, 30, 12, E);
  t.Add("Static", IDC_SS_HEADER_UNIT, "mm", 156, 108, 16, 8, L);
  t.Add("Static", IDC_SS_LANGUAGE_LABEL, "Language", 10, 128, 70, 8, L);
  t.Add("ComboBox", IDC_SS_LANGUAGE, "", 82, 126, 90, 80, CB);

  t.Add("Button", IDC_SS_FRAME_SWITCHES, "", 204, 50, 112, 96, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_SS_STARTUP_BLANK, "Startup Blank Test", 210, 60, 104, 10, C | G);
  t.Add("Button", IDC_SS_STARTUP_CLEAN, "Startup Clean", 210, 80, 104, 10, C);
  t.Add("Button", IDC_SS_PREDILUTE_INFORM, "Pre-diluted test mode inform", 210, 100, 104, 18, C | ui::BS_MULTILINE);
  t.Add("Button", IDC_SS_TRANSMIT_INSTANT, "Transmit instantly", 210, 124, 104, 10, C);

  t.Add("Button", IDC_SS_FRAME_MODES, "", 4, 148, 152, 42, V | ui::BS_GROUPBOX);
  t.Add("Static", IDC_SS_ALARM_LABEL, "Reagent Alarm", 10, 156, 52, 8, L);
  t.Add("Button", IDC_SS_ALARM_SOFTWARE, "Software", 64, 156, 44, 10, R | G);
  t.Add("Button", IDC_SS_ALARM_HARDWARE, "Hardware", 108, 156, 46, 10, R);
  t.Add("Static", IDC_SS_MODE_LABEL, "Test Default Mode:", 10, 174, 52, 8, L | G);
  t.Add("Button", IDC_SS_MODE_WHOLE, "Whole blood", 64, 174, 44, 10, R | G);
  t.Add("Button", IDC_SS_MODE_PREDILUTED, "Pre-diluted", 108, 174, 46, 10, R);

  t.Add("Button", IDC_SS_FRAME_TIME, "", 158, 148, 158, 42, V | ui::BS_GROUPBOX);
  t.Add("Static", IDC_SS_TIME_LABEL, "Time", 162, 152, 40, 8, L | G);
  const int xs[6] = {162, 196, 222, 248, 274, 300};
  const int ws[6] = {24, 14, 14, 14, 14, 14};
  const char* letters[6] = {"Y", "M", "D", "H", "M", "S"};
  for (int i = 0; i < 6; ++i) {
    t.Add("Static", IDC_SS_Y_LABEL + i, letters[i], xs[i], 162, 10, 8, L);
    t.Add("Edit", kClockIds[i], "", xs[i], 172, ws[i], 12, E);
    if (i < 5) t.Add("UpDown", IDC_SS_YEAR_SPIN + i, "", xs[i] + ws[i], 172, 8, 12, kBuddyNumberSpinStyle);
  }

  t.Add("Button", IDC_SS_FRAME_BUTTONS, "", 4, 192, 312, 44, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_SS_SAVE, "Save(&S)", 10, 200, 46, 30, B | G);
  t.Add("Button", IDC_SS_OTHER, "Other(&O)", 60, 200, 46, 30, B);
  t.Add("Button", IDC_SS_TOUCH, "TouchScreen\n(&T)", 110, 200, 46, 30, B | ui::BS_MULTILINE);
  t.Add("Button", IDC_SS_HELP, "Help(&H)", 160, 200, 46, 30, B);
  t.Add("Button", IDC_SS_KEYBOARD, "KBD", 214, 208, 24, 14, B);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 264, 200, 46, 30, B);
  return t;
}

void SetRadio(CXPRadioButton& r, bool on) {
  r.checked = on;
  r.SetCheck(on ? 1 : 0);
  if (r.IsWindow()) r.Invalidate();
}

void SetBox(CXPCheckButton& c, bool on) {
  c.checked = on;
  if (c.IsWindow()) c.Invalidate();
}

}  // namespace

CSysSet::CSysSet(ui::Window* parent) : ui::Dialog(IDD_SYS_SET, parent) {
  if (!ui::Resources::FindDialog(IDD_SYS_SET)) ui::Resources::AddDialog(IDD_SYS_SET, SysSetTemplate());
}

void CSysSet::DoDataExchange(ui::DataExchange& dx) {
  const int frameIds[6] = {IDC_SS_FRAME_PRINTER, IDC_SS_FRAME_GENERAL, IDC_SS_FRAME_SWITCHES,
                           IDC_SS_FRAME_MODES,   IDC_SS_FRAME_TIME,    IDC_SS_FRAME_BUTTONS};
  for (int i = 0; i < 6; ++i) ui::ExchangeControl(dx, frameIds[i], frames_[i]);
  ui::ExchangeControl(dx, IDC_SS_INTERNAL, internal_);
  ui::ExchangeControl(dx, IDC_SS_EXTERNAL, external_);
  ui::ExchangeControl(dx, IDC_SS_ALARM_SOFTWARE, alarmSoftware_);
  ui::ExchangeControl(dx, IDC_SS_ALARM_HARDWARE, alarmHardware_);
  ui::ExchangeControl(dx, IDC_SS_MODE_WHOLE, modeWhole_);
  ui::ExchangeControl(dx, IDC_SS_MODE_PREDILUTED, modePrediluted_);
  ui::ExchangeControl(dx, IDC_SS_PRINT_INSTANT, printInstant_);
  ui::ExchangeControl(dx, IDC_SS_STARTUP_BLANK, startupBlank_);
  ui::ExchangeControl(dx, IDC_SS_STARTUP_CLEAN, startupClean_);
  ui::ExchangeControl(dx, IDC_SS_PREDILUTE_INFORM, prediluteInform_);
  ui::ExchangeControl(dx, IDC_SS_TRANSMIT_INSTANT, transmitInstant_);
  ui::ExchangeControl(dx, IDC_SS_PRINTER_NAME, printerNames_);
  ui::ExchangeControl(dx, IDC_SS_FORMAT, format_);
  ui::ExchangeControl(dx, IDC_SS_LANGUAGE, language_);
  for (int i = 0; i < 5; ++i) ui::ExchangeControl(dx, IDC_SS_YEAR_SPIN + i, spins_[i]);
  ui::ExchangeControl(dx, IDC_SS_SAVE, save_);
  ui::ExchangeControl(dx, IDC_SS_OTHER, other_);
  ui::ExchangeControl(dx, IDC_SS_TOUCH, touch_);
  ui::ExchangeControl(dx, IDC_SS_HELP, help_);
  ui::ExchangeControl(dx, IDC_SS_ITEMS_SET, itemsSet_);
  ui::ExchangeControl(dx, IDC_SS_PRINTER_PROPS, printerProps_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, IDC_SS_KEYBOARD, keyboard_);
}

bool CSysSet::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  const int ranges[5][2] = {{2013, 2050}, {0, 12}, {0, 31}, {0, 23}, {0, 59}};
  for (int i = 0; i < 5; ++i) {
    spins_[i].SetBuddy(GetDlgItem(kClockIds[i]));
    spins_[i].SetRange(ranges[i][0], ranges[i][1]);
    spins_[i].SetBitmaps(420, 421, 422);
  }
  SendDlgItemMessage(IDC_SS_YEAR, ui::EM_LIMITTEXT, 4);
  for (int i = 1; i < 6; ++i) SendDlgItemMessage(kClockIds[i], ui::EM_LIMITTEXT, 2);
  SendDlgItemMessage(IDC_SS_HOSPITAL, ui::EM_LIMITTEXT, 50);
  std::string clock[6];
  settings::ClockFieldTexts(sys::Clock::Now(), clock);
  for (int i = 0; i < 6; ++i) SetDlgItemText(kClockIds[i], clock[i]);
  for (int i = 0; i < 3; ++i) shownDate_[i] = clock[i];
  SetTimer(1, 1000);

  values_ = SystemSettingsValues{};
  values_.language = AppSettings.LanguageIndex;
  settings::ReadSystemSettings(conn_, &values_);
  values_.language = AppSettings.LanguageIndex;  // the language in force, not the stored one
  AppSettings.PrintPageHeader = static_cast<uint16_t>(values_.pageHeader);
  pageHeaderText_ = StrPrintf("%d", values_.pageHeader);
  savedAlarmType_ = values_.reagentAlarmType;
  openedCleanFrequency_ = values_.cleanFrequency;
  savedPrinterKind_ = values_.printer;
  lastFormatIndex_ = values_.printFormat;
  if (values_.printer == 1) FillPrinterNames();

  language_.ResetContent();
  for (const std::string& e : settings::LanguageEntries(AppSettings.ChineseEdition != 0)) language_.AddString(e);
  language_.SetCurSel(settings::EntryOfLanguage(AppSettings.LanguageIndex, AppSettings.ChineseEdition != 0));

  ApplyLanguageTexts();
  ShowValues();
  for (CXPComboBox* box : {&printerNames_, &format_, &language_}) box->SetBitmaps(393, 394, 396);
  // A PC set up in Chinese has no start-up cleaning switch.
  if (ChineseEditionFromSystemLanguage()) startupClean_.ShowWindow(ui::SW_HIDE);
  for (CXPButton* b : {&save_, &other_, &touch_, &help_, &itemsSet_, &printerProps_}) b->SetBitmaps(469, 468, 467);
  exit_.SetBitmaps(472, 471, 470);
  keyboard_.UseKeyboardPicture();
  return true;
}

void CSysSet::FillPrinterNames() {
  RPrintHelper helper;
  std::vector<print::PrinterInfo> printers;
  helper.EnumLocalPrinters(&printers);
  printerNames_.ResetContent();
  for (const print::PrinterInfo& p : printers) printerNames_.AddString(p.name);
  printerNames_.SetCurSel(0);
  printerName_ = helper.GetDefaultPrinterName();
}

void CSysSet::FillFormatList() {
  const int lang = AppSettings.LanguageIndex;
  format_.ResetContent();
  for (const std::string& e : settings::PrintFormatEntries(values_.printer, lang)) format_.AddString(e);
  values_.printFormat = settings::ShownFormatIndex(values_.printer, lang, values_.printFormat);
}

void CSysSet::EnablePrinterControls() {
  const bool external = values_.printer == 1;
  printerNames_.EnableWindow(external);
  printerProps_.EnableWindow(external);
  GetDlgItem(IDC_SS_HEADER)->EnableWindow(external);
}

void CSysSet::ApplyLanguageTexts() {
  const int l = AppSettings.LanguageIndex;
  auto set = [&](int id, const char* zh, const char* en, const char* es, const char* fr, const char* ua) {
    SetDlgItemText(id, PickText(l, zh, en, es, fr, ua));
  };
  SetWindowText(PickText(l, " 系统设置", " Sys.Setting", " Configuracion", " Parametres", " Налаштування"));
  set(IDC_SS_INTERNAL, "内置打印机", "Internal Printer", "Impresora interna", "Imprimante interne", "Внутрішній принтер");
  set(IDC_SS_EXTERNAL, "外接打印机", "External Printer", "Impresora externa", "Imprimante externe", "Зовнішній принтер");
  set(IDC_SS_PRINTER_LABEL, "外接打印机", "External Printer", "Impresora externa", "Imprimante externe", "Зовн. принтер");
  set(IDC_SS_PRINTER_PROPS, "打印机属性", "Printer properties", "Propiedades impresora", "Proprietes imprimante",
      "Властивості принтера");
  set(IDC_SS_FORMAT_LABEL, "打印格式", "Printout", "Impresion", "Impression", "Друк");
  set(IDC_SS_ITEMS_LABEL, "打印项目", "Print items", "Elementos", "Elements", "Елементи");
  set(IDC_SS_ITEMS_SET, "设置", "Set", "Ajustar", "Regler", "Задати");
  set(IDC_SS_PRINT_INSTANT, "即时打印", "Print instantly", "Imprimir al instante", "Impression immediate",
      "Друкувати одразу");
  set(IDC_SS_HOSPITAL_LABEL, "医院名称", "Hospital", "Hospital", "Hopital", "Лікарня");
  set(IDC_SS_STANDBY_LABEL, "待机时间(分)", "Standby time(mn)", "Tiempo espera(min)", "Temps veille(mn)",
      "Час очікування(хв)");
  set(IDC_SS_CLEAN_LABEL, "清洗频率(次)", "Clean Freq(times)", "Frec. limpieza(veces)", "Freq. nettoyage(fois)",
      "Частота очищення");
  set(IDC_SS_HEADER_LABEL, "整页打印页眉空间", "Entire-page-print page header space",
      "Espacio de encabezado en pagina completa", "Espace d'en-tete en pleine page",
      "Місце колонтитула при друку сторінки");
  set(IDC_SS_LANGUAGE_LABEL, "语言", "Language", "Idioma", "Langue", "Мова");
  set(IDC_SS_STARTUP_BLANK, "开机空白测试", "Startup Blank Test", "Blanco al arrancar", "Blanc au demarrage",
      "Холоста проба при запуску");
  set(IDC_SS_STARTUP_CLEAN, "开机清洗", "Startup Clean", "Limpieza al arrancar", "Nettoyage au demarrage",
      "Очищення при запуску");
  set(IDC_SS_PREDILUTE_INFORM, "预稀释模式提示", "Pre-diluted test mode inform", "Aviso de modo prediluido",
      "Avis du mode predilue", "Повідомляти про режим розведення");
  set(IDC_SS_TRANSMIT_INSTANT, "即时传输", "Transmit instantly", "Transmitir al instante", "Transmission immediate",
      "Передавати одразу");
  set(IDC_SS_ALARM_LABEL, "试剂报警", "Reagent Alarm", "Alarma reactivo", "Alarme reactif", "Тривога реагенту");
  set(IDC_SS_ALARM_SOFTWARE, "软件", "Software", "Software", "Logiciel", "Програмна");
  set(IDC_SS_ALARM_HARDWARE, "硬件", "Hardware", "Hardware", "Materiel", "Апаратна");
  set(IDC_SS_MODE_LABEL, "默认测试模式:", "Test Default Mode:", "Modo por defecto:", "Mode par defaut:",
      "Режим за замовч.:");
  set(IDC_SS_MODE_WHOLE, "全血", "Whole blood", "Sangre total", "Sang total", "Цільна кров");
  set(IDC_SS_MODE_PREDILUTED, "预稀释", "Pre-diluted", "Prediluida", "Predilue", "Розведена");
  set(IDC_SS_TIME_LABEL, "时间", "Time", "Hora", "Heure", "Час");
  set(IDC_SS_SAVE, "保存(&S)", "Save(&S)", "Guardar(&S)", "Enregistrer(&S)", "Зберегти(&S)");
  set(IDC_SS_OTHER, "其他(&O)", "Other(&O)", "Otros(&O)", "Autres(&O)", "Інше(&O)");
  set(IDC_SS_TOUCH, "触摸屏\n(&T)", "TouchScreen\n(&T)", "Pantalla tactil\n(&T)", "Ecran tactile\n(&T)",
      "Сенсорний екран\n(&T)");
  set(IDC_SS_HELP, "帮助(&H)", "Help(&H)", "Ayuda(&H)", "Aide(&H)", "Довідка(&H)");
  SetDlgItemText(ui::IDCANCEL, ExitButtonText(l));
  FillFormatList();
  EnablePrinterControls();
}

void CSysSet::ShowValues() {
  SetRadio(internal_, values_.printer == 0);
  SetRadio(external_, values_.printer == 1);
  SetRadio(alarmSoftware_, values_.reagentAlarmType == 0);
  SetRadio(alarmHardware_, values_.reagentAlarmType != 0);
  SetRadio(modeWhole_, values_.defaultMode == 0);
  SetRadio(modePrediluted_, values_.defaultMode != 0);
  SetBox(printInstant_, values_.printInstant != 0);
  SetBox(startupBlank_, values_.startupBlank != 0);
  SetBox(startupClean_, values_.startupClean != 0);
  SetBox(prediluteInform_, values_.prediluteInform != 0);
  SetBox(transmitInstant_, values_.transmitInstant != 0);
  format_.SetCurSel(values_.printFormat);
  SetDlgItemText(IDC_SS_HOSPITAL, values_.hospital);
  SetDlgItemText(IDC_SS_STANDBY, StrPrintf("%d", values_.standbyMinutes));
  SetDlgItemText(IDC_SS_CLEAN, StrPrintf("%d", values_.cleanFrequency));
  SetDlgItemText(IDC_SS_HEADER, pageHeaderText_);
  const int found = printerNames_.FindStringExact(-1, printerName_);
  if (found >= 0) printerNames_.SetCurSel(found);
}

void CSysSet::TakeOverControls() {
  values_.printer = external_.checked ? 1 : 0;
  values_.reagentAlarmType = alarmHardware_.checked ? 1 : 0;
  values_.defaultMode = modePrediluted_.checked ? 1 : 0;
  values_.printInstant = printInstant_.checked ? 1 : 0;
  values_.startupBlank = startupBlank_.checked ? 1 : 0;
  values_.startupClean = startupClean_.checked ? 1 : 0;
  values_.prediluteInform = prediluteInform_.checked ? 1 : 0;
  values_.transmitInstant = transmitInstant_.checked ? 1 : 0;
  if (format_.GetCurSel() >= 0) values_.printFormat = format_.GetCurSel();
  values_.hospital = GetDlgItemText(IDC_SS_HOSPITAL);
  pageHeaderText_ = GetDlgItemText(IDC_SS_HEADER);
  if (printerNames_.GetCurSel() >= 0) printerName_ = printerNames_.GetLBText(printerNames_.GetCurSel());
}

int CSysSet::Box(const std::string& text, unsigned type) { return ui::MessageBox(this, text, "", type); }

bool CSysSet::SaveSettings() {
  const int lang = AppSettings.LanguageIndex;
  // A date the operator left alone is today's, also when midnight passed since it was shown.
  const sys::LocalTime now = sys::Clock::Now();
  std::string current[6];
  settings::ClockFieldTexts(now, current);
  for (int i = 0; i < 3; ++i)
    if (GetDlgItemText(kClockIds[i]) == shownDate_[i]) {
      SetDlgItemText(kClockIds[i], current[i]);
      shownDate_[i] = current[i];
    }
  settings::SystemSettingsInput in;
  in.cleanFrequency = GetDlgItemText(IDC_SS_CLEAN);
  in.standbyMinutes = GetDlgItemText(IDC_SS_STANDBY);
  in.pageHeader = GetDlgItemText(IDC_SS_HEADER);
  in.printerKind = external_.checked ? 1 : 0;
  for (int i = 0; i < 6; ++i) in.clock[i] = GetDlgItemText(kClockIds[i]);
  SystemSettingsValues checked = values_;
  sys::LocalTime when;
  const std::string refused = settings::CheckSystemSettingsInput(in, lang, &checked, &when);
  if (!refused.empty()) {
    Box(refused, ui::MB_ICONWARNING);
    return false;
  }
  TakeOverControls();
  values_.cleanFrequency = checked.cleanFrequency;
  values_.standbyMinutes = checked.standbyMinutes;
  if (values_.printer == 1) {
    values_.pageHeader = checked.pageHeader;
    AppSettings.PrintPageHeader = static_cast<uint16_t>(values_.pageHeader);
  } else {
    pageHeaderText_ = StrPrintf("%d", values_.pageHeader);  // a header typed meanwhile is not kept
  }
  std::string clockError;
  if (sys::SetPcLocalTime(when, &clockError) == sys::HostResult::kFailed)
    Box(PickText(lang, "设置系统时间失败！", "Failed to set the date and time!", "No se pudo ajustar la fecha y hora!",
                 "Impossible de regler la date et l'heure!", "Не вдалося встановити дату й час!"),
        ui::MB_ICONWARNING);
  savedPrinterKind_ = values_.printer;
  lastFormatIndex_ = values_.printFormat;
  if (values_.printer == 1) {
    RPrintHelper helper;
    if (helper.SetDefaultPrinter(printerName_.c_str()) != 1)
      Box(PickText(lang, "设置外接打印机失败！", "Failed to set external printer!",
                   "No se pudo ajustar la impresora externa!", "Impossible de regler l'imprimante externe!",
                   "Не вдалося встановити зовнішній принтер!"),
          ui::MB_ICONWARNING);
  }
  if (values_.cleanFrequency != openedCleanFrequency_) analyzer::Soak.TestsSinceAutoClean = 0;
  if (values_.reagentAlarmType != savedAlarmType_) {
    Box(PickText(lang, "试剂监控模式已更改，重启仪器后生效。",
                 "Reagent volume monitoring mode has been changed.New settings will be effective after instrument "
                 "restarted.",
                 "El modo de control de reactivos ha cambiado. Tendra efecto tras reiniciar el instrumento.",
                 "Le mode de surveillance des reactifs a change. Il prendra effet apres le redemarrage.",
                 "Режим контролю реагентів змінено. Він діятиме після перезапуску приладу."),
        ui::MB_ICONINFORMATION);
    savedAlarmType_ = values_.reagentAlarmType;
  }
  values_.language = AppSettings.LanguageIndex;
  if (!settings::WriteSystemSettings(conn_, values_)) return false;  // the data layer told why
  Box(settings::SettingSavedText(lang), ui::MB_ICONINFORMATION);
  return true;
}

void CSysSet::OnPrinterKind(int kind) {
  values_.printer = kind;
  if (kind == 1) FillPrinterNames();
  FillFormatList();
  values_.printFormat = settings::ShownFormatIndex(kind, AppSettings.LanguageIndex,
                                                   kind == savedPrinterKind_ ? lastFormatIndex_ : (kind == 1 ? 0 : 1));
  format_.SetCurSel(values_.printFormat);
  EnablePrinterControls();
  const int found = printerNames_.FindStringExact(-1, printerName_);
  if (found >= 0) printerNames_.SetCurSel(found);
}

void CSysSet::OnLanguageChanged() {
  TakeOverControls();
  const int entry = language_.GetCurSel();
  if (entry < 0) return;
  values_.printer = savedPrinterKind_;
  values_.printFormat = lastFormatIndex_;
  AppSettings.LanguageIndex = static_cast<uint8_t>(settings::LanguageOfEntry(entry, AppSettings.ChineseEdition != 0));
  ApplyLanguageTexts();
  ShowValues();
  Invalidate();
}

void CSysSet::OnPrinterProperties() {
  // The desktop's CUPS printer settings when it has them; the queue itself is chosen in the list.
  const std::string tool = sys::FindProgram("system-config-printer");
  std::string error;
  if (!tool.empty() && sys::StartDetached({tool}, &error)) return;
  Box(PickText(AppSettings.LanguageIndex, "本机没有可打开的打印机设置。", "No printer settings can be opened on this computer.",
               "No hay ajustes de impresora que abrir en este equipo.",
               "Aucun reglage d'imprimante ne peut etre ouvert sur cet ordinateur.",
               "На цьому комп'ютері немає налаштувань принтера, які можна відкрити."),
      ui::MB_ICONINFORMATION);
  Invalidate();
}

void CSysSet::OnTouchScreen() {
  const std::string tool = sys::FindProgram("xinput_calibrator");
  if (!tool.empty() && sys::StartDetached({tool})) return;
  Box(NotAvailableText(AppSettings.LanguageIndex), ui::MB_ICONINFORMATION);
}

void CSysSet::OnHelp() {
  static const char* const kFiles[5] = {"Quorvex.chm", "QuorvexEN.chm", "QuorvexSP.chm", "QuorvexFH.chm",
                                        "QuorvexUA.chm"};
  const int l = AppSettings.LanguageIndex <= 4 ? AppSettings.LanguageIndex : 1;
  sys::ShellOpen(AppSettings.ProgramFolder + kFiles[l]);
}

bool CSysSet::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::CBN_SELCHANGE) {
    if (id == IDC_SS_LANGUAGE) {
      OnLanguageChanged();
      return true;
    }
    if (id == IDC_SS_FORMAT) {
      TakeOverControls();
      lastFormatIndex_ = values_.printFormat;
      EnablePrinterControls();
      return true;
    }
    return ui::Dialog::OnCommand(id, code, control);
  }
  if (code != ui::BN_CLICKED) return ui::Dialog::OnCommand(id, code, control);
  switch (id) {
    case IDC_SS_SAVE: SaveSettings(); return true;
    case IDC_SS_OTHER: RunScreen("COtherSysSet"); return true;
    case IDC_SS_ITEMS_SET: RunScreen("CPrintItemsSet"); return true;
    case IDC_SS_PRINTER_PROPS: OnPrinterProperties(); return true;
    case IDC_SS_TOUCH: OnTouchScreen(); return true;
    case IDC_SS_HELP: OnHelp(); return true;
    case IDC_SS_KEYBOARD: ShowOnScreenKeyboard(); return true;
    case IDC_SS_INTERNAL: OnPrinterKind(0); return true;
    case IDC_SS_EXTERNAL: OnPrinterKind(1); return true;
    case IDC_SS_ALARM_SOFTWARE: values_.reagentAlarmType = 0; return true;
    case IDC_SS_ALARM_HARDWARE: values_.reagentAlarmType = 1; return true;
    case IDC_SS_MODE_WHOLE: values_.defaultMode = 0; return true;
    case IDC_SS_MODE_PREDILUTED: values_.defaultMode = 1; return true;
    default: return ui::Dialog::OnCommand(id, code, control);
  }
}

void CSysSet::OnTimer(uintptr_t id) {
  if (id != 1) return;
  const sys::LocalTime t = sys::Clock::Now();
  std::string f[6];
  settings::ClockFieldTexts(t, f);
  SetDlgItemText(IDC_SS_SECOND, f[5]);
  if (t.second == 0) SetDlgItemText(IDC_SS_MINUTE, f[4]);
  if (t.second == 0 && t.minute == 0) SetDlgItemText(IDC_SS_HOUR, f[3]);
  // At midnight the date moves on too, unless the operator is typing another one.
  if (t.second == 0 && t.minute == 0 && t.hour == 0)
    for (int i = 0; i < 3; ++i)
      if (GetDlgItemText(kClockIds[i]) == shownDate_[i]) {
        SetDlgItemText(kClockIds[i], f[i]);
        shownDate_[i] = f[i];
      }
}

void CSysSet::OnCancel() {
  KillTimer(1);
  conn_.Disconnect();
  EndDialog(ui::IDCANCEL);
}

bool CSysSet::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CSysSet::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, kDialogFrameWidth);
  return true;
}

const draw::Brush* CSysSet::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

void CSysSet::OnDestroy() {
  KillTimer(1);
  conn_.Disconnect();
  ui::Dialog::OnDestroy();
}
