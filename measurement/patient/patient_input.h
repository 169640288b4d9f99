#pragma once
// The patient data of one sample as the patient-information screen checks, steps and stores
// it: the sample-number check, the age with its unit word, Last/Next stepping, the texts of
// the age in the five languages, and the SQL that writes the patient columns of a Person row.
#include <cstdint>
#include <string>

namespace measurement {

// ---- Sample number
enum class SampleNoCheck { Ok, NotInteger, TooLarge, NotPositive };
// The typed sample number must be a whole number (an optional '-' and digits only: "1,5", "1.5"
// and "12a" are not), at most 99999999 and above zero. `value` gets the number on Ok.
SampleNoCheck CheckSampleNo(const std::string& text, long long* value = nullptr);
// The operator message of a failed check in the language ("" for Ok), and its icon flags.
std::string SampleNoCheckText(SampleNoCheck check, int language);
unsigned SampleNoCheckIcon(SampleNoCheck check, int language);

// The integer value of a sample-number text as the screens read it: leading blanks, an optional
// sign and the leading digits (anything else reads 0; huge values saturate).
long long SampleNoValue(const std::string& text);
// "007" -> "7"; a text of zeros only stays "0".
std::string StripLeadingZeros(const std::string& text);

// Last: the number minus 1 when that stays above 0; Next: plus 1 unless that reaches
// 100000000. False (and `out` untouched) when the number does not change.
bool StepSampleNo(const std::string& text, bool next, std::string* out);

// ---- Age
// Age edits: an empty text reads 0. Years above 150 are refused.
struct AgeInput {
  std::string years, months, days;
};
enum class AgeCheck { Ok, YearsOutOfRange, NotANumber };
// Reads the three edits (empty -> 0) into numbers.
AgeCheck ReadAge(const AgeInput& in, int* years, int* months, int* days);
std::string AgeCheckText(int language);  // "Please input digits between 1 and 150 for age!"

// Which of years (0), months (1), days (2) a stored AgeUnit word names in any language; -1 none.
int AgeFieldOfUnit(const std::string& unit);
// The unit word stored for a field (0 years, 1 months, 2 days) in a language.
const char* AgeUnitWord(int field, int language);
// The first of years, months, days above 0 with its unit word; all 0 gives age 0 and "".
void AgeToStore(int years, int months, int days, int language, int* age, std::string* unit);

// " years", " months", " days" with their leading blank(s), as the summary and the test
// screen header append them to the number.
const char* AgeSuffix(int field, int language, bool headerForm);
// "%d%s" of the age and its suffix (summary form); "" for an age of 0.
std::string SummaryAgeText(int years, int months, int days, int language);
// The header text the test screen shows for a profile ("%d years", "%d 个月" ...); "" for 0.
std::string HeaderAgeText(int years, int months, int days, int language);
// The header text of a stored row's Age and AgeUnit: a zero age gives " "; an unknown unit
// gives the bare number.
std::string StoredAgeText(int age, const std::string& unit, int language);

// Sex words of languages 0 and 1 are translated into the shown language (only between those
// two, as the lists hold them); other texts are kept.
std::string TranslateSex(const std::string& stored, int language);
// A group name stored in Chinese or English, shown in language 0 or 1, in that language;
// other texts and languages keep the text.
std::string TranslateGroupName(const std::string& stored, int language);

// ---- Patient columns
struct PatientColumns {
  std::string sampleNo, name, sex;
  int age = 0;
  std::string ageUnit, referValue, medicalNo, bedNo, dept, sender, scrutator, checker;
};
// The update of the patient columns of an existing row. Every text is made SQL safe. The row is
// found by `keySampleNo` when given (its number before an edit), and then the update writes
// p.sampleNo as the row's new number; without it the row is found by p.sampleNo.
std::string PatientUpdateSql(const PatientColumns& p, const std::string& testDate,
                             const std::string& keySampleNo = std::string());
// The insert of a new row with the patient columns, the test date and time and the blood type.
std::string PatientInsertSql(const PatientColumns& p, const std::string& testDate, const std::string& testTime,
                             const std::string& bloodType);

// The blood-mode text of a code (0 whole, 1 peripheral, 2 pre-diluted; others whole blood).
const char* BloodTypeName(unsigned code, int language);

// "YYYY-MM-DD" and "hh:mm:ss" of the program clock now.
std::string TodayText();
std::string NowTimeText();

}  // namespace measurement
