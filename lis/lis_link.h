#pragma once
// The TCP link to the LIS: three worker threads keep it (NetworkConfigThread applies the PC's
// own address settings through the platform, LisConnectThread connects, LisReceiveThread reads
// and hands whole replies to OnLisData), a fourth sends the queued alarms and order queries, and every HL7
// message goes out through SendToLis under one send lock. The state lives in LisLinkState (core/lis_link_state.h).
#include <cstdint>
#include <string>
#include <string_view>

#include "core/write_log.h"
#include "lis/lis_send.h"
#include "measurement/patient/lis_profile.h"

namespace lis {

// Starts the four threads (once; a second call does nothing) and installs the link's hooks:
// the alarm sender of the log line writer, the order-query sender and the automatic sending.
void StartLisThreads();
// Stops and joins the threads (the receive thread is woken by shutting the connection down) and
// removes the hooks. Safe to repeat.
void StopLisThreads();
bool LisThreadsRunning();
// How soon a failed connect, or address settings that could not be applied, are tried again
// (1000 ms); tests shorten it. An idle link's threads sleep until its state changes.
void SetLisLinkPollMs(int ms);

// Drops the connection now (the settings changed): not connected, not ready, apply pending;
// the threads apply the settings and reconnect.
void DropLisConnection(bool reapplyAddress);

// Sends the message in pieces of at most 1024 bytes under the send lock, only while connected.
// Keeps the control id as the last one and resets LisReplyEvent. True when every piece went
// out.
bool SendToLis(const LisMessage& message);

// Queues the alarm message of a log line for the link's sender and returns at once (the
// oldest waiting alarm gives way when 256 wait). Nothing is queued while the threads are stopped.
void QueueAlarm(const AlarmRecord& record);

// Queues the order query for the sample (kept as the query its answer is checked against) for
// the link's sender and returns at once, so that no peer holds the screen that asks. True when
// the link is up and the query waits to go out.
bool QueueOrderQuery(const std::string& sampleNo);

// Handles received bytes: joins them into frames and acts on each (acknowledgements release
// the waiting sender; patient data goes to the patient screen or the Person table).
void OnLisData(std::string_view bytes);

// Query mode 1: copies the profile and posts to the UI thread the telling of the open patient
// screen (never waiting for that thread).
void ShowLisProfileFromLis(const measurement::SampleProfileRecord& r);
// Query mode 2: merges the profile into today's Person row of the sample (or adds one).
bool StoreLisProfile(const measurement::SampleProfileRecord& r);

// Applies the PC's own address settings through the platform; true when they are in force.
bool ApplyNetworkSettings(const std::string& adapter, const std::string& ip, const std::string& mask,
                          const std::string& gateway, int addressMode);

// The outcome of the latest automatic send (for the operator's log and the tests).
SendResult LastAutomaticSend();
// Counts of replies seen since start (received frames by kind), for the diagnostics.
struct LinkCounters {
  uint64_t acks = 0, patientReplies = 0, dropped = 0, connects = 0;
};
LinkCounters GetLinkCounters();

}  // namespace lis
