#include "service/engineering_debug.h"

#include <cstdint>
#include <cstdlib>

#include "analyzer/command_catalogue.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/value_format.h"
#include "core/write_log.h"
#include "platform/sys/clock.h"

namespace service {

using analyzer::BoxIcon;
namespace cmd = analyzer::cmd;

bool DebugExitAllowed = true;

namespace {

constexpr uint8_t A = analyzer::FrameClassCommand;
constexpr uint8_t EF = analyzer::FrameClassDebug;
constexpr uint8_t DD = analyzer::FrameClassFault;
constexpr uint8_t CC = analyzer::FrameClassStatus;

std::string SwitchMessage(int which, bool on, bool failed, int lang) {
  static const char* const kTexts[3][4][5] = {
      {{"60V输出已打开！", "60V Output opened!", "¡Salida de 60V abierta!", "Sortie 60V ouverte!", "Вихід 60В увімкнено!"},
       {"60V输出打开失败！", "60V Output open failed!", "¡Fallo al abrir la salida de 60V!", "Échec de l'ouverture de la sortie 60V!",
        "Не вдалося увімкнути вихід 60В!"},
       {"60V输出已关闭！", "60V Output closed!", "¡Salida de 60V cerrada!", "Sortie 60V fermée!", "Вихід 60В вимкнено!"},
       {"60V输出关闭失败！", "60V Output close failed!", "¡Fallo al cerrar la salida de 60V!", "Échec de la fermeture de la sortie 60V!",
        "Не вдалося вимкнути вихід 60В!"}},
      {{"节能模式已打开！", "Power saving mode opened!", "¡Modo de ahorro de energía activado!", "Mode économie d'énergie activé!",
        "Енергозберігаючий режим увімкнено!"},
       {"节能模式打开失败！", "Power saving mode open failed!", "¡Fallo al activar el modo de ahorro de energía!",
        "Échec de l'activation du mode économie d'énergie!", "Не вдалося увімкнути енергозберігаючий режим!"},
       {"节能模式已关闭！", "Power saving mode closed!", "¡Modo de ahorro de energía desactivado!", "Mode économie d'énergie désactivé!",
        "Енергозберігаючий режим вимкнено!"},
       {"节能模式关闭失败！", "Power saving mode close failed!", "¡Fallo al desactivar el modo de ahorro de energía!",
        "Échec de la désactivation du mode économie d'énergie!", "Не вдалося вимкнути енергозберігаючий режим!"}},
      {{"电机使能已打开！", "Motor enable opened!", "¡Habilitación de motores activada!", "Activation des moteurs ouverte!",
        "Живлення двигунів увімкнено!"},
       {"电机使能打开失败！", "Motor enable open failed!", "¡Fallo al activar la habilitación de motores!",
        "Échec de l'activation des moteurs!", "Не вдалося увімкнути живлення двигунів!"},
       {"电机使能已关闭！", "Motor enable closed!", "¡Habilitación de motores desactivada!", "Activation des moteurs fermée!",
        "Живлення двигунів вимкнено!"},
       {"电机使能关闭失败！", "Motor enable close failed!", "¡Fallo al desactivar la habilitación de motores!",
        "Échec de la désactivation des moteurs!", "Не вдалося вимкнути живлення двигунів!"}},
  };
  const int row = (on ? 0 : 2) + (failed ? 1 : 0);
  const auto& t = kTexts[which][row];
  return PickText(lang, t[0], t[1], t[2], t[3], t[4]);
}

std::string CouplerText(uint8_t n, int lang) {
  switch (n) {
    case 2: return PickText(lang, "注射器异常！", "Liquid syringe abnormal!", "¡Jeringa de líquido anormal!",
                            "Seringue de liquide anormale!", "Шприц рідини несправний!");
    case 3: return PickText(lang, "小车异常！", "Carriage abnormal!", "¡Carro anormal!", "Chariot anormal!", "Каретка несправна!");
    case 4: return PickText(lang, "采样针异常！", "Needle abnormal!", "¡Aguja anormal!", "Aiguille anormale!", "Голка несправна!");
    case 5: return PickText(lang, "负压注射器异常！", "Pressure syringe abnormal!", "¡Jeringa de presión anormal!",
                            "Seringue de pression anormale!", "Шприц тиску несправний!");
    default: return {};
  }
}

const char* const kMovementFailed[4] = {"X轴电机运动出错！", "Z轴电机运动出错！", "注射器运动出错！", "负压注射器运动出错！"};

}  // namespace

EngineeringDebug::EngineeringDebug(DebugPageHost& host, CADOConn* conn) : ServiceSequence(host), page_(host), conn_(conn) {
  DebugExitAllowed = true;
}

void EngineeringDebug::Load() {
  if (conn_ == nullptr) return;
  RecordsetPtr& rs = conn_->OpenRecordset("Select * from EngineeringDebug");
  if (conn_->RecordsetOpen() && HasRows(*rs)) {
    static const char* const kColumns[5] = {"Needle1", "Needle2", "Needle3", "Needle4", "Needle5"};
    for (int i = 0; i < 5; ++i) {
      int32_t v = 0;
      if (ReadField(*rs, kColumns[i], v)) needles_[i] = v;
    }
  }
  conn_->CloseRecordset();
}

bool EngineeringDebug::CheckSteps(const std::string& text) {
  const int lang = AppSettings.LanguageIndex;
  if (!IsIntegerText(text)) {
    host_.Message(PickText(lang, "请输入整数步数！", "Please input integer for steps!", "¡Introduzca un entero para los pasos!",
                           "Veuillez saisir un entier pour les pas!", "Введіть ціле число кроків!"),
                  BoxIcon::Warning);
    return false;
  }
  const long n = LeadingInteger(text);
  if (n < 1 || n > 255) {
    host_.Message(PickText(lang, "请输入1到255之间的整数步数！", "Please input an integer bewteen 1 and 255 for steps!",
                           "¡Introduzca un entero entre 1 y 255 para los pasos!", "Veuillez saisir un entier entre 1 et 255 pour les pas!",
                           "Введіть ціле число від 1 до 255 для кроків!"),
                  BoxIcon::Warning);
    return false;
  }
  return true;
}

bool EngineeringDebug::CheckNeedlePositions(const NeedleTexts& t) {
  const int lang = AppSettings.LanguageIndex;
  for (const std::string& text : t.pos) {
    if (!IsIntegerText(text)) {
      host_.Message(PickText(lang, "请输入整数针位置！", "Please input integer for needle position!",
                             "¡Introduzca un entero para la posición de la aguja!",
                             "Veuillez saisir un entier pour la position de l'aiguille!", "Введіть ціле число для положення голки!"),
                    BoxIcon::Warning);
      return false;
    }
    const long v = LeadingInteger(text);
    if (v < -255 || v > 255) {
      host_.Message(PickText(lang, "请输入-255到255之间的整数针位置！", "Please input a integer bewteen -255 and 255 for Needle position!",
                             "¡Introduzca un entero entre -255 y 255 para la posición de la aguja!",
                             "Veuillez saisir un entier entre -255 et 255 pour la position de l'aiguille!",
                             "Введіть ціле число від -255 до 255 для положення голки!"),
                    BoxIcon::Warning);
      return false;
    }
  }
  return true;
}

void EngineeringDebug::OnSwitch(int which) {
  if (which < 0 || which > 2) return;
  const uint8_t s = switches_[which];
  SendClosingPrompt(EF, static_cast<uint8_t>(analyzer::debug::Output60V + which), s, 0);
  if (s == 1) boardMoved_ = true;
}

void EngineeringDebug::OnStep(int motor, int direction, const std::string& stepsText) {
  if (motor < 0 || motor > 3 || !CheckSteps(stepsText)) return;
  const uint8_t n = static_cast<uint8_t>(LeadingInteger(stepsText));
  SendClosingPrompt(EF, static_cast<uint8_t>(analyzer::debug::MoveX + motor), direction ? 1 : 0, n);
  boardMoved_ = true;
}

void EngineeringDebug::OnNeedleSend(int index, const NeedleTexts& t) {
  if (!commandIdle_ || index < 0 || index > 4 || !CheckNeedlePositions(t)) return;
  for (int i = 0; i < 5; ++i) needles_[i] = static_cast<int>(LeadingInteger(t.pos[i]));
  const analyzer::SignedParam p = analyzer::SplitSigned(needles_[index]);
  commandIdle_ = false;
  boardMoved_ = true;
  SendClosingPrompt(EF, analyzer::NeedlePositionCommand(index + 1), p.sign, p.magnitude, kReplyTimeoutMs);
}

void EngineeringDebug::OnPressureSend(const std::string& target, const std::string& deviation, const NeedleTexts& t) {
  if (!commandIdle_ || !CheckNeedlePositions(t)) return;
  const int lang = AppSettings.LanguageIndex;
  page_.SetTestCount("0");
  const std::string outOfRange = PickText(lang, "压力目标值超出范围！", "Pressure target value is out of range!",
                                          "¡Valor objetivo de presión fuera de rango!", "Valeur cible de pression hors limites!",
                                          "Цільове значення тиску поза межами!");
  if (!IsIntegerText(target)) {
    host_.Message(PickText(lang, "请输入整数压力目标值！", "Please input integer for pressure target value!",
                           "¡Introduzca un entero para el valor objetivo de presión!",
                           "Veuillez saisir un entier pour la valeur cible de pression!", "Введіть ціле число для цільового тиску!"),
                  BoxIcon::Warning);
    return;
  }
  const long tv = LeadingInteger(target);
  if (tv < 0 || tv > 10000) {
    host_.Message(outOfRange, BoxIcon::Warning);
    return;
  }
  if (!IsIntegerText(deviation)) {
    host_.Message(PickText(lang, "请输入整数压力偏差值！", "Please input integer for pressure deviation value!",
                           "¡Introduzca un entero para la desviación de presión!",
                           "Veuillez saisir un entier pour l'écart de pression!", "Введіть ціле число для відхилення тиску!"),
                  BoxIcon::Warning);
    return;
  }
  const long dv = LeadingInteger(deviation);
  if (dv < -2300 || dv > 1700) {
    host_.Message(PickText(lang, "压力偏差值超出范围！", "Pressure deviation value is out of range!",
                           "¡Desviación de presión fuera de rango!", "Écart de pression hors limites!",
                           "Відхилення тиску поза межами!"),
                  BoxIcon::Warning);
    return;
  }
  const long sum = tv + dv;
  if (sum < 0 || sum > 4000) {
    host_.Message(outOfRange, BoxIcon::Warning);
    return;
  }
  page_.StopPoll();
  page_.EnableSwitches(false);
  page_.EnableTestStart(false);
  pollRunning_ = false;
  SendClosingPrompt(EF, analyzer::debug::PressureTarget, static_cast<uint8_t>(sum >> 8), static_cast<uint8_t>(sum & 0xFF),
              kReplyTimeoutMs);
  boardMoved_ = true;
  page_.EnablePressureSend(false);
}

void EngineeringDebug::OnMachineReset() {
  if (!commandIdle_) return;
  commandIdle_ = false;
  closing_ = false;
  SendClosingPrompt(A, cmd::Reset, 0, 0, kReplyTimeoutMs);
}

void EngineeringDebug::OnPollTick() {
  SendClosingPrompt(CC, analyzer::status::Pressure);
  const sys::LocalTime t = sys::Clock::Now();
  page_.ShowPollTime(StrPrintf("%.2d:%.2d:%.2d", t.hour, t.minute, t.second));
}

void EngineeringDebug::SendClosingPrompt(uint8_t cls, uint8_t command, uint8_t p1, uint8_t p2, int64_t timeoutMs) {
  // A prompt still open from an earlier command would stand over what this one brings.
  page_.ClosePrompt();
  SendCommand(cls, command, p1, p2, timeoutMs);
}

void EngineeringDebug::SendTest(uint8_t command, bool withParameters) {
  const uint8_t p = withParameters ? 0x32 : 0x00;
  SendCommand(A, command, p, p, kCountTimeoutMs);
}

void EngineeringDebug::OnTestStart(const std::string& countText) {
  if (!commandIdle_) return;
  if (!IsIntegerText(countText)) {
    host_.Message(PickText(AppSettings.LanguageIndex, "请输入整数测试次数！", "Please input integer for test times!",
                           "¡Introduzca un entero para las veces de prueba!", "Veuillez saisir un entier pour le nombre de tests!",
                           "Введіть ціле число для кількості тестів!"),
                  BoxIcon::Warning);
    return;
  }
  // The count is a signed 32-bit number; a text beyond it would wrap (to -1: an endless test).
  const long long n = std::strtoll(countText.c_str(), nullptr, 10);  // saturates beyond 64 bits
  if (n < INT32_MIN || n > INT32_MAX) {
    host_.Message(PickText(AppSettings.LanguageIndex, "请输入-2147483648到2147483647之间的整数测试次数！",
                           "Please input an integer between -2147483648 and 2147483647 for test times!",
                           "¡Introduzca un entero entre -2147483648 y 2147483647 para las veces de prueba!",
                           "Veuillez saisir un entier entre -2147483648 et 2147483647 pour le nombre de tests!",
                           "Введіть ціле число від -2147483648 до 2147483647 для кількості тестів!"),
                  BoxIcon::Warning);
    return;
  }
  testCount_ = static_cast<int>(n);
  if (testCount_ == 0) return;
  page_.StopPoll();
  pollRunning_ = false;
  page_.EnableSwitches(false);
  testsDone_ = 0;
  stopRequested_ = false;
  commandIdle_ = false;
  DebugExitAllowed = false;
  testRunning_ = true;
  SendTest(cmd::EnterSampleMode, false);
  page_.EnableTestStart(false);
}

void EngineeringDebug::EndTest() {
  StopWaiting();
  testRunning_ = false;
  page_.EnableSwitches(true);
  page_.EnableTestStart(true);
  commandIdle_ = true;
  DebugExitAllowed = true;
}

void EngineeringDebug::SaveNeedles() {
  if (conn_ == nullptr) return;
  RecordsetPtr& rs = conn_->OpenRecordset("Select * from EngineeringDebug");
  const bool hasRow = conn_->RecordsetOpen() && HasRows(*rs);
  conn_->CloseRecordset();
  const int* n = needles_;
  if (!hasRow) {
    conn_->Execute(StrPrintf("insert into EngineeringDebug values(%d,%d,%d,%d,%d)", n[0], n[1], n[2], n[3], n[4]));
  } else {
    conn_->Execute(StrPrintf("update EngineeringDebug set Needle1=%d,Needle2=%d,                    Needle3=%d,Needle4=%d,Needle5=%d",
                             n[0], n[1], n[2], n[3], n[4]));
  }
}

void EngineeringDebug::OnExit(const NeedleTexts& t) {
  if (!DebugExitAllowed) return;
  commandIdle_ = false;
  page_.EnableExit(false);
  if (!CheckNeedlePositions(t)) {
    // Nothing was sent: the page is as it was before Exit.
    commandIdle_ = true;
    page_.EnableExit(true);
    return;
  }
  page_.ResetExitFields();
  for (int i = 0; i < 5; ++i) needles_[i] = static_cast<int>(LeadingInteger(t.pos[i]));
  SaveNeedles();
  closing_ = true;
  if (pollRunning_) {
    page_.StopPoll();
    pollRunning_ = false;
  }
  if (!boardMoved_) {
    FinishExit();
    return;
  }
  SendClosingPrompt(A, cmd::Reset, 0, 0, kReplyTimeoutMs);
}

void EngineeringDebug::FinishExit() {
  if (conn_ != nullptr) conn_->Disconnect();
  page_.ClosePage();
}

void EngineeringDebug::OnLeaveTab() {
  if (!boardMoved_ || testRunning_) return;
  SendClosingPrompt(A, cmd::Reset, 0, 0, commandIdle_ ? kReplyTimeoutMs : 0);
}

void EngineeringDebug::OnTimeout() { EndWait(NoReplyText(AppSettings.LanguageIndex)); }

void EngineeringDebug::EndWait(const std::string& message) {
  if (testRunning_) {
    EndTest();
    host_.Message(message, BoxIcon::Warning);
    return;
  }
  if (closing_) {
    // The positions are stored; the page closes without the board's confirmation.
    host_.Message(message, BoxIcon::Warning);
    closing_ = false;
    FinishExit();
    return;
  }
  if (awaitedClass() == EF && awaitedCommand() == analyzer::debug::PressureTarget) {
    page_.EnableSwitches(true);
    page_.EnableTestStart(true);
    page_.EnablePressureSend(true);
  }
  commandIdle_ = true;
  host_.Message(message, BoxIcon::Warning);
}

void EngineeringDebug::OnFrame(const analyzer::BoardReply& r) {
  const int lang = AppSettings.LanguageIndex;
  if (!r.checksumOk) {
    host_.Message(ChecksumErrorText(lang), BoxIcon::Warning);
    return;
  }
  const uint8_t c = r.command, s = r.status, b4 = frame_[4];
  const bool awaited = waiting() && awaitedClass() == (r.cls == DD ? A : r.cls) && awaitedCommand() == c;
  if (r.cls == A) {
    if (testRunning_ && awaited) {
      if (c == cmd::EnterSampleMode && s == analyzer::kReplyDone) {
        SendTest(cmd::StartWholeBlood, true);
      } else if (c == cmd::StartWholeBlood) {
        SendTest(cmd::EndOfCount, false);
      } else if (c == cmd::EndOfCount) {
        ++testsDone_;
        const bool more = !stopRequested_ && (testCount_ < 0 || testsDone_ < testCount_);
        if (more) SendTest(cmd::StartWholeBlood, true);
        else EndTest();
      }
      return;
    }
    if (c == cmd::Reset && awaited) {
      StopWaiting();
      commandIdle_ = true;
      if (closing_) FinishExit();
    }
    return;
  }
  if (TakeSensorReportLogged(r, host_)) return;
  if (r.cls == DD && c == analyzer::fault::CouplerFault) {
    const std::string text = CouplerText(s, lang);
    if (!text.empty()) {
      if (lang == 0) WriteLog(text);
      host_.Message(text, BoxIcon::Error);
    }
    page_.EnableExit(true);
    return;
  }
  if (r.cls == DD && c == EF) {
    // DD EF c p: the board refused a debug command.
    if (s <= 2 && b4 <= 1) {
      const bool on = b4 == 1;
      switches_[s] = on ? 1 : 0;  // the same press is offered again
      page_.SetSwitchCaption(s, !on);
      host_.Message(SwitchMessage(s, on, true, lang), BoxIcon::Warning);
    } else if (s >= 3 && s <= 6) {
      host_.Message(kMovementFailed[s - 3], BoxIcon::Warning);
    } else if (s == analyzer::debug::PressureTarget ||
               (s >= analyzer::debug::NeedlePosition1 && s <= analyzer::NeedlePositionCommand(5))) {
      if (waiting() && awaitedClass() == EF && awaitedCommand() == s) {
        StopWaiting();
        EndWait(RefusedText(lang));
      }
    }
    return;
  }
  if (r.cls == DD && testRunning_ && awaited) {
    EndTest();
    host_.Message(RefusedText(lang), BoxIcon::Warning);
    return;
  }
  if (r.cls == EF) {
    if (c >= analyzer::debug::NeedlePosition1 && c <= analyzer::NeedlePositionCommand(5) && c != analyzer::debug::PressureTarget) {
      if (awaited) {
        StopWaiting();
        commandIdle_ = true;
      }
      return;
    }
    if (c <= 2 && s <= 1 && (c == 2 || b4 == EF)) {
      const bool on = s == 1;
      switches_[c] = on ? 0 : 1;
      page_.SetSwitchCaption(c, on);
      host_.Message(SwitchMessage(c, on, false, lang), BoxIcon::None);
      return;
    }
    if (c == analyzer::debug::PressureTarget && awaited) {
      StopWaiting();
      page_.StartPoll();
      boardMoved_ = true;
      pollRunning_ = true;
      page_.EnableSwitches(true);
    }
    return;
  }
  if (r.cls == CC && c == analyzer::status::Pressure) {
    page_.ShowPressure(std::to_string(s * 256 + b4));
    page_.EnablePressureSend(true);
    if (!testRunning_) page_.EnableTestStart(true);
  }
}

}  // namespace service
