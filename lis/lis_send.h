#pragma once
// What the other subsystems call to send to the LIS: stored samples and QC runs, the reference
// range and QC settings tables, and the send screen with the items an opener hands it.
//
// Every HL7 message goes out through SendLisMessage, which takes the link's send lock so that the
// pieces of two messages from two threads never interleave, keeps the message's control id as
// the link's last one, and (when asked) waits for the acknowledgement that names that id.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CGridCtrl;
class CADOConn;

namespace lis {

// ---- Records handed to the table and QC builders ------------------------------------------
// Texts are UTF-8; the builders cut each to the width the message keeps (identity texts and the
// run time 20 characters, units and values 15).
struct QcMessageRecord {
  std::string identity1;       // PID-5: QC file number, or the patient group of a limit table
  std::string identity2;       // PID-2
  std::string identity3;       // PID-7
  std::string units[20];       // OBX-6 of the limit rows, message parameter order
  std::string limits[40];      // OBX-5 of the limit rows: two per parameter (low, high)
  std::string results[20];     // OBX-5 of the QC result rows
  std::string runTime;         // OBR-7 of the QC result messages ("date time")
};

// One framed, UTF-8 message ready for the link, and its control id (MSH-10).
struct LisMessage {
  std::vector<uint8_t> bytes;
  std::string controlId;
  bool empty() const { return bytes.empty(); }
};

// The table and QC builders (message parameter order: WBC, LYM#, MID#, GRA#, LYM%, MID%, GRA%,
// RBC, HGB, MCHC, MCH, MCV, RDW-CV, RDW-SD, HCT, PLT, MPV, PDW, PCT, P-LCR).
LisMessage BuildLjQcResultMessage(const QcMessageRecord& r);
LisMessage BuildXbQcResultMessage(const QcMessageRecord& r);
LisMessage BuildXrQcResultMessage(const QcMessageRecord& r);
LisMessage BuildLjQcSettingsMessage(const QcMessageRecord& r);
LisMessage BuildXbQcSettingsMessage(const QcMessageRecord& r);
LisMessage BuildXrQcSettingsMessage(const QcMessageRecord& r);
LisMessage BuildNormalLimitsMessage(const QcMessageRecord& r);
LisMessage BuildPathologyLimitsMessage(const QcMessageRecord& r);

// ---- The one locked send ---------------------------------------------------------------------
enum class SendOutcome {
  Delivered,      // an AA acknowledgement with this message's control id came back
  Sent,           // went out whole; no reply was waited for
  NotConnected,   // the link is down: nothing was sent
  SendFailed,     // a piece could not be written (the link is being dropped)
  Rejected,       // AE or AR (see ackCode); an acknowledgement naming another id is no answer
  NoReply,        // no acknowledgement within the time limit
  LinkLost,       // the link went down (reset, closed) before the acknowledgement was whole
};
struct SendResult {
  SendOutcome outcome = SendOutcome::NotConnected;
  int ackCode = 0;  // the acknowledgement code (4 AA; 2 other control id; 5-13 AR; 14-18 AE)
  std::string condition;  // AE / AR: the LIS's own error condition (MSA-6) as it sent it
  bool delivered() const { return outcome == SendOutcome::Delivered; }
};
// Sends the message on the LIS link in pieces of at most 1024 bytes under the link's send lock.
// waitMs > 0 waits that long for the acknowledgement of this message; 0 does not wait.
SendResult SendLisMessage(const LisMessage& message, int waitMs);

// The text an outcome shows the operator ("Fail to connect to LIS", "Sample data communication
// response timeout!", a rejection with the LIS's own condition, ...) in the language; empty for
// Delivered and Sent.
std::string SendOutcomeText(const SendResult& r, int language);

// ---- Sending stored items without a screen ---------------------------------------------------
// A stored sample is named by its Person key.
struct StoredSampleKey {
  std::string sampleNo;
  std::string testDate;  // "YYYY-MM-DD"
};
// What a walk reports while it runs: called after each item with (done, total).
using SendProgress = std::function<void(int done, int total)>;
struct BatchResult {
  int total = 0;
  int delivered = 0;     // acknowledged with AA and the matching control id
  int skipped = 0;       // not found in the store
  // Sample numbers of rows left out because they hold a count not computed yet: no values to
  // send as a final result (they are neither delivered nor skipped, so the batch is not complete).
  std::vector<std::string> notComputed;
  SendResult last;       // the outcome that ended the walk (or of the last item)
  bool complete() const { return delivered + skipped == total; }
};
// Sends the samples one HL7 result message each, waiting up to 10000 ms for each
// acknowledgement; the walk ends at the first item that is not delivered. A row whose count is
// not computed yet is left out (BatchResult::notComputed) and the walk goes on. Link kind must be
// network; the serial link is the send screen's.
BatchResult SendStoredSamples(CADOConn& conn, const std::vector<StoredSampleKey>& keys, int language,
                              const SendProgress& progress = {});

// The QC data kinds, numbered as the send screen's data kinds.
enum class QcKind { LeveyJennings = 1, XB = 2, XR = 3 };
// Sends every stored run of the kind (L-J and X-R: of the QC file) as QC result messages.
BatchResult SendStoredQcRuns(CADOConn& conn, QcKind kind, int qcFileNo, const SendProgress& progress = {});

// ---- The send screen ---------------------------------------------------------------------------
// Data kinds of the send screen: 1 L-J QC, 2 X-B QC, 3 X-R QC, 4 samples.
enum class SendDataKind { LjQc = 1, XbQc = 2, XrQc = 3, Samples = 4 };
// What an opener hands the send screen: its list grid (one item per column; for samples row 0
// the sample number, row 1 the test date, rows 3-22 the values in display order; for QC row 1
// the date, row 2 the time, rows 3-22 the values) and, for L-J and X-R, the QC file number.
struct SendSource {
  SendDataKind kind = SendDataKind::Samples;
  const CGridCtrl* grid = nullptr;
  int qcFileNo = 0;
};
// Runs CSerSend modally for the source and returns its result (IDCANCEL after Exit).
int RunSendScreen(const SendSource& source);

}  // namespace lis
