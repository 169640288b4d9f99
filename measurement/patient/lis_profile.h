#pragma once
// The patient screen's side of the LIS: the order query for a sample number and the sample
// profile that comes back. The LIS subsystem installs the query sender; until it does, the
// operator is told that the query is not available.
#include <functional>
#include <string>

namespace measurement {

// A sample's identity and patient data as the LIS messages carry it: received from the LIS
// for an order query, or sent with a result. applicant is the sender (requesting doctor),
// inspector the scrutator, verifier the checker.
struct SampleProfileRecord {
  std::string sampleNo, group, name, sex;
  int age = 0;
  std::string ageUnit, medicalNo, bedNo, dept, applicant, inspector, verifier;
  std::string testDateTime;  // "YYYY-MM-DD HH:MM:SS" (OBR-7)
  std::string sampleType;    // the blood mode's text (OBR-26)
};

// The process-wide copy the LIS reception fills and the patient screen reads (guarded; any
// thread may set it).
void SetSharedSampleProfile(const SampleProfileRecord& r);
SampleProfileRecord SharedSampleProfile();

// Copies the record and posts WM_LIS_PROFILE to the open patient screen (found by its title in
// the current language). False when no such window is open.
bool ShowLisProfile(const SampleProfileRecord& r);

// Builds and sends the order query for a sample number on the LIS link (storing its message
// control id as the link's last one); true when sent.
using LisOrderQuerySender = std::function<bool(const std::string& sampleNo)>;
void SetLisOrderQuerySender(LisOrderQuerySender sender);
bool HasLisOrderQuerySender();
bool SendLisOrderQuery(const std::string& sampleNo);

// The test screen's order query at count start: with bidirectional transfer on the network link
// and the link up, asks the LIS for the sample's patient data; the reply goes straight into the
// sample's Person row (query mode 2). True when the query went out.
bool SendCountStartOrderQuery(const std::string& sampleNo);

// "The LIS query is not available." in the language.
std::string LisQueryUnavailableText(int language);

// The patient screen's title in a language.
const char* PersonInfoTitle(int language);

}  // namespace measurement
