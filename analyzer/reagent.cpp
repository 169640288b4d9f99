#include "analyzer/reagent.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "analyzer/command_catalogue.h"
#include "analyzer/frame.h"
#include "core/ado_conn.h"
#include "platform/sys/profile.h"
#include "core/sys_setting.h"

namespace analyzer {
namespace {

float ParseFloat(const std::string& text) {
  // The leading number of the text, as atof reads it; anything else gives 0.
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  if (first < last && *first == '+') ++first;
  double d = 0.0;
  const auto r = std::from_chars(first, last, d);
  if (r.ec != std::errc()) return 0.0f;
  return static_cast<float>(d);
}

const char* const kPieces[5][4] = {
    {"稀释液 ", "溶血剂 ", "清洁液 ", "余量不足"},
    {"Diluent ", "Lyse ", "Cleanser ", "not enough"},
    {"Diluente ", "Lisante ", "Limpiador ", "insuficiente"},
    {"Diluant ", "Lyse ", "Detergent ", "insuffisant"},
    {"Розчинник ", "Лізуючий розчин ", "Промиваючий розчин ", "Не достатньо"},
};

int LanguageRow(int language) { return language >= 0 && language <= 4 ? language : 1; }

// Whole hundredths of a mL, as the store keeps a volume ("%.2f").
long long Hundredths(double ml) { return std::llround(ml * 100.0); }

}  // namespace

float ToStoredPrecision(double ml) {
  // The value a restart reads back from the stored text, so memory and store never differ.
  return static_cast<float>(static_cast<double>(Hundredths(ml)) / 100.0);
}

namespace {

}  // namespace

float CoefficientFromText(CoefficientKey key, const std::string& text) {
  const float f = ParseFloat(text);
  if (key == CoefficientKey::Coaf) return f < 0.7f ? 0.7f : f;
  const double d = f;
  return (d >= 0.8 && d <= 1.21) ? f : 1.0f;
}

ReagentCoefficients ReadReagentCoefficients(const std::string& iniFile) {
  ReagentCoefficients k;
  // A buffer of 101 bytes: at most 100 characters of each entry are read.
  auto read = [&](const char* key) {
    return sys::ProfileReadString(iniFile, "ReagentCalcCoef", key, "1.0", 101);
  };
  k.dil = CoefficientFromText(CoefficientKey::Dil, read("DIL"));
  k.lys = CoefficientFromText(CoefficientKey::Lys, read("LYS"));
  k.cle = CoefficientFromText(CoefficientKey::Cle, read("CLE"));
  k.coaf = CoefficientFromText(CoefficientKey::Coaf, read("COAF"));
  return k;
}

Consumption ConsumptionOf(ReagentOperation op, const ReagentCoefficients& k, int language) {
  Consumption c;
  auto set = [&c](float d, float l, float cl, bool mode0, bool reserve, float rl, float rc) {
    c.diluent = d;
    c.lyse = l;
    c.cleanser = cl;
    c.volumeModeOnly = mode0;
    c.reserve = reserve;
    c.reserveLyse = rl;
    c.reserveCleanser = rc;
  };
  const float calLyse = k.lys * 0.6f, calCle = k.cle * 1.23f * k.coaf;
  switch (op) {
    case ReagentOperation::SampleWholeOrPeripheral: set(17.97f, 0.57f, 1.19f, true, true, 0.57f, 1.19f); break;
    case ReagentOperation::SamplePrediluted: set(17.70f, 0.57f, 1.17f, true, true, 0.57f, 1.17f); break;
    case ReagentOperation::CalibrationWholeOrPeripheral: set(17.97f, 0.57f, 1.19f, false, true, calLyse, calCle); break;
    case ReagentOperation::CalibrationPrediluted: set(17.70f, 0.57f, 1.17f, false, true, calLyse, calCle); break;
    case ReagentOperation::QcSample: set(17.97f, 0.57f, 1.19f, true, true, calLyse, calCle); break;
    case ReagentOperation::StartupBlank: set(17.97f, 0.57f, 1.19f, true, true, calLyse, calCle); break;
    case ReagentOperation::CleanChambersTestScreen: set(17.68f, 0, 11.55f, false, true, 0, 11.55f); break;
    case ReagentOperation::CleanChambersService: set(17.68f, 0, 11.55f, false, true, 0, k.cle * 11.44f * k.coaf); break;
    case ReagentOperation::RemoveBlockage: set(17.74f, 0, 11.52f, false, true, 0, k.cle * 11.39f * k.coaf); break;
    case ReagentOperation::WakeAfterStandby: set(8.76f, 0, 1.20f, false, true, 0, 1.2f); break;
    case ReagentOperation::DispenseDiluent: set(0.70f, 0, 0, false, false, 0, 0); break;
    case ReagentOperation::StartupClean: set(35.57f, 0, 1.77f, false, true, 0, k.cle * 2.2f * k.coaf); break;
    case ReagentOperation::Shutdown:
      set(language == 0 ? 53.13f : 6.50f, 0, 12.65f, false, true, 0, k.cle * 11.3f * k.coaf);
      break;
    case ReagentOperation::PrimeAll: set(24.74f, 10.12f, 6.14f, false, true, k.lys * 10.2f, k.cle * 6.25f * k.coaf); break;
    case ReagentOperation::PrimeDiluent: set(24.74f, 0, 0, false, false, 0, 0); break;
    case ReagentOperation::PrimeLyse: set(5.83f, 10.12f, 0, false, true, k.lys * 10.2f, 0); break;
    case ReagentOperation::PrimeCleanser: set(0, 0, 6.14f, false, true, 0, k.cle * 6.25f * k.coaf); break;
  }
  return c;
}

ReagentShortage CheckReagents(ReagentCheck check, const ReagentVolumes& v) {
  ReagentShortage s;
  if (v.ReagentAlarmType != 0) return s;
  // Minimums per reagent; a negative entry is not checked.
  float d = -1, l = -1, c = -1;
  switch (check) {
    case ReagentCheck::PrimeAll: d = 40.57f, l = 15.12f, c = 11.14f; break;
    case ReagentCheck::PrimeDiluent: d = 34.74f; break;
    case ReagentCheck::PrimeLyse: d = 40.57f, l = 15.12f; break;
    case ReagentCheck::PrimeCleanser: c = 11.14f; break;
    case ReagentCheck::CleanChambers: d = 27.68f, c = 16.55f; break;
    case ReagentCheck::CountKeyCalibrationQc:
    case ReagentCheck::TestScreen: d = 30.0f, l = 5.0f, c = 10.0f; break;
  }
  // Compared at the stored two decimals: a volume booked down to exactly its minimum passes,
  // whatever single-precision remainder the subtraction left.
  auto below = [](float volume, float minimum) { return minimum >= 0 && Hundredths(volume) < Hundredths(minimum); };
  s.diluent = below(v.DiluentVol, d);
  s.lyse = below(v.LyseVol, l);
  s.cleanser = below(v.CleanerVol, c);
  return s;
}

std::string ReagentShortageText(const ReagentShortage& s, int language) {
  if (!s.any()) return {};
  const auto& p = kPieces[LanguageRow(language)];
  std::string text;
  if (s.diluent) text += p[0];
  if (s.lyse) text += p[1];
  if (s.cleanser) text += p[2];
  return text + p[3];
}

std::string SensorShortageMessage(int reagent, int language) {
  static const char* const kTexts[5][3] = {
      {"溶血剂余量不足！", "清洁液余量不足！", "稀释液余量不足！"},
      {"Lyse not enough!", "Cleanser not enough!", "Diluent not enough!"},
      {"Lisante insuficiente!", "Limpiador insuficiente!", "Diluente insuficiente!"},
      {"Lyse insuffisant!", "Detergent insuffisant!", "Diluant insuffisant!"},
      {"Недостатньо лізуючого розчину!", "Недостатньо промиваючого розчину!", "Недостатньо розчинника!"},
  };
  if (reagent < 1 || reagent > 3) return {};
  return kTexts[LanguageRow(language)][reagent - 1];
}

std::string VolumesUpdateSql(const ReagentVolumes& v) {
  return SysSettingUpdate()
      .SetFixed2("DiluentVol", v.DiluentVol)
      .SetFixed2("LyseVol", v.LyseVol)
      .SetFixed2("CleanerVol", v.CleanerVol)
      .Sql();
}

void ReagentAccount::Store(const std::string& sql) {
  // Fire and forget: the store reports its own failures; the value in memory stays booked.
  if (store_ != nullptr && !sql.empty()) store_->Execute(sql);
}

void ReagentAccount::AfterLoad() {
  v_.LyseReserveCounting = v_.LyseReviseVol < v_.ReviseVol ? 1 : 0;
  v_.CleanserReserveCounting = v_.CleanerReviseVol < v_.ReviseVol ? 1 : 0;
}

void ReagentAccount::Load(const StoredReagentValues& s) {
  if (s.diluentVol) v_.DiluentVol = *s.diluentVol;
  if (s.lyseVol) v_.LyseVol = *s.lyseVol;
  if (s.cleanerVol) v_.CleanerVol = *s.cleanerVol;
  if (s.reagentAlarmType) v_.ReagentAlarmType = *s.reagentAlarmType;
  if (s.reviseVol) v_.ReviseVol = *s.reviseVol;
  if (s.lyseReviseVol) v_.LyseReviseVol = *s.lyseReviseVol;
  if (s.cleanerReviseVol) v_.CleanerReviseVol = *s.cleanerReviseVol;
  AfterLoad();
}

void ReagentAccount::Book(ReagentOperation op, int language) {
  const Consumption c = ConsumptionOf(op, k_, language);
  if (!c.volumeModeOnly || v_.ReagentAlarmType == 0) Subtract(c.diluent, c.lyse, c.cleanser);
  if (c.reserve) SaveReagentReviseVolumes(c.reserveLyse, c.reserveCleanser);
}

void ReagentAccount::Subtract(float diluent, float lyse, float cleanser) {
  v_.DiluentVol = ToStoredPrecision(static_cast<double>(v_.DiluentVol) - diluent);
  v_.LyseVol = ToStoredPrecision(static_cast<double>(v_.LyseVol) - lyse);
  v_.CleanerVol = ToStoredPrecision(static_cast<double>(v_.CleanerVol) - cleanser);
  SaveVolumes();
}

bool ReagentAccount::SaveVolumes() {
  if (store_ == nullptr) return false;
  return store_->Execute(VolumesUpdateSql(v_));
}

int ReagentAccount::SaveReagentReviseVolumes(float lyseUsed, float cleanserUsed) {
  if (v_.ReagentAlarmType != 1) return 1;
  const bool lyse = lyseUsed > 0 && v_.LyseReserveCounting == 1;
  const bool cleanser = cleanserUsed > 0 && v_.CleanserReserveCounting == 1;
  SysSettingUpdate u;
  if (lyse) v_.LyseReviseVol = ToStoredPrecision(static_cast<double>(v_.LyseReviseVol) - lyseUsed);
  if (cleanser) v_.CleanerReviseVol = ToStoredPrecision(static_cast<double>(v_.CleanerReviseVol) - cleanserUsed);
  if (lyse) u.SetFixed2("LyseReviseVol", v_.LyseReviseVol);
  if (cleanser) u.SetFixed2("CleanerReviseVol", v_.CleanerReviseVol);
  if (!u.empty()) Store(u.Sql());
  return 1;
}

int ReagentAccount::SaveReagentReviseVolume(int sensorState, int reagent) {
  if (reagent != 1 && reagent != 2) return sensorState;
  const float rv = v_.ReviseVol;
  if (rv <= 0) return sensorState;
  const bool lyse = reagent == 1;
  float& r = lyse ? v_.LyseReviseVol : v_.CleanerReviseVol;
  int32_t& pending = lyse ? v_.LyseConfirmPending : v_.CleanserConfirmPending;
  uint8_t& counting = lyse ? v_.LyseReserveCounting : v_.CleanserReserveCounting;

  if (sensorState == 1) {
    if (r >= rv) {
      pending = 0;
      counting = 0;
    } else if (pending == 0) {
      pending = 1;  // keep counting until a second present report confirms a new bottle
      counting = 1;
    } else {
      r = rv;  // a new bottle: the reserve is full again
      pending = 0;
      counting = 0;
      Store(SysSettingUpdate().SetFixed2(lyse ? "LyseReviseVol" : "CleanerReviseVol", r).Sql());
    }
    return 1;
  }
  if (r < 0) {
    pending = 0;
    counting = 1;
    return 0;
  }
  if (r < rv) {
    pending = 0;
    counting = 1;
    return 1;
  }
  if (pending == 0) {
    pending = 1;
    counting = 0;
  } else {
    counting = 1;
  }
  return 1;
}

SensorReport ReagentAccount::ApplySensorReport(uint8_t command, uint8_t state) {
  SensorReport rep;
  if (state > 1) return rep;
  const bool present = state == 0;
  switch (command) {
    case status::LyseSensor:
      rep.reagent = 1;
      v_.LyseAvailable = SaveReagentReviseVolume(present ? 1 : 0, 1) != 0 ? 1 : 0;
      if (present) v_.LyseAvailable = 1;
      rep.exhausted = v_.LyseAvailable == 0;
      break;
    case status::CleanserSensor:
      rep.reagent = 2;
      v_.CleanserAvailable = SaveReagentReviseVolume(present ? 1 : 0, 2) != 0 ? 1 : 0;
      if (present) v_.CleanserAvailable = 1;
      rep.exhausted = v_.CleanserAvailable == 0;
      break;
    case status::DiluentSensor:
      rep.reagent = 3;
      v_.DiluentAvailable = present ? 1 : 0;
      rep.exhausted = !present;
      break;
    default:
      return rep;
  }
  rep.handled = true;
  return rep;
}

SensorReport ReagentAccount::ApplySensorFrame(const CollectedFrame& frame) {
  if (frame.kind != FrameKind::Command || !frame.checksumOk || frame.cls() != FrameClassStatus) return {};
  return ApplySensorReport(frame.command(), frame.status());
}

ReagentStore& DataStoreReagentStore() {
  struct OwnConnectionStore : ReagentStore {
    bool Execute(const std::string& sql) override {
      CADOConn conn;
      const bool ok = conn.Execute(sql) != 0;
      conn.Disconnect();
      return ok;
    }
  };
  static OwnConnectionStore store;
  return store;
}

ReagentAccount& Reagents() {
  static ReagentAccount account;
  return account;
}

int SaveReagentReviseVolumes(float lyseUsed, float cleanserUsed) {
  return Reagents().SaveReagentReviseVolumes(lyseUsed, cleanserUsed);
}

int SaveReagentReviseVolume(int sensorState, int reagent) {
  return Reagents().SaveReagentReviseVolume(sensorState, reagent);
}

}  // namespace analyzer
