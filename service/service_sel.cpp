#include "service/service_sel.h"

#include "analyzer/reagent.h"
#include "analyzer/screens/reagent_sel.h"
#include "analyzer/screens/screen_common.h"
#include "analyzer/screens/stop_dlg.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/screen_registry.h"
#include "core/write_log.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"
#include "platform/ui/window_class.h"

namespace service {

const int kServiceSelButtons[14] = {CServiceSel::kPrimeId,        CServiceSel::kDrainChambersId,
                                    CServiceSel::kCleanChambersId, CServiceSel::kDrainPipelineId,
                                    CServiceSel::kBackFlushId,     CServiceSel::kPulseId,
                                    CServiceSel::kRemoveBlockageId, CServiceSel::kResetId,
                                    CServiceSel::kSoakId,          CServiceSel::kReplaceId,
                                    CServiceSel::kStopUseId,       CServiceSel::kMechanicsId,
                                    CServiceSel::kDebugId,         CServiceSel::kAdjustId};

namespace {

// The whole display, as the main menu it is opened from: a smaller menu would leave slices of
// the main menu's title and status line showing round it.
ui::DialogTemplate MenuTemplate() {
  ui::DialogTemplate t = analyzer::BoardScreenTemplate(320, 240, false);
  t.Add(ui::kClassButton, CServiceSel::kOuterFrameId, "", 6, 6, 308, 228, uint32_t{ui::WS_VISIBLE} | ui::BS_GROUPBOX);
  t.Add(ui::kClassButton, CServiceSel::kInnerFrameId, "", 12, 14, 296, 162, uint32_t{ui::WS_VISIBLE} | ui::BS_GROUPBOX);
  for (int i = 0; i < 14; ++i) {
    const int row = i / 4, col = i % 4;
    t.Add(ui::kClassButton, kServiceSelButtons[i], "", 20 + col * 72, 24 + row * 38, 64, 30,
          uint32_t{ui::WS_VISIBLE} | ui::BS_MULTILINE);
  }
  t.Add(ui::kClassStatic, CServiceSel::kProgressId, "", 14, 182, 200, 12, ui::WS_VISIBLE);
  t.Add(ui::kClassStatic, CServiceSel::kCountdownId, "", 220, 182, 86, 12, uint32_t{ui::WS_VISIBLE} | ui::SS_CENTER);
  t.Add(ui::kClassButton, ui::IDCANCEL, "", 134, 204, 52, 22, ui::WS_VISIBLE);
  return t;
}

}  // namespace

CServiceSel::CServiceSel(ui::Window* parent) : BoardScreen(MenuTemplate(), parent) {
  swallowEnter_ = true;
}

CServiceSel::~CServiceSel() { conn_.Disconnect(); }

void CServiceSel::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, kCountdownId, countdown_);
  ui::ExchangeControl(dx, kProgressId, progress_);
  for (int i = 0; i < 14; ++i) ui::ExchangeControl(dx, kServiceSelButtons[i], buttons_[i]);
  ui::ExchangeControl(dx, kOuterFrameId, outer_);
  ui::ExchangeControl(dx, kInnerFrameId, inner_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
}

bool CServiceSel::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const bool engineer = AppSettings.UserLevel > 1;
  for (int id : {kDebugId, kAdjustId})
    if (Window* w = GetDlgItem(id)) w->ShowWindow(engineer ? ui::SW_SHOW : ui::SW_HIDE);
  OpenOwnPort({false, true, true});
  menu_ = std::make_unique<MaintenanceMenu>(*this, &conn_);
  Drive(menu_.get());
  if (AppSettings.ReagentAlarmType == 1 || analyzer::Reagents().volumes().ReagentAlarmType == 1)
    SetTimer(kQueryTimer, 500);
  menu_->Load();
  ApplyLanguageTexts();
  outer_.SetBands(true, 12);
  for (auto& b : buttons_) b.SetBitmaps(446, 448, 447);
  exit_.SetBitmaps(453, 452, 451);
  countdown_.SetBkColor(draw::RGB(190, 198, 201));
  progress_.SetBkColor(draw::RGB(190, 198, 201));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  return true;
}

void CServiceSel::ApplyLanguageTexts() {
  const int lang = AppSettings.LanguageIndex;
  struct Caption {
    int id;
    const char* texts[5];
  };
  static const Caption kCaptions[] = {
      {kPrimeId, {"灌注", "Prime", "Cebar", "Amorcer", "Заповнення"}},
      {kDrainChambersId, {"排空计数池", "Drain Chambers", "Vaciar cámaras", "Vider les chambres", "Спорожнити камери"}},
      {kCleanChambersId, {"清洗计数池", "Clean Chambers", "Limpiar cámaras", "Nettoyer les chambres", "Очистити камери"}},
      {kDrainPipelineId, {"排空管路", "Drain pipeline", "Vaciar circuito", "Vider le circuit", "Спорожнити магістраль"}},
      {kBackFlushId, {"反冲", "Back Flush", "Contralavado", "Rinçage inverse", "Зворотне промивання"}},
      {kPulseId, {"高压脉冲", "High voltage pulse", "Pulso de alto voltaje", "Impulsion haute tension", "Високовольтний імпульс"}},
      {kRemoveBlockageId, {"排堵", "Remove Blockage", "Eliminar obstrucción", "Déboucher", "Усунути засмічення"}},
      {kResetId, {"整机复位", "Machine Reset", "Reiniciar equipo", "Réinitialiser l'appareil", "Скидання приладу"}},
      {kSoakId, {"浓缩清洗液浸泡", "Conc. Cleanser Soaking", "Remojo con limpiador conc.", "Trempage nettoyant conc.",
                 "Замочування конц. очищувачем"}},
      {kReplaceId, {"更换试剂", "Replace Reagent", "Cambiar reactivo", "Remplacer le réactif", "Заміна реагенту"}},
      {kStopUseId, {"停止使用", "Stop Use", "Dejar de usar", "Arrêt d'utilisation", "Припинити використання"}},
      {kMechanicsId, {"机械检测", "Check Mechanics", "Comprobar mecánica", "Vérifier la mécanique", "Перевірка механіки"}},
      {kDebugId, {"调试", "Debug", "Depurar", "Débogage", "Налагодження"}},
      {kAdjustId, {"工程调整", "Engineering adjust", "Ajuste de ingeniería", "Réglage technique", "Інженерне налаштування"}},
  };
  for (const Caption& c : kCaptions)
    SetDlgItemText(c.id, PickText(lang, c.texts[0], c.texts[1], c.texts[2], c.texts[3], c.texts[4]));
  SetDlgItemText(ui::IDCANCEL, ExitText(lang));
}

