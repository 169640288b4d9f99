#pragma once
// Reagent accounting: what is left of diluent, lyse and cleanser, the fixed consumption of
// each board operation, the reserve counted after a level sensor reports a bottle empty,
// the minimum checks before an operation and the shortage texts.
//
// The record is process-wide and touched on the user-interface thread only. Every change is
// written to the settings store as soon as it is booked, so a crash or a power cut loses
// none of the consumption.
#include <cstdint>
#include <optional>
#include <string>

#include "analyzer/frame_collector.h"

namespace analyzer {

struct ReagentVolumes {
  float DiluentVol = -10000.0f;  // mL; the pre-load values are below every minimum
  float LyseVol = -1000.0f;
  float CleanerVol = -1000.0f;
  uint8_t ReagentAlarmType = 0;  // 0 volume mode, 1 sensor mode
  float ReviseVol = 0.0f;        // reserve size; 0 or less switches the reserve logic off
  float LyseReviseVol = 0.0f;    // reserve left; may go below 0
  float CleanerReviseVol = 0.0f;
  uint8_t LyseReserveCounting = 0;
  uint8_t CleanserReserveCounting = 0;
  int32_t LyseConfirmPending = 0;
  int32_t CleanserConfirmPending = 0;
  uint8_t LyseAvailable = 1;
  uint8_t CleanserAvailable = 1;
  uint8_t DiluentAvailable = 1;
};

// Setting.ini section "ReagentCalcCoef": DIL, LYS, CLE, COAF.
struct ReagentCoefficients {
  float dil = 1.0f;
  float lys = 1.0f;
  float cle = 1.0f;   // g_fCle
  float coaf = 1.0f;  // fCoaf
};
enum class CoefficientKey { Dil, Lys, Cle, Coaf };
// The value a key's text gives: DIL, LYS and CLE are kept from 0.8 to 1.21 (compared in
// double precision after the conversion to float, so 1.21 itself falls out) and become 1.0
// otherwise; COAF below 0.7 becomes 0.7. Text that is no number reads as 0.
float CoefficientFromText(CoefficientKey key, const std::string& text);
// Reads the section from the settings file (a missing file or key gives 1.0).
ReagentCoefficients ReadReagentCoefficients(const std::string& iniFile);

// Where the account is kept across runs (the one-row system settings table). The store
// executes the update texts built here.
class ReagentStore {
 public:
  virtual ~ReagentStore() = default;
  virtual bool Execute(const std::string& sql) = 0;
};
// The program's data store: each write on a connection of its own (connect, execute,
// disconnect), so a booking from any screen is stored at once.
ReagentStore& DataStoreReagentStore();

// Operations that consume reagent, each booked when the board acknowledges it.
enum class ReagentOperation {
  SampleWholeOrPeripheral,       // test screen, AA 11
  SamplePrediluted,              // test screen, AA 11
  CalibrationWholeOrPeripheral,  // AA 11
  CalibrationPrediluted,         // AA 11
  QcSample,                      // Levey-Jennings or X-R, AA 11
  StartupBlank,                  // AA 04, when the blank result is computed
  CleanChambersTestScreen,       // AA 40, the test screen's automatic rinse
  CleanChambersService,          // AA 40 from calibration, QC or the service menu
  RemoveBlockage,                // AA 52
  WakeAfterStandby,              // AA 54
  DispenseDiluent,               // AA A2
  StartupClean,                  // AA 05
  Shutdown,                      // the shutdown sequence
  PrimeAll,                      // AA 30
  PrimeDiluent,                  // AA 31
  PrimeLyse,                     // AA 32
  PrimeCleanser,                 // AA 33
};

struct Consumption {
  float diluent = 0, lyse = 0, cleanser = 0;  // mL subtracted from the volumes
  bool volumeModeOnly = false;                // booked only while ReagentAlarmType is 0
  bool reserve = false;                       // a reserve booking is made
  float reserveLyse = 0, reserveCleanser = 0;
};
// A volume rounded to the hundredths of a mL the store keeps; every booking leaves the account
// at this precision, so the value in memory is the one a restart reads back.
float ToStoredPrecision(double ml);

// The amounts of an operation; the shutdown's diluent depends on the language index.
Consumption ConsumptionOf(ReagentOperation op, const ReagentCoefficients& k, int language);

// The checks made before an operation in volume mode.
enum class ReagentCheck {
  PrimeAll,
  PrimeDiluent,
  PrimeLyse,
  PrimeCleanser,
  CleanChambers,         // the service menu's button and the end of a soak
  CountKeyCalibrationQc, // the count key in calibration and QC runs
  TestScreen,            // on opening and after each stored result
};
struct ReagentShortage {
  bool diluent = false, lyse = false, cleanser = false;
  bool any() const { return diluent || lyse || cleanser; }
};
// Which reagents are below the check's minimums (strictly below, compared in hundredths of a
// mL: a volume equal to its minimum passes). Only in volume mode; in sensor mode nothing is
// short.
ReagentShortage CheckReagents(ReagentCheck check, const ReagentVolumes& v);
// "Diluent Lyse not enough" ... in the language (0 Chinese .. 4 Ukrainian); empty when
// nothing is short.
std::string ReagentShortageText(const ReagentShortage& s, int language);
// The message for a sensor that reports an exhausted bottle: reagent 1 lyse, 2 cleanser,
// 3 diluent ("Lyse not enough!" ...).
std::string SensorShortageMessage(int reagent, int language);

// The result of a level-sensor report (CC 83 lyse, CC 84 cleanser, CC 85 diluent).
struct SensorReport {
  bool handled = false;    // a sensor frame with byte 3 = 0 or 1
  int reagent = 0;         // 1 lyse, 2 cleanser, 3 diluent
  bool exhausted = false;  // the operator is to be told "... not enough!"
};

// The persistent values as read from the settings row; a column that is NULL is left out and
// leaves the value in memory as it was.
struct StoredReagentValues {
  std::optional<float> diluentVol, lyseVol, cleanerVol;
  std::optional<uint8_t> reagentAlarmType;
  std::optional<float> reviseVol, lyseReviseVol, cleanerReviseVol;
};

class ReagentAccount {
 public:
  ReagentVolumes& volumes() { return v_; }
  const ReagentVolumes& volumes() const { return v_; }
  ReagentCoefficients& coefficients() { return k_; }
  const ReagentCoefficients& coefficients() const { return k_; }
  // The store that every booking writes through; null keeps the account in memory only.
  void SetStore(ReagentStore* store) { store_ = store; }

