#include "tools/boardsim/board_model.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "analyzer/command_catalogue.h"

namespace boardsim {

using namespace analyzer;

namespace {

std::string Lower(const std::string& s) {
  std::string out;
  for (char c : s) out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  return out;
}

// Operations that take the hydraulics a while; the others are answered at once.
bool IsLongOperation(uint8_t command) {
  switch (command) {
    case cmd::NextCount: case cmd::StartWholeBlood: case cmd::StartPrediluted: case cmd::StartPeripheral:
    case cmd::BlankCount: case cmd::StartupProcedure: case cmd::BackFlush: case cmd::DrainChambers:
    case cmd::DrainChambers2: case cmd::PrimeAll: case cmd::PrimeDiluent: case cmd::PrimeLyse:
    case cmd::PrimeCleanser: case cmd::CleanChambers: case cmd::SoakStep1: case cmd::SoakStep2:
    case cmd::RemoveClog: case cmd::ClearBlock: case cmd::Wake: case cmd::DispenseDiluent:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool TargetFromName(const std::string& name, Target* out) {
  static const struct { const char* name; Target t; } kNames[] = {
      {"any", Target::Any}, {"ack", Target::Ack}, {"header", Target::RunHeader}, {"runheader", Target::RunHeader},
      {"hgb", Target::RunHeader}, {"wbc", Target::Wbc}, {"rbc", Target::Rbc}, {"plt", Target::Plt},
      {"status", Target::Status}};
  for (const auto& n : kNames) {
    if (Lower(name) == n.name) {
      if (out) *out = n.t;
      return true;
    }
  }
  return false;
}

bool ReagentFromName(const std::string& name, Reagent* out) {
  const std::string l = Lower(name);
  Reagent r;
  if (l == "lyse") r = Reagent::Lyse;
  else if (l == "cleanser" || l == "cleaner") r = Reagent::Cleanser;
  else if (l == "diluent") r = Reagent::Diluent;
  else return false;
  if (out) *out = r;
  return true;
}

BoardModel::BoardModel(BoardOptions options) : options_(options) {}

Target BoardModel::TargetOf(const std::vector<uint8_t>& f) {
  if (f.size() < 5) return Target::Any;
  if (f[1] == 0x00) {
    switch (f[4]) {
      case ChannelWbc: return Target::Wbc;
      case ChannelRbc: return Target::Rbc;
      default: return Target::Plt;
    }
  }
  if (f[1] == FrameClassData && f[2] == data::RunHeader) return Target::RunHeader;
  if (f[1] == FrameClassCommand) return Target::Ack;
  if (f[1] == FrameClassStatus) return Target::Status;
  return Target::Any;
}

bool BoardModel::TakeInjection(std::vector<Injection>& list, Target t) {
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->target == Target::Any || it->target == t) {
      if (--it->times <= 0) list.erase(it);
      return true;
    }
  }
  return false;
}

void BoardModel::Send(std::vector<Emission>& out, int delayMs, std::vector<uint8_t> bytes, bool remember) {
  if (remember) last_ = bytes;
  const Target t = TargetOf(bytes);
  if (TakeInjection(drop_, t)) return;
  if (TakeInjection(corrupt_, t) && bytes.size() >= 2) bytes[bytes.size() - 2] ^= 0x5A;  // the (last) check byte
  if (TakeInjection(doubled_, t) && bytes.size() >= 3) {
    const size_t mid = bytes.size() / 2;
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(mid), bytes[mid]);
  }
  out.push_back({delayMs, std::move(bytes)});
}

void BoardModel::SendCommand(std::vector<Emission>& out, int delayMs, uint8_t cls, uint8_t command, uint8_t p1,
                             uint8_t p2, uint8_t p3, uint8_t p4) {
  const uint8_t params[4] = {p1, p2, p3, p4};
  const CommandFrame f = BuildCommandFrame(cls, command, std::span<const uint8_t>(params, 4));
  Send(out, delayMs, std::vector<uint8_t>(f.begin(), f.end()));
}

void BoardModel::RefuseNext(uint8_t command, uint8_t code, int times) {
  refusals_.push_back({command, code, times});
}

void BoardModel::AnswerNext(uint8_t command, uint8_t status, int times) {
  answers_.push_back({command, status, times});
}

bool BoardModel::TakeScripted(std::vector<Refusal>& list, uint8_t command, uint8_t* code) {
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->command != command) continue;
    *code = it->code;
    if (--it->times <= 0) list.erase(it);
    return true;
  }
  return false;
}

