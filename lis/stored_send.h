#pragma once
// The walks that send stored samples and QC runs over the network, one message each, waiting
// for each acknowledgement (lis_send.h has the entry points).
#include "lis/lis_send.h"

namespace lis {

// The pause between two messages of a walk (50 ms); benchmarks set 0.
void SetWalkPauseMs(int ms);
int WalkPauseMs();
// The reply time limit of one message (10000 ms); tests shorten it.
void SetReplyWaitMs(int ms);
int ReplyWaitMs();

// One QC run read for sending.
struct QcRun {
  std::string date, time;
  std::string values[20];  // message order
};
// The record of a QC result message for a run of a kind (identity text 1 the file number for
// L-J and X-R).
QcMessageRecord QcRecordFor(QcKind kind, int qcFileNo, const QcRun& run);
// "Select * from LJQCRunResult where QcFileNo = %d", "Select * from XBQCRunResult", ...
std::string QcAllSql(QcKind kind, int qcFileNo);
// The builder of a kind's QC result message.
LisMessage BuildQcResultFor(QcKind kind, const QcMessageRecord& r);

}  // namespace lis
