#include "analyzer/sequences/stop_use_sequence.h"

#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/sequences/shutdown_sequence.h"
#include "analyzer/sequences/soak_reminder.h"
#include "core/sys_setting.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/sys_log.h"
#include "core/value_format.h"
#include "platform/sys/clock.h"
#include "core/sys_setting.h"

namespace analyzer {
namespace {

std::string T(const char* zh, const char* en, const char* es, const char* fr, const char* ua) {
  return PickText(zh, en, es, fr, ua);
}
std::string DrainingText() {
  return T("正在排空管路...", "Draining Pipeline...", "Vaciando el circuito...", "Vidange du circuit...",
           "Спорожнення магістралі...");
}

}  // namespace

std::string StopUseSequence::InitialPrompt(int lang) {
  return PickText(lang, "请将稀释液、清洗液和溶血剂吸管从试剂瓶中取出，然后点击确定",
                  "Please take out the tubes from diluent,cleanser and lyse container,then click OK",
                  "Saque los tubos de los envases de diluyente,limpiador y lisante y pulse OK",
                  "Retirez les tubes des flacons de diluant,nettoyant et lysant,puis cliquez OK",
                  "Вийміть трубки з ємностей розчинника,очищувача та лізуючого реагенту,потім натисніть OK");
}

StopUseSequence::StopUseSequence(StopUseHost& host, CADOConn* conn, bool portOpen)
    : host_(host), conn_(conn), portOpen_(portOpen) {}

void StopUseSequence::Begin() {
  if (conn_ != nullptr) {
    TakeSetting(LoadSysSetting(*conn_).row.AutoCleanTime, autoCleanTime_);
  }
  host_.SetPrompt(InitialPrompt(AppSettings.LanguageIndex));
  host_.EnableOk(true);
  host_.EnableCancel(true);
}

void StopUseSequence::OnOk() {
  if (awaited_.waiting() || step_ >= 3) return;
  if (!portOpen_) {
    host_.Message(T("前端串口未打开，无法执行！", "The analyzer port is not open, the procedure cannot run!",
                    "¡El puerto del analizador no está abierto, no se puede ejecutar!",
                    "Le port de l'analyseur n'est pas ouvert, la procédure ne peut pas s'exécuter!",
                    "Порт аналізатора не відкрито, процедуру неможливо виконати!"),
                  BoxIcon::Warning);
    return;
  }
  started_ = true;
  host_.EnableOk(false);
  host_.EnableCancel(false);
  rx_.Clear();
  host_.Send(BuildCommandFrame(FrameClassCommand, cmd::PrimeAll));
  awaited_.Sent(FrameClassCommand, cmd::PrimeAll, kReplyTimeoutMs);
  if (step_ == 1) {
    host_.SetPrompt(T("正在清洗计数池...", "Cleaning chambers...", "Limpiando las cámaras...", "Nettoyage des chambres...",
                      "Очищення камер..."));
  } else {
    host_.SetPrompt(DrainingText());
  }
  if (step_ == 2) {
    // The chambers now stand in distilled water: the soak interval starts here.
    const sys::LocalTime t = sys::Clock::Now();
    Soak.SoakDaysStartDate = SoakStartDateText(t);
    if (conn_ != nullptr)
      SysSettingUpdate()
          .Set("DeviceTestTimes", Soak.DeviceTestTimes)
          .SetText("SoakDaysStartDate", Soak.SoakDaysStartDate)
          .Execute(*conn_);
    if (Soak.SetSoakTimes == autoCleanTime_) Soak.TestsSinceAutoClean = 0;
  }
}

void StopUseSequence::OnCancel() {
  // Once the board has started the procedure only a failed step lets the operator leave.
  if (awaited_.waiting()) return;
  if (started_ && step_ < 3 && !cancelAllowed()) return;
  host_.Close();
}

void StopUseSequence::OnReply(const BoardReply& f) {
  const uint8_t cls = f.cls, command = f.command, st = f.status;
  const int lang = AppSettings.LanguageIndex;
  if (!f.checksumOk) {
    host_.Message("前端命令校验错！", BoxIcon::Warning);
    return;
  }
  if (TakeSensorReport(f, false, host_)) return;
  if (cls == FrameClassStatus && command == status::DiluentSensor) {
    if (st == 1) ShowSensorShortage(3, lang, host_);
    return;
  }
  // Only the acknowledgement of the drain just sent moves the procedure on, once.
  if (cls == FrameClassCommand && st == kReplyDone && awaited_.Take(cls, command)) {
    failed_ = false;
    ++step_;
    host_.EnableOk(true);
    if (step_ == 1) {
      host_.SetPrompt(T("请将稀释液、清洗液和溶血剂吸管放入蒸馏水中，然后点击确定",
                        "Please put the diluent,cleanser and lyse tubes in distilled water,then click OK",
                        "Ponga los tubos de diluyente,limpiador y lisante en agua destilada y pulse OK",
                        "Placez les tubes de diluant,nettoyant et lysant dans de l'eau distillée,puis cliquez OK",
                        "Помістіть трубки розчинника,очищувача та лізуючого реагенту в дистильовану воду,потім натисніть OK"));
    } else if (step_ == 2) {
      host_.SetPrompt(T("请将稀释液、清洗液和溶血剂吸管从蒸馏水中取出，然后点击确定",
                        "Please take out the diluent,cleanser and lyse tubes from distilled water,then click OK",
                        "Saque los tubos de diluyente,limpiador y lisante del agua destilada y pulse OK",
                        "Retirez les tubes de diluant,nettoyant et lysant de l'eau distillée,puis cliquez OK",
                        "Вийміть трубки розчинника,очищувача та лізуючого реагенту з дистильованої води,потім натисніть OK"));
    } else {
      // Saved as the shutdown saves them, before the PC goes off.
      if (conn_ != nullptr) {
        SaveShutdownVolumesAndTime(*conn_, false);
        WriteShutdownRow(*conn_, SysLogText(SysLogWord::ShutDownOk, lang));
      }
      host_.ShutdownPc();
      host_.Close();
    }
  }
}

void StopUseSequence::Poll(int64_t nowMs) {
  if (!awaited_.Expired(nowMs)) return;
  failed_ = true;
  host_.Message(T("前端无应答，请检查仪器后重试或退出。", "No reply from the analyzer. Check the instrument, then try again or leave.",
                  "El analizador no responde. Revise el instrumento y vuelva a intentarlo o salga.",
                  "L'analyseur ne répond pas. Vérifiez l'instrument, puis réessayez ou quittez.",
                  "Аналізатор не відповідає. Перевірте прилад і повторіть спробу або вийдіть."),
                BoxIcon::Warning);
  host_.EnableOk(true);
  host_.EnableCancel(true);
}

}  // namespace analyzer