void BoardModel::NewCount(uint8_t startCommand, uint8_t wbcTimeTenths) {
  startCommand_ = startCommand;
  if (wbcTimeTenths != 0) wbcTimeTenths_ = wbcTimeTenths;
  const BloodProfile& data = startCommand == cmd::BlankCount ? ProfileData(Profile::Blank) : CurrentProfileData();
  const float seconds = static_cast<float>(wbcTimeTenths_ / 10);  // as the analyzer divides it
  const uint32_t seed = options_.seed * 7919u + sampleSerial_ * 101u + static_cast<uint32_t>(countNumber_);
  const BloodProfile blood = source_ && startCommand != cmd::BlankCount ? source_(sampleSerial_) : data;
  count_ = GenerateCount(blood, seconds, startCommand == cmd::StartPrediluted, seed, options_.noise);
  countRunning_ = true;
}

void BoardModel::SensorReports(std::vector<Emission>& out, int delayMs) {
  SendCommand(out, delayMs, FrameClassStatus, status::LyseSensor, empty_[0] ? 1 : 0);
  SendCommand(out, delayMs, FrameClassStatus, status::CleanserSensor, empty_[1] ? 1 : 0);
  SendCommand(out, delayMs, FrameClassStatus, status::DiluentSensor, empty_[2] ? 1 : 0);
}

std::vector<Emission> BoardModel::PressCountKey() {
  std::vector<Emission> out;
  if (!silent_) SendCommand(out, 0, FrameClassStatus, status::CountKey);
  return out;
}

std::vector<Emission> BoardModel::CouplerFault(uint8_t unit) {
  std::vector<Emission> out;
  if (!silent_) SendCommand(out, 0, FrameClassFault, fault::CouplerFault, unit);
  return out;
}

std::vector<Emission> BoardModel::SetBottleEmpty(Reagent r, bool empty) {
  empty_[static_cast<int>(r)] = empty;
  std::vector<Emission> out;
  if (!silent_) {
    static const uint8_t kSensor[3] = {status::LyseSensor, status::CleanserSensor, status::DiluentSensor};
    SendCommand(out, 0, FrameClassStatus, kSensor[static_cast<int>(r)], empty ? 1 : 0);
  }
  return out;
}

