#pragma once
// Every HL7 message the system sends to the LIS, and the checks made on the replies it
// understands (ACK^R01 acknowledgements and ORR^O02 patient data for an order query).
#include <string>
#include <string_view>

#include "core/write_log.h"
#include "lis/hl7_model.h"
#include "lis/lis_send.h"
#include "measurement/patient/lis_profile.h"

namespace lis {

using measurement::SampleProfileRecord;

// The message parameter order (the stored order of the 20 parameters).
extern const char* const kMessageParamNames[20];

// One sample's results as texts, message parameter order; each text at most 15 characters.
struct SampleResultTexts {
  std::string values[20], units[20], ranges[20], flags[20];
};

// ORU^R01 (MSH-16 "S"): PID, OBR, 20 result rows.
LisMessage BuildSampleResult(const SampleProfileRecord& profile, const SampleResultTexts& texts);
// ORM^O01 (MSH-16 "S"): one ORC asking for the patient data of a sample number.
LisMessage BuildOrderQuery(const std::string& sampleNo);
// ORU^R01 (MSH-16 "W"): OBR and one alarm row.
LisMessage BuildAlarmMessage(const AlarmRecord& record);

// Reply kinds of ClassifyReply.
enum ReplyKind { kReplyNull = 0, kReplyIncomplete = 1, kReplyAck = 2, kReplyPatient = 3, kReplyOther = 4 };
int ClassifyReply(const char* bytes);
int ClassifyReply(std::string_view bytes);

// Acknowledgement codes: 4 is the only positive one (AA with the control id of the message).
inline constexpr int kAckAccepted = 4;
int HandleAckReply(std::string_view bytes, const std::string& lastControlId);
int MapAckCode(const HEALTH_LEVEL_7::BaseSegment* msa, const std::string& lastControlId);
// The error condition (MSA-6) of an acknowledgement as the LIS wrote it, unescaped, its
// components joined by blanks, made fit to show (valid UTF-8, no control characters, 60
// characters); empty when it has none.
std::string AckCondition(std::string_view bytes);

// Reads an ORR^O02 with a positive acknowledgement, PID and OBR into the record (left untouched
// on failure). Field texts are unescaped; the age unit is stored in the language's word.
bool ReadPatientReply(std::string_view bytes, const std::string& lastControlId, SampleProfileRecord* out,
                      int language);
bool ReadPatientFromReply(const HEALTH_LEVEL_7::BaseSegment* pid, const HEALTH_LEVEL_7::BaseSegment* obr,
                          SampleProfileRecord* out, int language);

// The age and unit of a PID-15 text: the first unit character found decides (years Y y 岁 Р,
// months M m 月 М, days D d 天 Д, hours H h); the age is the leading number. Without a unit
// character the age is -1 and the unit empty.
void ParseAgeText(std::string_view text, int language, int* age, std::string* unit);

}  // namespace lis
