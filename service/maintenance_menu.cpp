#include "service/maintenance_menu.h"
#include "core/sys_setting.h"

#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/sequences/soak_reminder.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/value_format.h"
#include "core/write_log.h"
#include "platform/sys/clock.h"

namespace service {

using analyzer::BoxIcon;
namespace cmd = analyzer::cmd;

namespace {

std::string SoakingNotFinishedText(int lang) {
  return PickText(lang, "浸泡操作未完成！", "Soaking operation not finished!", "¡Operación de remojo no finalizada!",
                  "Opération de trempage non terminée!", "Замочування не завершено!");
}

std::string CouplerText(uint8_t unit, int lang) {
  switch (unit) {
    case 2:
      return PickText(lang, "注射器光耦异常！", "The optical coupler of liquid syringe abnormal!",
                      "¡El optoacoplador de la jeringa de líquido es anormal!",
                      "Le coupleur optique de la seringue de liquide est anormal!",
                      "Оптопара шприца рідини несправна!");
    case 3:
      return PickText(lang, "小车光耦异常", "The optical coupler of carriage abnormal",
                      "El optoacoplador del carro es anormal", "Le coupleur optique du chariot est anormal",
                      "Оптопара каретки несправна");
    case 4:
      return PickText(lang, "采样针光耦异常", "The optical coupler of needle abnormal",
                      "El optoacoplador de la aguja es anormal", "Le coupleur optique de l'aiguille est anormal",
                      "Оптопара голки несправна");
    case 5:
      return PickText(lang, "负压注射器光耦异常", "The optical coupler of pressure syringe abnormal",
                      "El optoacoplador de la jeringa de presión es anormal",
                      "Le coupleur optique de la seringue de pression est anormal",
                      "Оптопара шприца тиску несправна");
    default:
      return {};
  }
}

}  // namespace

MaintenanceMenu::MaintenanceMenu(MaintenanceHost& host, CADOConn* conn)
    : ServiceSequence(host), menu_(host), conn_(conn) {}

std::string MaintenanceMenu::ProgressText(uint8_t command, int lang) {
  switch (command) {
    case cmd::DrainChambers:
      return PickText(lang, "正在排空计数池，请稍候...", "Draining Chambers,please wait...",
                      "Vaciando las cámaras,espere por favor...", "Vidange des chambres,veuillez patienter...",
                      "Спорожнення камер,зачекайте...");
    case cmd::ClearBlock:
      return PickText(lang, "正在高压排堵，请稍候...", "Block-clearing,please wait...",
                      "Desbloqueando,espere por favor...", "Débouchage,veuillez patienter...",
                      "Усунення блокування,зачекайте...");
    case cmd::BackFlush:
      return PickText(lang, "正在反冲，请稍候...", "Back Flush,please wait...", "Contralavado,espere por favor...",
                      "Rinçage inverse,veuillez patienter...", "Зворотне промивання,зачекайте...");
    case cmd::PrimeAll:
      return PickText(lang, "正在排空管路，请稍候...", "Draining pipeline,please wait...",
                      "Vaciando el circuito,espere por favor...", "Vidange du circuit,veuillez patienter...",
                      "Спорожнення магістралі,зачекайте...");
    case cmd::RemoveClog:
      return PickText(lang, "正在排堵，请稍候...", "Remove clogging,please wait...",
                      "Eliminando la obstrucción,espere por favor...", "Désobstruction,veuillez patienter...",
                      "Усунення засмічення,зачекайте...");
    case cmd::CleanChambers:
      return PickText(lang, "正在清洗计数池，请稍候...", "Cleaning chambers,please wait...",
                      "Limpiando las cámaras,espere por favor...", "Nettoyage des chambres,veuillez patienter...",
                      "Очищення камер,зачекайте...");
    default:
      return {};
  }
}

std::string MaintenanceMenu::LowVolumeText(int lang) {
  const analyzer::ReagentVolumes& v = analyzer::Reagents().volumes();
  if (v.ReagentAlarmType != 0) return {};
  const std::string text =
      analyzer::ReagentShortageText(analyzer::CheckReagents(analyzer::ReagentCheck::CleanChambers, v), lang);
  if (text.empty()) return {};
  return text + (lang == 0 ? "！" : "!");
}

void MaintenanceMenu::Load() {
  if (conn_ == nullptr) return;
  static const char* const kGainColumns[8] = {"ZYDW1", "ZYDW2", "ZYDW3", "ZYDW4",
                                              "MKDYDW1", "MKDYDW2", "MKDYDW3", "MKDYDW4"};
  RecordsetPtr& rs = conn_->OpenRecordset("Select * from EngineeringAdjust");
  if (conn_->RecordsetOpen() && HasRows(*rs)) {
    for (int i = 0; i < 8; ++i) {
      int32_t v = 0;
      if (ReadField(*rs, kGainColumns[i], v)) gains_[i] = static_cast<uint8_t>(v & 0xFF);
    }
  }
  conn_->CloseRecordset();
  TakeSetting(LoadSysSetting(*conn_).row.AutoCleanTime, autoCleanTime_);
}

void MaintenanceMenu::SendReagentQuery() { SendCommand(analyzer::FrameClassCommand, cmd::ReagentQuery); }

bool MaintenanceMenu::Allowed(std::initializer_list<MenuCheck> checks) {
  const int lang = AppSettings.LanguageIndex;
  for (MenuCheck c : checks) {
    switch (c) {
      case MenuCheck::Busy:
        if (!idle_) {
          host_.Message(OperationNotFinishedText(lang), BoxIcon::None);
          return false;
        }
        break;
      case MenuCheck::Soaking:
        if (soaking_) {
          host_.Message(SoakingNotFinishedText(lang), BoxIcon::None);
          return false;
        }
        break;
      case MenuCheck::Level:
        if (AppSettings.UserLevel <= 1) {
          if (lang == 0) WriteLog("您的身份没有此权限，请以工程师身份登录！");
          host_.Message(NoAuthorityText(lang), BoxIcon::Warning);
          return false;
        }
        break;
    }
  }
  return true;
}

void MaintenanceMenu::StartOperation(uint8_t command) {
  const int lang = AppSettings.LanguageIndex;
  if (!idle_) {
    host_.Message(OperationNotFinishedText(lang), BoxIcon::None);
    return;
  }
  idle_ = false;
  const bool shownWhileSoaking =
      command == cmd::PrimeAll || command == cmd::RemoveClog || command == cmd::CleanChambers;
  const std::string text = ProgressText(command, lang);
  if (!text.empty() && (!soaking_ || shownWhileSoaking)) menu_.SetProgress(text);
  SendCommand(analyzer::FrameClassCommand, command, 0, 0, kOperationTimeoutMs);
}

void MaintenanceMenu::OnDrainChambers() {
  if (Allowed({MenuCheck::Soaking})) StartOperation(cmd::DrainChambers);
}

void MaintenanceMenu::OnCleanChambers() {
  if (!Allowed({MenuCheck::Soaking})) return;
  const int lang = AppSettings.LanguageIndex;
  const std::string shortText = LowVolumeText(lang);
  if (!shortText.empty()) {
    WriteLog(shortText);
    host_.Message(shortText, BoxIcon::Warning);
    return;
  }
  StartOperation(cmd::CleanChambers);
}

void MaintenanceMenu::OnDrainPipeline() {
  if (!Allowed({MenuCheck::Soaking})) return;
  const int lang = AppSettings.LanguageIndex;
  if (!menu_.AskOkCancel(PickText(lang, "请将吸液管从稀释液、清洗液和溶血剂瓶中取出，然后点击确定",
                                  "Take out the Reagent probes from the diluent, cleanser and lyse bottle,then click OK",
                                  "Saque las sondas de reactivo de los frascos de diluyente, limpiador y lisante y pulse OK",
                                  "Retirez les sondes de réactif des flacons de diluant, nettoyant et lysant, puis cliquez sur OK",
                                  "Вийміть зонди реагентів із флаконів розчинника, очищувача та лізуючого розчину, потім натисніть OK")))
    return;
  StartOperation(cmd::PrimeAll);
}

void MaintenanceMenu::OnBackFlush() {
  if (Allowed({MenuCheck::Soaking})) StartOperation(cmd::BackFlush);
}

void MaintenanceMenu::OnHighVoltagePulse() {
  if (Allowed({MenuCheck::Soaking})) StartOperation(cmd::ClearBlock);
}

void MaintenanceMenu::OnRemoveBlockage() {
  if (Allowed({MenuCheck::Soaking})) StartOperation(cmd::RemoveClog);
}

void MaintenanceMenu::OnMachineReset() {
  if (!Allowed({MenuCheck::Soaking, MenuCheck::Busy})) return;
  idle_ = false;
  SendCommand(analyzer::FrameClassCommand, cmd::Reset, 0, 0, kOperationTimeoutMs);
}

void MaintenanceMenu::OnSoak() {
  if (!Allowed({MenuCheck::Soaking, MenuCheck::Busy})) return;
  const int lang = AppSettings.LanguageIndex;
  if (!menu_.AskOkCancel(PickText(lang, "执行浸泡程序吗？", "Execute soaking procedure?", "¿Ejecutar el procedimiento de remojo?",
                                  "Exécuter la procédure de trempage?", "Виконати процедуру замочування?")))
    return;
  menu_.SetProgress(PickText(lang, "正在执行浸泡程序...", "Executing soaking procedure...",
                             "Ejecutando el procedimiento de remojo...", "Exécution de la procédure de trempage...",
                             "Виконується процедура замочування..."));
  soaking_ = true;
  StartOperation(cmd::DrainChambers);
}

void MaintenanceMenu::OnSoakTick() {
  --seconds_;
  if (seconds_ == -1) {
    --minutes_;
    seconds_ = 59;
  }
  if (minutes_ == -1) {
    menu_.StopSoakTimer();
    timerRunning_ = false;
    minutes_ = seconds_ = 0;
    if (soaking_) {
      const int lang = AppSettings.LanguageIndex;
      const std::string shortText = LowVolumeText(lang);
      if (!shortText.empty()) {
        WriteLog(shortText);
        host_.Message(shortText, BoxIcon::Warning);
      }
      idle_ = true;
      StartOperation(cmd::CleanChambers);
    }
  }
  menu_.SetCountdown(StrPrintf("00:%2d:%2d", minutes_, seconds_));
}

bool MaintenanceMenu::CanExit() { return Allowed({MenuCheck::Busy, MenuCheck::Soaking}); }

void MaintenanceMenu::Finish(bool message) {
  StopWaiting();
  idle_ = true;
  soaking_ = false;
  if (timerRunning_) menu_.StopSoakTimer();
  timerRunning_ = false;
  menu_.SetProgress("");
  menu_.SetCountdown("");
  if (message) host_.Message(OperationFinishedText(AppSettings.LanguageIndex), BoxIcon::None);
}

void MaintenanceMenu::Abort(const std::string& message) {
  Finish(false);
  host_.Message(message, BoxIcon::Warning);
}

void MaintenanceMenu::OnTimeout() {
  if (idle_) return;
  Abort(NoReplyText(AppSettings.LanguageIndex));
}

void MaintenanceMenu::SoakBookkeeping() {
  analyzer::Soak.DeviceTestTimes = 0;
  const sys::LocalTime t = sys::Clock::Now();
  analyzer::Soak.SoakDaysStartDate = analyzer::SoakStartDateText(t);
  if (conn_ != nullptr)
    SysSettingUpdate()
        .Set("DeviceTestTimes", 0)
        .SetText("SoakDaysStartDate", analyzer::Soak.SoakDaysStartDate)
        .Execute(*conn_);
  if (analyzer::Soak.SetSoakTimes == autoCleanTime_) analyzer::Soak.TestsSinceAutoClean = 0;
}

void MaintenanceMenu::OnFrame(const analyzer::BoardReply& r) {
  const int lang = AppSettings.LanguageIndex;
  if (!r.checksumOk) {
    // The reply cannot be trusted: the operation awaited is not reported as finished, and it
    // ends (its acknowledgement may have been this frame). A damaged frame while nothing is
    // awaited, as during the soak's count-down, changes nothing.
    host_.Message(ChecksumErrorText(lang), BoxIcon::Warning);
    const bool awaited = waiting();
    SendCommand(analyzer::FrameClassFault, analyzer::fault::ChecksumNotice);
    if (awaited) Finish(false);
    return;
  }
  if (r.cls == analyzer::FrameClassCommand && r.command == cmd::ReagentQuery) return;  // the query's echo
  if (TakeSensorReportLogged(r, host_)) return;
  if (r.cls == analyzer::FrameClassFault && r.command == analyzer::fault::CouplerFault) {
    const std::string text = CouplerText(r.status, lang);
    if (!text.empty()) {
      if (lang == 0) WriteLog(text + "请重新插拔光耦连接线，如仍有故障请更换光耦、连接线或电机。");
      host_.Message(text, BoxIcon::Error);
    }
    if (!idle_) Finish(false);
    return;
  }
  if (r.cls == analyzer::FrameClassCommand && r.command == cmd::StartupProcedure) {
    menu_.SetProgress("");
    menu_.SetCountdown("");
    return;
  }
  if (!waiting()) return;  // nothing is awaited: a stray acknowledgement changes nothing
  const uint8_t awaited = awaitedCommand();
  if (r.cls == analyzer::FrameClassCommand && r.command == awaited && r.status == analyzer::kReplyDone) {
    repeater_.OnAcknowledged();
    StopWaiting();
    switch (awaited) {
      case cmd::DrainChambers:
        if (soaking_) {
          host_.Message(PickText(lang, "请在每个计数池中加入2ml浓缩清洗液。",
                                 "Please dispense 2ml of Concentrated Cleanser in each counting chamber.",
                                 "Dispense 2ml de limpiador concentrado en cada cámara de recuento.",
                                 "Veuillez verser 2ml de nettoyant concentré dans chaque chambre de comptage.",
                                 "Налийте 2мл концентрованого очищувача в кожну лічильну камеру."),
                        BoxIcon::None);
          idle_ = true;
          StartOperation(cmd::BackFlush);
        } else {
          Finish(true);
        }
        return;
      case cmd::BackFlush:
        if (soaking_) {
          idle_ = true;
          minutes_ = 9;
          seconds_ = 60;
          timerRunning_ = true;
          menu_.StartSoakTimer();
        } else {
          Finish(true);
        }
        return;
      case cmd::ClearBlock:
        SendCommand(analyzer::FrameClassCommand, cmd::Zydw1, gains_[0], 0, kOperationTimeoutMs);
        return;
      case cmd::Zydw1: case cmd::Zydw1 + 1: case cmd::Zydw1 + 2: case cmd::Zydw1 + 3:
      case cmd::Mkdydw1: case cmd::Mkdydw1 + 1: case cmd::Mkdydw1 + 2:
        SendCommand(analyzer::FrameClassCommand, static_cast<uint8_t>(awaited + 1), gains_[awaited - cmd::Zydw1 + 1], 0,
                    kOperationTimeoutMs);
        return;
      case cmd::RemoveClog:
        analyzer::Reagents().Book(analyzer::ReagentOperation::RemoveBlockage, lang);
        Finish(true);
        return;
      case cmd::CleanChambers:
        analyzer::Reagents().Book(analyzer::ReagentOperation::CleanChambersService, lang);
        if (soaking_ && analyzer::Soak.IsOpenSoakTips) SoakBookkeeping();
        Finish(true);
        return;
      default:
        Finish(true);
        return;
    }
  }
  if (r.cls == analyzer::FrameClassFault && r.command == awaited) {
    if (r.status == analyzer::kReplyDone && analyzer::IsResentOnRefusal(awaited)) {
      if (repeater_.OnRefusal(awaited)) {
        SendCommand(analyzer::FrameClassCommand, awaited, 0, 0, kOperationTimeoutMs);
      } else {
        repeater_.OnAcknowledged();
        Abort(RefusedText(lang));
      }
      return;
    }
    Finish(false);  // refused for good: the menu is free again
  }
}

}  // namespace service
