#pragma once
// Reading stored samples and QC runs into what the LIS senders send: the Person row of a
// sample as a profile, its unit, range, value and flag texts; a QC run's date, time and values.
#include <string>

#include "lis/hl7_messages.h"

class CADOConn;
namespace db {
class Recordset;
}

namespace lis {

// The Person columns of the 20 parameters and of the QC run tables, in the message order.
extern const char* const kParamColumns[20];

// The units a run of samples goes out with: the defaults until a stored row gives its own;
// a row without a unit column keeps the unit of the sample before it.
struct UnitTable {
  std::string units[20];
  UnitTable();
  // Takes the unit columns of the current row that are not NULL.
  void TakeFrom(db::Recordset& rs);
};

// Splits a stored or shown result text: "*12.3 H" -> value "12.3", flag "H"; a leading "*",
// "e", "E" or "!" is dropped; the text of a value that is not reportable ("- - -") gives an
// empty value and flag.
void SplitResultText(const std::string& text, std::string* value, std::string* flag);

// Whether the current Person row holds a count the algorithm library has not computed yet
// (measurement/kept_inputs.h): it has no values, so it never goes out as a result.
bool RowKeptForComputation(db::Recordset& rs);

// Fills the profile from the current Person row (NULL sample type and group take the
// language's whole-blood and general texts).
void ProfileFromRow(db::Recordset& rs, int language, SampleProfileRecord* p);
// The message texts of the current Person row: units (via `units`, "^" as "x"), ranges from
// RefText, values and flags from the parameter columns.
void TextsFromRow(db::Recordset& rs, UnitTable& units, SampleResultTexts* t);
// Fills units and ranges only (the selected scope takes values from the grid).
void UnitsAndRangesFromRow(db::Recordset& rs, UnitTable& units, SampleResultTexts* t);
// Units of a table into message texts ("^" as "x", 15 characters).
void ApplyUnits(const UnitTable& units, SampleResultTexts* t);

// The unit code an age goes to the LIS with, from a stored AgeUnit: the word as stored, except
// the years "A" (Spanish, French) and the days "J" (French), which go as "Y" and "D" so that
// every reader of the age (ours included) finds the unit letter.
std::string LisAgeUnit(const std::string& storedUnit);
// The unit code of a stored age on the serial line, whose text goes in the code page of
// `language`: a unit word of that language as LisAgeUnit gives it (what its receivers read),
// one stored under any other language as the letter Y, M or D (a Chinese or Cyrillic word would
// not survive another code page); a unit that is no age unit as it stands. Takes the stored
// word or what LisAgeUnit made of it.
std::string SerialAgeUnit(const std::string& unit, int language);
// The Age and AgeUnit (as LisAgeUnit) of the sample's Person row; false when there is none.
bool StoredAge(CADOConn& conn, const std::string& sampleNo, const std::string& testDate, int* age, std::string* unit);

// The whole-blood text and the general group text of a language.
std::string WholeBloodText(int language);
std::string GeneralGroupText(int language);

// "Select * from Person where SampleNo='..' and TestDate='..'" with the texts quoted safely.
std::string PersonKeySql(const std::string& sampleNo, const std::string& testDate);

// A QC run's value texts from its stored numbers: a negative number gives an empty text, else
// "%g" (network) or "%.2f" (serial).
std::string QcValueText(double v, bool serial);

}  // namespace lis