void CServiceSel::SetProgress(const std::string& text) {
  SetDlgItemText(kProgressId, text);
  progress_.RedrawBackground();
}

void CServiceSel::SetCountdown(const std::string& text) {
  SetDlgItemText(kCountdownId, text);
  countdown_.RedrawBackground();
}

bool CServiceSel::AskOkCancel(const std::string& text) {
  return analyzer::ShowBox(this, text, analyzer::BoxIcon::Question, ui::MB_OKCANCEL) == ui::IDOK;
}

void CServiceSel::StartSoakTimer() { SetTimer(kSoakTimer, 1000); }
void CServiceSel::StopSoakTimer() { KillTimer(kSoakTimer); }

void CServiceSel::KillScreenTimers() {
  KillTimer(kSoakTimer);
  KillTimer(kQueryTimer);
}

void CServiceSel::OnTimer(uintptr_t id) {
  if (id == kSoakTimer) {
    if (menu_) menu_->OnSoakTick();
    return;
  }
  if (id == kQueryTimer) {
    KillTimer(kQueryTimer);
    if (menu_) menu_->SendReagentQuery();
    return;
  }
  BoardScreen::OnTimer(id);
}

int CServiceSel::RunChild(const std::string& screen) {
  if (runChild_) return runChild_(screen);
  if (screen == "CReagentSel:1") {
    analyzer::CReagentSel s(this, 1);
    return s.DoModal();
  }
  if (screen == "CReagentSel:2") {
    analyzer::CReagentSel s(this, 2);
    return s.DoModal();
  }
  if (screen == "CStop") {
    analyzer::CStop s(nullptr);
    return s.DoModal();
  }
  return RunScreen(screen);
}

void CServiceSel::HandOver(const std::string& screen) {
  ClosePort();
  RunChild(screen);
  OpenOwnPort({false, true, true});
}

bool CServiceSel::OnCommand(int id, int code, ui::Window* control) {
  if (!menu_) return BoardScreen::OnCommand(id, code, control);
  MaintenanceMenu& m = *menu_;
  using C = MenuCheck;
  switch (id) {
    case kPrimeId:
      if (m.Allowed({C::Busy, C::Soaking})) HandOver("CReagentSel:1");
      return true;
    case kDrainChambersId: m.OnDrainChambers(); return true;
    case kCleanChambersId: m.OnCleanChambers(); return true;
    case kDrainPipelineId: m.OnDrainPipeline(); return true;
    case kBackFlushId: m.OnBackFlush(); return true;
    case kPulseId: m.OnHighVoltagePulse(); return true;
    case kRemoveBlockageId: m.OnRemoveBlockage(); return true;
    case kResetId: m.OnMachineReset(); return true;
    case kSoakId: m.OnSoak(); return true;
    case kReplaceId:
      if (m.Allowed({C::Soaking, C::Busy})) RunChild("CReagentSel:2");
      return true;
    case kStopUseId:
      if (m.Allowed({C::Soaking, C::Busy})) HandOver("CStop");
      return true;
    case kMechanicsId:
      if (m.Allowed({C::Soaking, C::Busy})) HandOver("CMechCheckDlg");
      return true;
    case kAdjustId:
      if (m.Allowed({C::Busy, C::Level, C::Soaking})) HandOver("CEngineeringAdjust");
      return true;
    case kDebugId:
      if (m.Allowed({C::Busy, C::Level, C::Soaking})) HandOver("CDebugSel");
      return true;
    default:
      return BoardScreen::OnCommand(id, code, control);
  }
}

void CServiceSel::OnCancel() {
  if (menu_ && !menu_->CanExit()) return;
  conn_.Disconnect();
  EndScreen(ui::IDCANCEL);
}

const draw::Brush* CServiceSel::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return analyzer::ScreenLabelColours(dc);
  return BoardScreen::OnCtlColor(dc, control, ctlType);
}

bool CServiceSel::OnEraseBkgnd(draw::DC& dc) {
  dc.FillSolidRect(GetClientRect(), draw::RGB(240, 240, 240));
  DrawBottomBars(dc, this, kOuterFrameId, ui::IDCANCEL, ui::IDCANCEL);
  return true;
}

}  // namespace service
