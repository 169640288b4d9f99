#pragma once
// The operator texts of the calibration screens in the five languages (0 Chinese, 1 English,
// 2 Spanish, 3 French, 4 Ukrainian; any other index English).
#include <string>

namespace calibration {

enum class CaliText {
  // shared
  WholeBlood, PeripheralBlood, PredilutedBlood, SampleType, Item, Default, CurrentCoef, CalibDate,
  Save, Print, Exit, OK, Delete, Help, SetDefault, LoadDefault,
  DigitsForCalibration, Range075To15, Range10To200, Range75To150, Range001To9999, CalibrationSaved,
  DataSaved, DataFileNotFound,
  ManualCalibrationEvent, OriginalValueUpdated, PercentValueUpdated,
  // menu
  ManualCalibration, AutoCalibration,
  // batches
  BatchTitle, Lot, Validity, Targets, Items, SelectLot, LotTooLong, FullDate, DateFormat, MonthRange, DayRange,
  Expired, SelectSampleType, DigitsForReference, SelectBatchFirst, DeleteBatchQuestion,
  // automatic calibration
  Setting, Diluent, Type, TargetsRow, OldCoef, Mean, Sd, CvPercent, NewCoef, SetStandardFirst, NoStandardData,
  SaveNewQuestion, AutoRange075To15, AutoRange75To150, AutoCalibrationEvent, NewCoefficientSaved,
  SetMaterialFirst, TwentyRunsMax, ItemsNotSelected, SelectGroup, DeleteSelectedQuestion, TestTimeOut,
  RinseInProgress, RinseQuestion, RinseFinished, LyseNotEnough, CleanserNotEnough, DiluentNotEnough,
  NeedleAbnormal, SyringeAbnormal, CarriageAbnormal, PressureAbnormal, NotEnough, ContinueQuestion,
  SoakReminder, PortFailed, PrintDate, NotSaved,
};

const char* TextOf(CaliText id, int language);
// The name of blood type 0, 1, 2 ("" for any other).
std::string BloodTypeName(int bloodType, int language);

}  // namespace calibration
