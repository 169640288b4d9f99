#pragma once
// Automatic sending after a count: each stored result goes to the LIS on a short thread of its
// own, as an HL7 result message (link kind 1) or as serial text records (link kind 0), from a
// snapshot taken when the result was handed on.
#include "analyzer/serial_port.h"
#include "lis/hl7_messages.h"
#include "measurement/result_save.h"

namespace lis {

// The message inputs of a snapshot: the profile (age text split at its first blank, the unit
// word as its unit code) and the
// result texts (marker characters dropped from values, "^" in units as "x", 15 characters).
void SnapshotToMessage(const measurement::HandOffSnapshot& s, SampleProfileRecord* profile, SampleResultTexts* texts);
// Both senders take the age from the sample's stored row (the snapshot's text only when the row
// is gone).
// Sends the snapshot as one HL7 result message when the link is connected, waiting (on the
// calling thread) for its acknowledgement; the outcome is kept (LastAutomaticSend).
SendResult SendResultNetwork(const measurement::HandOffSnapshot& s);
// Writes the sample's records on the port: "R,", TRANSFER FINISH, the three "W,", "M,",
// TRANSFER FINISH, with the pauses between them. False when a record could not be queued.
bool SendResultSerial(const measurement::HandOffSnapshot& s, analyzer::CSerialPort& port, int language);

// A sample the automatic sending could not send goes into the system log (event "LIS sending",
// the sample number, its date and the reason), so that the operator can send it again.
void LogUnsentSample(const measurement::HandOffSnapshot& s, const std::string& reason, int language);
// Starts the sending thread for a snapshot by the link kind; false for another link kind.
bool StartAutomaticSend(const measurement::HandOffSnapshot& s);
// Waits until no automatic sending thread runs.
void WaitAutomaticSends();

}  // namespace lis
