#include "analyzer/sequences/startup_sequence.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "algorithm/Zentil.h"
#include "analyzer/algorithm_input.h"
#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/param_order.h"
#include "core/sys_log.h"
#include "core/value_format.h"
#include "core/zentil_binding.h"
#include "platform/sys/clock.h"
#include "platform/sys/path_map.h"
#include "platform/sys/profile.h"

namespace analyzer {
namespace {

std::string T(const char* zh, const char* en, const char* es, const char* fr, const char* ua) {
  return PickText(zh, en, es, fr, ua);
}

// The mechanics checks in the order the board runs them.
struct MechanicsCheck {
  uint8_t command;
  const char* checksum[5];
  const char* fault[5];
  const char* resultAfterChecksum[5];
  const char* resultAfterFault[5];
};
const MechanicsCheck kChecks[] = {
    {cmd::CheckNeedle,
     {"采样针检测命令校验错！", "Sampling needle detection command checksum error!",
      "¡Error de suma de comprobación del comando de detección de la aguja!",
      "Erreur de somme de contrôle de la commande de détection de l'aiguille!",
      "Помилка контрольної суми команди перевірки голки!"},
     {"采样针检测错误！", "Sampling needle detection error!", "¡Error de detección de la aguja!",
      "Erreur de détection de l'aiguille!", "Помилка перевірки голки!"},
     {"采样针检测错误", "Sampling needle detection error", "Error de detección de la aguja",
      "Erreur de détection de l'aiguille", "Помилка перевірки голки"},
     {"采样针检测错误", "Sampling needle detection error", "Error de detección de la aguja",
      "Erreur de détection de l'aiguille", "Помилка перевірки голки"}},
    {cmd::CheckCarriage,
     {"小车检测命令校验错！", "Carriage detection command checksum error!",
      "¡Error de suma de comprobación del comando de detección del carro!",
      "Erreur de somme de contrôle de la commande de détection du chariot!",
      "Помилка контрольної суми команди перевірки каретки!"},
     {"小车检测错误！", "Carriage detection error!", "¡Error de detección del carro!",
      "Erreur de détection du chariot!", "Помилка перевірки каретки!"},
     {"小车检测错误", "Carriage detection error", "Error de detección del carro", "Erreur de détection du chariot",
      "Помилка перевірки каретки"},
     {"小车检测错误 ", "Carriage detection error ", "Error de detección del carro ", "Erreur de détection du chariot ",
      "Помилка перевірки каретки "}},
    {cmd::CheckLiquidSyringe,
     {"液体注射器检测命令校验错！", "Liquid syringe detection command checksum error!",
      "¡Error de suma de comprobación del comando de detección de la jeringa de líquido!",
      "Erreur de somme de contrôle de la commande de détection de la seringue de liquide!",
      "Помилка контрольної суми команди перевірки рідинного шприца!"},
     {"液体注射器检测错误！", "Liquid syringe detection error!", "¡Error de detección de la jeringa de líquido!",
      "Erreur de détection de la seringue de liquide!", "Помилка перевірки рідинного шприца!"},
     {"液体注射器检测错误", "Liquid syringe detection error", "Error de detección de la jeringa de líquido",
      "Erreur de détection de la seringue de liquide", "Помилка перевірки рідинного шприца"},
     {"液体注射器检测错误", "Liquid syringe detection error", "Error de detección de la jeringa de líquido",
      "Erreur de détection de la seringue de liquide", "Помилка перевірки рідинного шприца"}},
    {cmd::CheckPressureSyringe,
     {"压力注射器检测命令校验错！", "Pressure syringe detection command checksum error!",
      "¡Error de suma de comprobación del comando de detección de la jeringa de presión!",
      "Erreur de somme de contrôle de la commande de détection de la seringue de pression!",
      "Помилка контрольної суми команди перевірки шприца тиску!"},
     {"压力注射器检测错误！", "Pressure syringe detection error!", "¡Error de detección de la jeringa de presión!",
      "Erreur de détection de la seringue de pression!", "Помилка перевірки шприца тиску!"},
     {"压力注射器检测错误", "Pressure syringe detection error", "Error de detección de la jeringa de presión",
      "Erreur de détection de la seringue de pression", "Помилка перевірки шприца тиску"},
     {"压力注射器检测错误", "Pressure syringe detection error", "Error de detección de la jeringa de presión",
      "Erreur de détection de la seringue de pression", "Помилка перевірки шприца тиску"}},
    {cmd::AllValves,
     {"阀检测命令校验错！", "Valves detection command checksum error!",
      "¡Error de suma de comprobación del comando de detección de válvulas!",
      "Erreur de somme de contrôle de la commande de détection des vannes!",
      "Помилка контрольної суми команди перевірки клапанів!"},
     {"阀检测错误！", "Valves detection error!", "¡Error de detección de válvulas!", "Erreur de détection des vannes!",
      "Помилка перевірки клапанів!"},
     {"阀检测错误", "Valves detection error", "Error de detección de válvulas", "Erreur de détection des vannes",
      "Помилка перевірки клапанів"},
     {"阀检测错误", "Valves detection error", "Error de detección de válvulas", "Erreur de détection des vannes",
      "Помилка перевірки клапанів"}},
};

// The acknowledgements that move the start-up on only with the status "done" (FF); the others
// are taken whatever their status.
bool NeedsDoneStatus(uint8_t command) {
  const bool mechanics = command == cmd::CheckNeedle || command == cmd::CheckCarriage ||
                         command == cmd::CheckLiquidSyringe || command == cmd::CheckPressureSyringe ||
                         command == cmd::AllValves;
  const bool parameter = (command >= cmd::Zydw1 && command <= cmd::APressure) ||
                         (command >= cmd::Para1 && command <= cmd::Para1 + 3);
  return command == cmd::Reset || command == cmd::EnterSampleMode || mechanics || parameter;
}

const MechanicsCheck* FindCheck(uint8_t command) {
  for (const MechanicsCheck& c : kChecks)
    if (c.command == command) return &c;
  return nullptr;
}
std::string Pick5(const char* const texts[5]) {
  return PickText(texts[0], texts[1], texts[2], texts[3], texts[4]);
}

std::string ChecksumErrorText() {
  return T("校验错误", "Checksum error", "Error de suma de comprobación", "Erreur de somme de contrôle",
           "Помилка контрольної суми");
}
std::string BlankTestErrorText() {
  return T("空白测试错误", "Blank test error", "Error en la prueba en blanco", "Erreur du test de blanc",
           "Помилка холостого тесту");
}
std::string NoReplyText() {
  return T("前端无应答", "No reply from the analyzer", "El analizador no responde", "L'analyseur ne répond pas",
           "Аналізатор не відповідає");
}
std::string AlarmModeFailureText() {
  return T("试剂报警模式设置失败！请重启仪器！",
           "Reagent volume alarm mode setting failure! please restart instrument!",
           "¡Fallo al ajustar el modo de alarma de reactivos! ¡Reinicie el instrumento!",
           "Échec du réglage du mode d'alarme des réactifs! Redémarrez l'instrument!",
           "Не вдалося встановити режим тривоги реагентів! Перезапустіть прилад!");
}
std::string CouplerText(uint8_t unit) {
  switch (unit) {
    case 2:
      return T("液体注射器光耦错误，维修后点击“确定”，点击“取消”关机",
               "The optical coupler of liquid syringe error,click \"OK\" after servicing,shut down by click \"Cancel\"",
               "Error del acoplador óptico de la jeringa de líquido,pulse \"OK\" tras la reparación,apague con \"Cancel\"",
               "Erreur du coupleur optique de la seringue de liquide,cliquez \"OK\" après réparation,arrêt par \"Cancel\"",
               "Помилка оптопари рідинного шприца,натисніть \"OK\" після ремонту,вимкнення - \"Cancel\"");
    case 3:
      return T("小车光耦错误，维修后点击“确定”，点击“取消”关机",
               "The optical coupler of carriage error,click \"OK\" after servicing,shut down by click \"Cancel\"",
               "Error del acoplador óptico del carro,pulse \"OK\" tras la reparación,apague con \"Cancel\"",
               "Erreur du coupleur optique du chariot,cliquez \"OK\" après réparation,arrêt par \"Cancel\"",
               "Помилка оптопари каретки,натисніть \"OK\" після ремонту,вимкнення - \"Cancel\"");
    case 4:
      return T("采样针光耦错误，维修后点击“确定”，点击“取消”关机",
               "The optical coupler of needle error,click \"OK\" after servicing,shut down by click \"Cancel\"",
               "Error del acoplador óptico de la aguja,pulse \"OK\" tras la reparación,apague con \"Cancel\"",
               "Erreur du coupleur optique de l'aiguille,cliquez \"OK\" après réparation,arrêt par \"Cancel\"",
               "Помилка оптопари голки,натисніть \"OK\" після ремонту,вимкнення - \"Cancel\"");
    case 5:
      return T("压力注射器光耦错误，维修后点击“确定”，点击“取消”关机",
               "The optical coupler of pressure syringe error,click \"OK\" after servicing,shut down by click \"Cancel\"",
               "Error del acoplador óptico de la jeringa de presión,pulse \"OK\" tras la reparación,apague con \"Cancel\"",
               "Erreur du coupleur optique de la seringue de pression,cliquez \"OK\" après réparation,arrêt par \"Cancel\"",
               "Помилка оптопари шприца тиску,натисніть \"OK\" після ремонту,вимкнення - \"Cancel\"");
    default:
      return {};
  }
}


// "'a','b',..." of one word in every language, for queries that must find rows whatever the
// language was when they were written.
std::string AllLanguages(SysLogWord word) {
  std::string s;
  for (int lang = 0; lang < 5; ++lang) {
    if (lang) s += ",";
    s += "'" + SqlSafeText(SysLogText(word, lang)) + "'";
  }
  return s;
}

}  // namespace

// ---- The blank's values --------------------------------------------------------------------

bool BlankIsHigh(const BlankValues& v, bool invalidIsHigh) {
  constexpr float kInvalid = -100000.0f;
  if (invalidIsHigh && (v.wbc == kInvalid || v.rbc == kInvalid || v.plt == kInvalid || v.hct == kInvalid)) return true;
  return v.wbc > 0.2f || v.rbc > 0.03f || v.plt > 10.0f || v.hct > 0.5f;
}

void FillBlankInput(AlgorithmInput& input, uint8_t wbcTimeTenths, const float factors[6]) {
  AlgorithmInputValues values;  // whole blood, no HGB measurement
  values.wbcTimeTenths = wbcTimeTenths;
  std::copy(factors, factors + kAlgorithmFactors, values.factors);
  FillAlgorithmInput(input, values, BlankHistograms.wbc, BlankHistograms.rbc, BlankHistograms.plt);
}

void ReadWholeBloodFactors(CADOConn& conn, float factors[6]) {
  for (int i = 0; i < 6; ++i) factors[i] = 1.0f;
  RecordsetPtr& rs = conn.OpenRecordset("Select * from CalibrationCoef where BloodType=0");
  if (HasRows(*rs)) {
    float all[20];
    for (int i = 0; i < 20; ++i) {
      all[i] = 1.0f;
      ReadField(*rs, i + 1, all[i]);
    }
    ReorderParamsForDisplay(all);
    PickAlgorithmFactors(all, factors);
  }
  conn.CloseRecordset();
}

AlgorithmStatus CallZentilLibrary(AlgorithmResult& result, AlgorithmInput& input, const std::string& path) {
  std::memset(&result, 0, sizeof result);
  return WithZentilEntry<AlgorithmMainProc>(path.empty() ? std::string("Zentil.dll") : path, "AlgorithmMain",
                                            [&](AlgorithmMainProc main) { main(&result, &input, nullptr); });
}

// ---- Setting.ini ---------------------------------------------------------------------------

void ReadLzlonSettings(const std::string& iniPath, int32_t* lzlon, int32_t* lzlval) {
  std::ifstream in(sys::MapPath(iniPath));
  if (!in) return;
  bool found = false;
  std::string line;
  while (std::getline(in, line)) {
    if (line.find("LZLON") != std::string::npos) {
      found = true;
      break;
    }
  }
  in.close();
  if (found) {
    *lzlon = sys::ProfileGetInt("Setting", "LZLON", 1, iniPath);
    *lzlval = sys::ProfileGetInt("Setting", "LZLVAL", 0, iniPath);
  } else {
    *lzlon = 1;
    *lzlval = 0;
    // Both defaults in one replacement of the file.
    sys::ProfileWriteStrings("Setting", {{"LZLON", "1"}, {"LZLVAL", "0"}}, iniPath);
  }
}

void LzlonParams(int32_t lzlon, int32_t lzlval, uint8_t* p1, uint8_t* p2) {
  if (lzlon == 1) {
    *p1 = 1;
    *p2 = static_cast<uint8_t>(lzlval);
  } else if (lzlon == -1) {
    *p1 = 0;
    *p2 = static_cast<uint8_t>(-lzlval);
  } else {
    *p1 = 0;
    *p2 = 0;
  }
}

// ---- The sequence --------------------------------------------------------------------------

StartupSequence::StartupSequence(StartupHost& host, const StartupStoreValues& values, CADOConn* conn)
    : host_(host), values_(values), conn_(conn) {
  algorithm_ = [](AlgorithmResult& r, AlgorithmInput& in) { return CallZentilLibrary(r, in); };
}

void StartupSequence::Send(uint8_t cls, uint8_t command, uint8_t p1, uint8_t p2, int64_t timeoutMs) {
  rx_.Clear();
  host_.Send(BuildCommandFrame(cls, command, p1, p2));
  awaited_.Sent(cls, command, timeoutMs);
}

void StartupSequence::SendPair(uint8_t command) {
  Send(FrameClassCommand, command, values_.eng.WBCTIME, values_.eng.RBCTIME, kLongReplyTimeoutMs);
}

void StartupSequence::SendSigned(uint8_t command, int32_t value) {
  const SignedParam s = SplitSigned(value);
  Send(FrameClassCommand, command, s.sign, s.magnitude);
}

void StartupSequence::Begin() {
  host_.ShowStatus(T("机械复位...", "Mechanics Reset...", "Reinicio mecánico...", "Réinitialisation mécanique...",
                     "Механічне скидання..."));
  state_ = State::Reset;
  resetDue_ = sys::Clock::TickMs() + kResetPeriodMs;
  Send(FrameClassCommand, cmd::Reset, 0, 0, 0);
}

int StartupSequence::OnSerialByte(uint8_t byte, unsigned port) {
  if (port < 1 || port > 4) return -1;
  if (state_ == State::Ended) return 0;
  const CollectedFrame f = rx_.Feed(byte);
  if (f) {
    OnFrame(f);
    rx_.Clear();
  }
  return 0;
}

void StartupSequence::Fail(const std::string& result) {
  SetResult(result);
  WriteStartupLog();
}

void StartupSequence::OnFrame(const CollectedFrame& f) {
  if (state_ == State::Ended) return;
  if (f.kind == FrameKind::Command) {
    OnCommandFrame(f);
    return;
  }
  // Data frames belong to the blank count only.
  if (f.kind != FrameKind::Command && state_ != State::BlankCount) return;
  if (f.kind == FrameKind::RunHeader) {
    if (!awaited_.Take(FrameClassData, data::RunHeader)) return;  // not the frame asked for
    if (!f.checksumOk) {
      host_.Message("血红蛋白数据校验错误！", BoxIcon::Warning);
      Fail(BlankTestErrorText());
      return;
    }
    const RunHeader h = ParseRunHeader(f.bytes);
    RunHeaderValue = h.hgbBlank;  // 0 already taken as 0xFFFF
    Send(FrameClassData, data::WbcHistogram);
    return;
  }
  if (f.kind == FrameKind::Histogram) {
    const uint8_t ch = f.channel();
    if (!awaited_.Take(FrameClassData, ch)) return;  // not the histogram asked for
    if (!f.checksumOk) {
      static const char* const kBad[4] = {"", "白细胞数据校验错误！", "红细胞数据校验错误！", "血小板数据校验错误！"};
      if (ch >= 1 && ch <= 3) histReceived_[ch - 1] = false;
      host_.Message(kBad[ch <= 3 ? ch : 0], BoxIcon::Warning);
      Fail(BlankTestErrorText());
      return;
    }
    const std::vector<float> bins = ParseHistogramFloats(f.bytes);
    if (ch == ChannelWbc) {
      std::copy_n(bins.begin(), std::min(bins.size(), BlankHistograms.wbc.size()), BlankHistograms.wbc.begin());
      histReceived_[0] = true;
      Send(FrameClassData, data::RbcHistogram);
    } else if (ch == ChannelRbc) {
      std::copy_n(bins.begin(), std::min(bins.size(), BlankHistograms.rbc.size()), BlankHistograms.rbc.begin());
      histReceived_[1] = true;
      Send(FrameClassData, data::PltHistogram);
    } else if (ch == ChannelPlt) {
      std::copy_n(bins.begin(), std::min(bins.size(), BlankHistograms.plt.size()), BlankHistograms.plt.begin());
      histReceived_[2] = true;
      if (BlankCountPhase == 2) {
        Send(FrameClassCommand, cmd::EndOfCount, 0, 0, kLongReplyTimeoutMs);
        BlankCountPhase = 1;
      } else {
        Send(FrameClassCommand, cmd::NextCount, 0, 0, kLongReplyTimeoutMs);
        histReceived_[0] = histReceived_[1] = histReceived_[2] = false;
        BlankCountPhase = 2;
      }
    }
  }
}

void StartupSequence::OnCommandFrame(const CollectedFrame& f) {
  const uint8_t cls = f.bytes[1], command = f.bytes[2], st = f.bytes[3];
  const bool ok = f.checksumOk;
  const int lang = AppSettings.LanguageIndex;

  // Reports that may come at any time.
  if (cls == FrameClassFault && command == fault::CouplerFault) {
    const std::string text = CouplerText(st);
    if (!text.empty() && !host_.AskOkCancel(text)) host_.ShutdownPc();
    rx_.Clear();
    if (state_ == State::AlarmMode) {
      // The alarm mode's answer is still the one awaited.
      host_.Send(BuildCommandFrame(FrameClassCommand, cmd::Reset));
    } else {
      Send(FrameClassCommand, cmd::Reset);
      state_ = State::Reset;
    }
    return;
  }
  if (cls == FrameClassStatus) {
    if ((command == status::LyseSensor || command == status::CleanserSensor || command == status::DiluentSensor) &&
        st <= 1) {
      Reagents().ApplySensorReport(command, st);
      if (blankRunning_) Send(FrameClassCommand, cmd::Reset);
    }
    return;  // CC FF and other reports: nothing to do here
  }
  if (state_ == State::AlarmMode) {
    if (awaited_.Take(cls, command)) {
      alarmDue_ = 0;
      host_.SetProgress(20);
      state_ = State::Ended;
      if (st != kReplyDone) host_.Message(AlarmModeFailureText(), BoxIcon::Question);
      host_.End();
    }
    return;
  }

  // Only the answer to the command just sent moves the start-up on: an acknowledgement of
  // another command, or a second one of a command already answered, changes nothing. A step
  // that is answered with the wrong status keeps waiting and ends in its time-out.
  if (!awaited_.Answers(cls, command)) return;
  if (cls == FrameClassCommand && st != kReplyDone && NeedsDoneStatus(command)) return;
  // Only a mechanics check goes on after its fault report; any other refusal leaves the step
  // waiting, so it ends in its time-out and the start-up log.
  if (cls == FrameClassFault && (FindCheck(command) == nullptr || state_ != State::Mechanics)) return;
  awaited_.Clear();

  if (cls == FrameClassCommand) {
    const uint8_t c = command;
    if (c == cmd::Reset) {
      if (blankRunning_) {
        SetResult(T("开机空白测试中止", "Startup blank test halted", "Prueba en blanco de inicio detenida",
                    "Test de blanc de démarrage interrompu", "Стартовий холостий тест перервано"));
        WriteStartupLog();
        return;
      }
      resetDue_ = 0;
      host_.SetProgress(3);
      state_ = State::Offsets;
      SendSigned(cmd::Needle1, values_.eng.Needle[0]);
      return;
    }
    if (c >= cmd::Needle1 && c <= cmd::Needle1 + 4) {
      if (c < cmd::Needle1 + 4) {
        SendSigned(static_cast<uint8_t>(c + 1), values_.eng.Needle[c - cmd::Needle1 + 1]);
      } else {
        host_.SetProgress(3);
        host_.ShowStatus(T("机械检测...", "Mechanics Checking...", "Comprobación mecánica...",
                           "Contrôle mécanique...", "Перевірка механіки..."));
        state_ = State::Mechanics;
        Send(FrameClassCommand, cmd::CheckNeedle);
      }
      return;
    }
    if (const MechanicsCheck* check = FindCheck(c)) {
      if (!ok) {
        host_.Message(Pick5(check->checksum), BoxIcon::Warning);
        Fail(Pick5(check->resultAfterChecksum));
        return;
      }
      switch (c) {
        case cmd::CheckNeedle: Send(FrameClassCommand, cmd::CheckCarriage); break;
        case cmd::CheckCarriage: host_.SetProgress(5); Send(FrameClassCommand, cmd::CheckLiquidSyringe); break;
        case cmd::CheckLiquidSyringe: host_.SetProgress(6); Send(FrameClassCommand, cmd::CheckPressureSyringe); break;
        case cmd::CheckPressureSyringe: host_.SetProgress(7); Send(FrameClassCommand, cmd::AllValves); break;
        default:
          host_.SetProgress(8);
          host_.ShowStatus(T("传送硬件参数...", "Transfering hardware parameters...", "Transfiriendo parámetros del hardware...",
                             "Transfert des paramètres matériels...", "Передача апаратних параметрів..."));
          state_ = State::Parameters;
          Send(FrameClassCommand, cmd::Zydw1, values_.eng.ZYDW[0]);
          break;
      }
      return;
    }
    const bool parameter = (c >= cmd::Zydw1 && c <= cmd::APressure) || (c >= cmd::Para1 && c <= cmd::Para1 + 3);
    if (parameter) {
      if (!ok) {
        host_.Message(ChecksumErrorText(), BoxIcon::Warning);
        Fail(ChecksumErrorText());
        return;
      }
      const EngineeringValues& e = values_.eng;
      if (c == cmd::Zydw1) host_.SetProgress(9);
      if (c >= cmd::Zydw1 && c < cmd::Mkdydw1 + 3) {
        const int next = c - cmd::Zydw1 + 1;  // 1..7
        const uint8_t value = next < 4 ? e.ZYDW[next] : e.MKDYDW[next - 4];
        Send(FrameClassCommand, static_cast<uint8_t>(c + 1), value);
      } else if (c == cmd::Mkdydw1 + 3) {
        host_.SetProgress(10);
        Send(FrameClassCommand, cmd::Para1, e.PARA[0]);
      } else if (c >= cmd::Para1 && c < cmd::Para1 + 3) {
        Send(FrameClassCommand, static_cast<uint8_t>(c + 1), e.PARA[c - cmd::Para1 + 1]);
      } else if (c == cmd::Para1 + 3) {
        Send(FrameClassCommand, cmd::FPressure, static_cast<uint8_t>(e.FPRESSURE >> 8), static_cast<uint8_t>(e.FPRESSURE));
      } else if (c == cmd::FPressure) {
        host_.SetProgress(11);
        Send(FrameClassCommand, cmd::APressure, static_cast<uint8_t>(e.APRESSURE >> 8), static_cast<uint8_t>(e.APRESSURE));
      } else {  // APressure
        uint8_t p1 = 0, p2 = 0;
        LzlonParams(lzlon_, lzlval_, &p1, &p2);
        state_ = State::Lzlon;
        Send(FrameClassDebug, debug::LiquidLevel, p1, p2);
      }
      return;
    }
    if (c == cmd::StartupProcedure) {
      if (!ok) {
        host_.Message(ChecksumErrorText(), BoxIcon::Warning);
        Fail(ChecksumErrorText());
        return;
      }
      // Only a completed clean used reagent.
      if (st == kReplyDone) Reagents().Book(ReagentOperation::StartupClean, lang);
      BlankDecision();
      return;
    }
    if (c == cmd::EnterSampleMode) {
      host_.ShowStatus(T("空白测试...", "Blank Testing...", "Prueba en blanco...", "Test de blanc...", "Холостий тест..."));
      state_ = State::BlankCount;
      SendPair(cmd::BlankCount);
      blankRunning_ = true;
      return;
    }
    if (c == cmd::BlankCount || c == cmd::NextCount) {
      if (!ok) {
        host_.Message(c == cmd::BlankCount
                          ? T("前端确认帧校验错误！", "Confirmation frame of frontend successfully performed checksum error!",
                              "¡Error de suma de comprobación de la trama de confirmación!",
                              "Erreur de somme de contrôle de la trame de confirmation!",
                              "Помилка контрольної суми кадру підтвердження!")
                          : T("重测确认帧校验错误！", "Confirmation frame of Retest check error!",
                              "¡Error de comprobación de la trama de confirmación de repetición!",
                              "Erreur de contrôle de la trame de confirmation du nouveau test!",
                              "Помилка перевірки кадру підтвердження повторного тесту!"),
                      BoxIcon::Warning);
        Fail(BlankTestErrorText());
        return;
      }
      Send(FrameClassData, data::RunHeader);
      return;
    }
    if (c == cmd::EndOfCount) {
      ++endOfCount_;
      if (!ok) {
        host_.Message("测试完成确认帧校验错误！", BoxIcon::Warning);
        Fail(BlankTestErrorText());
        return;
      }
      if (endOfCount_ >= 1 && endOfCount_ <= 3) host_.SetProgress(16 + endOfCount_);
      EvaluateStartupBlank();
      host_.DeleteTrace();
      return;
    }
    return;
  }

  if (cls == FrameClassFault) {
    if (const MechanicsCheck* check = FindCheck(command)) {
      host_.Message(Pick5(check->fault), BoxIcon::Warning);
      SetResult(Pick5(check->resultAfterFault));
      // The check failed, the start-up goes on with the next one.
      switch (command) {
        case cmd::CheckNeedle: Send(FrameClassCommand, cmd::CheckCarriage); break;
        case cmd::CheckCarriage: Send(FrameClassCommand, cmd::CheckLiquidSyringe); break;
        case cmd::CheckLiquidSyringe: Send(FrameClassCommand, cmd::CheckPressureSyringe); break;
        case cmd::CheckPressureSyringe: Send(FrameClassCommand, cmd::AllValves); break;
        default:
          state_ = State::Parameters;
          Send(FrameClassCommand, cmd::Zydw1, values_.eng.ZYDW[0]);
          break;
      }
    }
    return;
  }

  if (cls == FrameClassDebug && command == debug::LiquidLevel && state_ == State::Lzlon) {
    if (!ok) {
      host_.Message(ChecksumErrorText(), BoxIcon::Warning);
      Fail(ChecksumErrorText());
      return;
    }
    BoardParametersSent = 1;
    host_.SetProgress(12);
    StartupDecision();
  }
}

void StartupSequence::StartupDecision() {
  if (systemChinese_ || values_.IsKJQX != 0) {
    const ReagentVolumes& v = Reagents().volumes();
    if (v.CleanserAvailable && v.DiluentAvailable) {
      host_.ShowStatus(T("正在执行开机程序...", "Running StartUp procedure...", "Ejecutando el procedimiento de inicio...",
                         "Procédure de démarrage en cours...", "Виконується процедура запуску..."));
      cleanStarted_ = true;
      state_ = State::Clean;
      Send(FrameClassCommand, cmd::StartupProcedure, 1, 0, kLongReplyTimeoutMs);
      return;
    }
    // The clean cannot run: say which reagent is missing and finish the start-up.
    ReagentShortage s;
    s.cleanser = !v.CleanserAvailable;
    s.diluent = !v.DiluentAvailable;
    Fail(ReagentShortageText(s, AppSettings.LanguageIndex));
    return;
  }
  BlankDecision();
}

void StartupSequence::BlankDecision() {
  const ReagentVolumes& v = Reagents().volumes();
  if (values_.IsKJKB != 0 && v.LyseAvailable && v.CleanserAvailable && v.DiluentAvailable) {
    host_.SetProgress(16);
    state_ = State::EnterTest;
    Send(FrameClassCommand, cmd::EnterSampleMode, 0, 0, kLongReplyTimeoutMs);
    return;
  }
  WriteStartupLog();
}

void StartupSequence::EvaluateStartupBlank() {
  Reagents().Book(ReagentOperation::StartupBlank, AppSettings.LanguageIndex);
  float factors[6];
  for (float& f : factors) f = 1.0f;
  if (conn_ != nullptr) ReadWholeBloodFactors(*conn_, factors);
  AlgorithmInput input;
  FillBlankInput(input, values_.eng.WBCTIME, factors);
  AlgorithmResult result;
  std::memset(&result, 0, sizeof result);
  const AlgorithmStatus status = algorithm_(result, input);
  if (status != AlgorithmStatus::Computed) {
    // Without the library nothing was measured: that is a failed blank test, not a clean one.
    if (status == AlgorithmStatus::LibraryMissing) host_.Message("Load Zentil.dll failed!", BoxIcon::Error);
    SetResult(BlankTestErrorText());
    WriteStartupLog();
    return;
  }
  const BlankValues values{result.WBC, result.RBC, result.HCT, result.PLT};
  const bool high = BlankIsHigh(values);
  if (high && endOfCount_ < 3) {
    host_.ShowStatus(T("重测空白...", "Retesting Blank...", "Repitiendo la prueba en blanco...", "Nouveau test de blanc...",
                       "Повторний холостий тест..."));
    SendPair(cmd::BlankCount);
    return;
  }
  SetResultIfEmpty(high ? T("开机空白值偏高", "High blank value when startup", "Valor en blanco alto al iniciar",
                            "Valeur de blanc élevée au démarrage", "Високе холосте значення при запуску")
                        : SysLogText(SysLogWord::Normal, AppSettings.LanguageIndex));
  StartupBlankEvaluated = 1;
  WriteStartupLog();
}

void StartupSequence::WriteStartupLog() {
  if (StartupLogWritten) return;
  StartupLogWritten = 1;
  blankRunning_ = false;
  resetDue_ = 0;
  awaited_.Clear();
  host_.SetProgress(19);
  const int lang = AppSettings.LanguageIndex;
  const sys::LocalTime now = sys::Clock::Now();
  std::string result = resultText_;
  if (values_.IsKJKB == 0 && result.empty()) result = SysLogText(SysLogWord::Normal, lang);
  if (conn_ != nullptr) {
    TrimSysLogAtStartup(*conn_);
    // The previous run ended without its shutdown row when its start-up row is later than
    // the last shutdown row (or there is no shutdown row at all).
    std::string lastStart, lastShutdown;
    RecordsetPtr& rs = conn_->OpenRecordset("Select Date, Time from SysLog where Event in (" +
                                            AllLanguages(SysLogWord::Startup) + ") order by Date desc, Time desc limit 1");
    if (HasRows(*rs)) {
      std::string d, t;
      ReadField(*rs, "Date", d);
      ReadField(*rs, "Time", t);
      lastStart = d + " " + t;
    }
    conn_->CloseRecordset();
    RecordsetPtr& rs2 = conn_->OpenRecordset("Select Date, Time from SysLog where Event in (" +
                                             AllLanguages(SysLogWord::ShutDown) + ") order by Date desc, Time desc limit 1");
    if (HasRows(*rs2)) {
      std::string d, t;
      ReadField(*rs2, "Date", d);
      ReadField(*rs2, "Time", t);
      lastShutdown = d + " " + t;
    }
    conn_->CloseRecordset();
    if (!lastStart.empty() && lastStart > lastShutdown) {
      // The row closing that run carries the moment of its last row, so the log, read by date
      // and time, shows it after the run it closes and before this start.
      std::string lastDate, lastTime;
      RecordsetPtr& last = conn_->OpenRecordset("Select Date, Time from SysLog order by Date desc, Time desc limit 1");
      if (HasRows(*last)) {
        ReadField(*last, "Date", lastDate);
        ReadField(*last, "Time", lastTime);
      }
      conn_->CloseRecordset();
      conn_->Execute("insert into SysLog values('" + SqlSafeText(lastDate) + "','" + SqlSafeText(lastTime) + "','" +
                     SqlSafeText(SysLogText(SysLogWord::ShutDown, lang)) + "','" +
                     SqlSafeText(SysLogText(SysLogWord::Abnormal, lang)) + "')");
    }
    conn_->Execute(SysLogInsertSql(now, SysLogText(SysLogWord::Startup, lang), result));
    conn_->Disconnect();
  }
  state_ = State::AlarmMode;
  Send(FrameClassCommand, cmd::SetReagentAlarmMode, AppSettings.ReagentAlarmType, 0, 0);
  alarmDue_ = sys::Clock::TickMs() + kAlarmModeTimeoutMs;
}

bool StartupSequence::OnAltF4() {
  if (cleanStarted_ || blankRunning_ || state_ == State::Ended || state_ == State::AlarmMode) return false;
  resetDue_ = 0;
  WriteStartupLog();
  return true;
}

void StartupSequence::Poll(int64_t nowMs) {
  if (state_ == State::Ended || state_ == State::Idle) return;
  if (alarmDue_ != 0 && nowMs >= alarmDue_) {
    alarmDue_ = 0;
    state_ = State::Ended;
    host_.Message(AlarmModeFailureText(), BoxIcon::Question);
    host_.End();
    return;
  }
  if (resetDue_ != 0 && nowMs >= resetDue_) {
    if (resetExpiries_ >= kResetRetries - 1) {
      resetDue_ = 0;
      host_.CopyTraceToLog();
    } else {
      resetDue_ = nowMs + kResetPeriodMs;
    }
    ++resetExpiries_;
    rx_.Clear();
    host_.ReopenPort();
    // After the last retry the reply gets one more period before the start-up gives up.
    Send(FrameClassCommand, cmd::Reset, 0, 0, resetDue_ == 0 ? kResetPeriodMs : 0);
    return;
  }
  if (state_ != State::AlarmMode && awaited_.Expired(nowMs)) Fail(NoReplyText());
}

}  // namespace analyzer