std::vector<Emission> BoardModel::OnFrame(const CommandFrame& f, bool checksumOk) {
  std::vector<Emission> out;
  if (silent_ || !checksumOk) return out;
  const uint8_t cls = f[1], command = f[2];
  const int quick = options_.replyDelayMs;
  switch (cls) {
    case FrameClassCommand:
      OnCommand(f, out);
      break;
    case FrameClassResend:
      if (command == 0x01 && !last_.empty()) Send(out, quick, last_);
      break;
    case FrameClassData: {
      if (count_.wbc.empty()) NewCount(cmd::StartWholeBlood, 0);  // data asked for without a count
      switch (command) {
        case data::WbcHistogram: Send(out, quick, BuildHistogramFrame(ChannelWbc, count_.wbc)); break;
        case data::RbcHistogram: Send(out, quick, BuildHistogramFrame(ChannelRbc, count_.rbc)); break;
        case data::PltHistogram: Send(out, quick, BuildHistogramFrame(ChannelPlt, count_.plt)); break;
        case data::RunHeader: Send(out, quick, BuildRunHeader(count_.hgbBlank, count_.hgbSample)); break;
        default: break;
      }
      break;
    }
    case FrameClassStatus: {
      uint8_t code = 0;
      if (TakeScripted(statusRefusals_, command, &code)) {
        SendCommand(out, quick, FrameClassFault, command, code);
        break;
      }
      if (command == status::Temperature) {
        const long raw = std::lround(std::clamp(temperature_, 0.0, 300.0) * 4095.0 / 300.0);
        SendCommand(out, quick, FrameClassStatus, command, static_cast<uint8_t>(raw >> 8), static_cast<uint8_t>(raw));
      } else if (command == status::Pressure) {
        SendCommand(out, quick, FrameClassStatus, command, static_cast<uint8_t>(pressure_ >> 8),
                    static_cast<uint8_t>(pressure_));
      } else if (command == status::Version) {
        SendCommand(out, quick, FrameClassStatus, command, 0, 0, version_);
      }
      break;
    }
    case FrameClassDebug: {
      uint8_t unused = 0;
      if (TakeScripted(debugRefusals_, command, &unused)) {
        SendCommand(out, quick, FrameClassFault, FrameClassDebug, command, f[3]);  // DD EF command p1
        break;
      }
      if (command == debug::PressureTarget) pressure_ = static_cast<uint16_t>(f[3] << 8 | f[4]);
      if (command <= 0x02) {
        SendCommand(out, quick, FrameClassDebug, command, f[3], FrameClassDebug);  // switched: EF c state EF
      } else {
        SendCommand(out, quick, FrameClassDebug, command, f[3], f[4]);             // echoed
      }
      break;
    }
    case FrameClassFault:  // DD 00: the PC found a damaged frame; nothing to do on the board
    default:
      break;
  }
  return out;
}

void BoardModel::OnCommand(const CommandFrame& f, std::vector<Emission>& out) {
  const uint8_t command = f[2];
  const int delay = IsLongOperation(command) ? options_.countDelayMs : options_.replyDelayMs;

  uint8_t code = 0;
  if (TakeScripted(refusals_, command, &code)) {
    SendCommand(out, options_.replyDelayMs, FrameClassFault, command, code);
    return;
  }
  if (TakeScripted(answers_, command, &code)) {
    SendCommand(out, delay, FrameClassCommand, command, code);
    return;
  }

  switch (command) {
    case cmd::StartWholeBlood:
    case cmd::StartPrediluted:
    case cmd::StartPeripheral:
    case cmd::BlankCount:
      if (countFault_ != 0) {
        SendCommand(out, options_.replyDelayMs, FrameClassFault, command, countFault_);
        countFault_ = 0;
        countRunning_ = false;
        return;
      }
      ++sampleSerial_;
      countNumber_ = 1;
      NewCount(command, f[3]);
      break;
    case cmd::NextCount:
      ++countNumber_;
      NewCount(countRunning_ ? startCommand_ : cmd::StartWholeBlood, 0);
      break;
    case cmd::EndOfCount: {
      // Asked again after the test (its reply lost on the line): the same readings again.
      if (countRunning_) endThird_ = countNumber_ >= 3 ? aperture_ : 0;
      const uint8_t third = endThird_;
      SendCommand(out, delay, FrameClassCommand, command, kReplyDone, aperture_, aperture_, third);
      countRunning_ = false;
      countNumber_ = 0;
      return;
    }
    case cmd::EnterSampleMode: sampleMode_ = true; break;
    case cmd::LeaveSampleMode: sampleMode_ = false; break;
    case cmd::PowerDown: poweredDown_ = true; break;
    case cmd::SetReagentAlarmMode: alarmMode_ = f[3]; break;
    case cmd::ReagentQuery:
      SendCommand(out, delay, FrameClassCommand, command, kReplyDone);
      SensorReports(out, delay);
      return;
    case cmd::Reset:
      countRunning_ = false;
      countNumber_ = 0;
      poweredDown_ = false;
      break;
    default:
      if (FindCommand(FrameClassCommand, command) == nullptr) return;  // not a command of this board
      break;
  }
  SendCommand(out, delay, FrameClassCommand, command, kReplyDone);
}

}  // namespace boardsim