  // After the persistent values were loaded into volumes(): a reserve below its size is
  // being counted.
  void AfterLoad();
  // Takes the values read at start-up (those present) and then runs AfterLoad.
  void Load(const StoredReagentValues& stored);

  // Books an operation: subtracts its amounts (volume-mode-only rows only in volume mode),
  // books its reserve amounts and writes the new volumes at once.
  void Book(ReagentOperation op, int language = 1);
  // Subtracts amounts directly and writes the volumes (the bottle screens and tests).
  void Subtract(float diluent, float lyse, float cleanser);
  // Writes the three volumes (also what the shutdown does).
  bool SaveVolumes();

  // Books consumption against the reserves in sensor mode; returns 1 always.
  int SaveReagentReviseVolumes(float lyseUsed, float cleanserUsed);
  // Evaluates one level-sensor report: sensorState 1 present, 0 empty; reagent 1 lyse,
  // 2 cleanser. Returns 1 while the reagent is usable, 0 when exhausted.
  int SaveReagentReviseVolume(int sensorState, int reagent);
  // A CC 83/84/85 report: evaluates it, keeps the availability flags and says whether the
  // operator is to be told.
  SensorReport ApplySensorReport(uint8_t command, uint8_t state);
  // The same for a collected frame: only a CC 83/84/85 command frame whose check holds is
  // applied; anything else changes nothing and reports handled = false.
  SensorReport ApplySensorFrame(const CollectedFrame& frame);

 private:
  void Store(const std::string& sql);
  ReagentVolumes v_;
  ReagentCoefficients k_;
  ReagentStore* store_ = nullptr;
};

// The process-wide account and the two functions every board screen calls.
ReagentAccount& Reagents();
int SaveReagentReviseVolumes(float lyseUsed, float cleanserUsed);
int SaveReagentReviseVolume(int sensorState, int reagent);

// "update SysSetting set DiluentVol = %.2f,LyseVol = %.2f,CleanerVol = %.2f" in the C locale.
std::string VolumesUpdateSql(const ReagentVolumes& v);

}  // namespace analyzer
