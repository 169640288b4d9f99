#include "measurement/count_cycle.h"

#include <cstdio>

#include "analyzer/command_catalogue.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/serial_trace.h"
#include "measurement/run_result.h"
#include "measurement/trace_records.h"
#include "measurement/zentil_call.h"
#include "platform/sys/clock.h"
#include "platform/sys/file_ops.h"
#include "platform/sys/program_dir.h"

namespace measurement {

using analyzer::CheckedFrame;
using analyzer::CollectedFrame;
using analyzer::FrameKind;
namespace cmd = analyzer::cmd;

float ApertureSeconds(uint8_t b4, uint8_t b5, uint8_t b6, bool thirdCount) {
  const int mean = thirdCount ? (b4 + b5 + b6) / 3 : (b4 + b5) / 2;
  return static_cast<float>(mean) / 10.0f;
}

ApertureWarning JudgeAperture(float seconds, float blockTime, float leakTime) {
  if (seconds > blockTime) return ApertureWarning::Clogged;
  if (seconds < leakTime) return ApertureWarning::AirBubble;
  return ApertureWarning::None;
}

bool AwaitsReply(uint8_t cls, uint8_t command, int bloodMode) {
  if (cls == analyzer::FrameClassData) return true;
  if (cls != analyzer::FrameClassCommand) return false;
  return command == cmd::Reset || command == cmd::NextCount || command == cmd::EndOfCount ||
         command == cmd::BlankCount || command == analyzer::StartCommandForBloodMode(bloodMode);
}

int64_t ReplyDeadlineMs(uint8_t cls, uint8_t command, int bloodMode, uint8_t wbcTenths, uint8_t rbcTenths) {
  // A count is acknowledged when the board has counted: its deadline adds the longer count time.
  const bool counts = cls == analyzer::FrameClassCommand &&
                      (command == cmd::NextCount || command == cmd::BlankCount ||
                       command == analyzer::StartCommandForBloodMode(bloodMode));
  const int64_t countMs = counts ? 100 * static_cast<int64_t>(wbcTenths > rbcTenths ? wbcTenths : rbcTenths) : 0;
  return CountCycle::kRequestRetryMs + countMs;
}

void CountCycle::SendCommand(uint8_t cls, uint8_t command, bool withCountTimes) {
  collector_.Clear();
  uint8_t p1 = 0, p2 = 0;
  if (withCountTimes) {
    uint8_t w = wbcTimeTenths_, r = rbcTimeTenths_;
    if (host_.ReadCountTimes(&w, &r)) {
      wbcTimeTenths_ = w;
      rbcTimeTenths_ = r;
    }
    p1 = wbcTimeTenths_;
    p2 = rbcTimeTenths_;
  }
  lastSent_ = analyzer::BuildCommandFrame(cls, command, p1, p2);
  const int64_t now = sys::Clock::TickMs();
  if (AwaitsReply(cls, command, host_.BloodMode())) {
    // A new request starts its own allowance; the same one sent again keeps counting. The
    // commands of the count and the reset are awaited the same way: a lost or damaged answer
    // must not leave the screen waiting. Another command sent meanwhile (a report's query)
    // leaves the wait as it is.
    if (cls != requestClass_ || command != requestCommand_ || requestDeadline_ < 0) {
      // A new wait: the one before it was answered.
      requestRetries_ = 0;
      Answered();
    }
    requestClass_ = cls;
    requestCommand_ = command;
    requestDeadline_ = now + ReplyDeadlineMs(cls, command, host_.BloodMode(), wbcTimeTenths_, rbcTimeTenths_);
  } else if (cls == analyzer::FrameClassResend) {
    if (requestDeadline_ >= 0)
      requestDeadline_ =
          now + ReplyDeadlineMs(requestClass_, requestCommand_, host_.BloodMode(), wbcTimeTenths_, rbcTimeTenths_);
  }
  if (cls == analyzer::FrameClassCommand && command == cmd::Reset) {
    // Until its answer (or the give-up) the board is not ready: a key report that arrives
    // meanwhile starts nothing, so the reset's answer never ends a count begun after it.
    resetAsked_ = true;
    ready_ = false;
  }
  replySeen_ = false;
  host_.SendFrame(lastSent_);
  resendDeadline_ = now + kResendCheckMs;
}

void CountCycle::OnByte(uint8_t byte) {
  if (host_.DiscardBoardInput()) {
    collector_.Clear();
    return;
  }
  if (byte == analyzer::kFrameStart || collector_.Count() > 0) {
    byteSeen_ = true;
    replySeen_ = true;
    // Between counts the link watchdog runs while a frame is on its way, so a key report cut
    // on the line is asked for again as it is during a count.
    if (watchdogNext_ < 0 && state_ == CycleState::Idle) {
      watchdogNext_ = sys::Clock::TickMs() + kWatchdogMs;
      prevByteSeen_ = true;
    }
  }
  const CollectedFrame f = collector_.Feed(byte);
  if (f) Handle(f);
}

bool CountCycle::Checked(const CollectedFrame& f, CheckedFrame which) {
  if (f.checksumOk) return true;
  TraceBytes(f.bytes.data(), f.bytes.size(), analyzer::kChecksumFile, 1);
  TraceText(analyzer::ChecksumLogLine(which, f), analyzer::kChecksumFile, 1);
  if (resend_.TryRequest()) {
    SendCommand(analyzer::FrameClassResend, 0x01);
  } else {
    // Ten requests in this test: the count stays where it is until its time-out.
    requestDeadline_ = -1;
    host_.ShowChecksumError(analyzer::ChecksumMessage(which, host_.Language()));
  }
  return false;
}

void CountCycle::Handle(const CollectedFrame& f) {
  const int mode = host_.BloodMode();
  switch (f.kind) {
    case FrameKind::RunHeader:
      if (state_ != CycleState::Header) break;
      if (!Checked(f, CheckedFrame::RunHeader)) return;
      {
        const analyzer::RunHeader h = analyzer::ParseRunHeader(f.bytes);
        analyzer::RunHeaderValue = h.hgbBlank;
        hgbSample_ = h.hgbSample;
        host_.OnHgbReadings(analyzer::RunHeaderValue, hgbSample_);
      }
      expectedChannel_ = analyzer::ChannelWbc;
      state_ = CycleState::Histograms;
      SendCommand(analyzer::FrameClassData, analyzer::data::WbcHistogram);
      return;
    case FrameKind::Histogram:
      if (state_ != CycleState::Histograms || f.channel() != expectedChannel_) break;
      OnHistogram(f);
      return;
    case FrameKind::Command:
      break;
    default:
      return;
  }
  if (f.kind != FrameKind::Command) {
    collector_.Clear();
    return;
  }
  const uint8_t cls = f.cls(), command = f.command();
  if (cls == analyzer::FrameClassStatus && command == analyzer::status::CountKey) {
    OnKey(f);
    return;
  }
  if (cls == analyzer::FrameClassCommand) {
    const bool startAck = command == analyzer::StartCommandForBloodMode(mode) || command == cmd::BlankCount;
    if (startAck && state_ == CycleState::Starting) {
      if (!Checked(f, CheckedFrame::StartAck)) return;
      state_ = CycleState::Header;
      SendCommand(analyzer::FrameClassData, analyzer::data::RunHeader);
      return;
    }
    if (command == cmd::NextCount && state_ == CycleState::NextCount) {
      if (!Checked(f, CheckedFrame::NextCountAck)) return;
      state_ = CycleState::Header;
      SendCommand(analyzer::FrameClassData, analyzer::data::RunHeader);
      return;
    }
    if (command == cmd::EndOfCount && state_ == CycleState::Finishing) {
      OnEndOfTestReply(f);
      return;
    }
    if (command == cmd::Reset) {
      OnResetDone(f);
      return;
    }
    // The other acknowledgements are applied without their check byte: a damaged one must not
    // leave the screen waiting for a reply the board has already given.
    if (f.status() == analyzer::kReplyDone) {
      if (command == cmd::EnterSampleMode) {
        sampleMode_ = true;
        ready_ = true;
        host_.ShowStatus(CycleStatus::Ready);
      } else if (command == cmd::DispenseDiluent) {
        ready_ = true;
        host_.ShowStatus(CycleStatus::Ready);
        host_.OnDiluentDispensed();
        return;
      }
    }
  }
  // A temperature report ends the ready delay after a test, and the wait for the board after an
  // abort; during a count, or while a reset asked between counts is unanswered, it changes
  // nothing.
  if (cls == analyzer::FrameClassStatus && command == analyzer::status::Temperature &&
      ((state_ == CycleState::Idle && !resetAsked_) || state_ == CycleState::Aborted))
    BackToIdle();
  host_.OnBoardReport(f);
}

bool CountCycle::CountRunning() const {
  return state_ != CycleState::Idle && state_ != CycleState::Aborted;
}

void CountCycle::OnResetDone(const CollectedFrame& f) {
  if (!resetAsked_) {
    // The board reset itself: whatever count it ran is gone, and replies it still owed for it
    // must not be taken for the next sample. A running count ends as a failed one, with the
    // time-out's message and the board reset once more; after the end-of-test command the test
    // ends as finished (its result is stored); in idle the frame changes nothing. A frame that
    // fails its check is no such report.
    collector_.Clear();
    if (!f.checksumOk) return;
    if (state_ == CycleState::Finishing)
      EndTestWithoutReply(false);
    else if (CountRunning())
      Timeout();
    return;
  }
  if (!f.checksumOk) {
    // Only a reset answer whose check holds ends the wait; a damaged one is asked for again.
    collector_.Clear();
    if (resend_.TryRequest()) SendCommand(analyzer::FrameClassResend, 0x01);
    return;
  }
  // The reset is done whatever its status byte says.
  Answered();
  BackToIdle();
  host_.OnBoardReport(f);
}

void CountCycle::BackToIdle() {
  library_.Release();
  // Whatever ended the wait (the answer, a temperature report, the give-up), a reset answer
  // that comes later is one the board was not asked for.
  resetAsked_ = false;
  ready_ = true;
  state_ = CycleState::Idle;
  countNumber_ = 1;
  countDeadline_ = -1;
  readyDeadline_ = -1;
  watchdogNext_ = -1;
  requestDeadline_ = -1;
}

void CountCycle::OnKey(const CollectedFrame& f) {
  if (!(ready_ && sampleMode_ && noRinseRunning_) || state_ != CycleState::Idle) return;
  watchdogNext_ = sys::Clock::TickMs() + kWatchdogMs;
  byteSeen_ = prevByteSeen_ = true;
  resend_.Reset();
  if (!Checked(f, CheckedFrame::CountKey)) return;
  switch (host_.OnKeyPress()) {
    case KeyDecision::Ignore:
      return;
    case KeyDecision::DispenseDiluent:
      host_.ShowStatus(CycleStatus::AddingDiluent);
      ready_ = false;
      SendCommand(analyzer::FrameClassCommand, cmd::DispenseDiluent);
      return;
    case KeyDecision::Start:
      break;
  }
  ready_ = false;
  host_.ShowStatus(CycleStatus::Testing);
  repeatCount_ = false;
  marks_ = DisagreementMarks{};
  quick_ = QuickValues{};
  for (bool& r : received_) r = false;
  countNumber_ = 1;
  state_ = CycleState::Starting;
  SendCommand(analyzer::FrameClassCommand, analyzer::StartCommandForBloodMode(host_.BloodMode()), true);
  countDeadline_ = sys::Clock::TickMs() + kCountTimeoutMs;
  collector_.Clear();
}

void CountCycle::OnHistogram(const CollectedFrame& f) {
  const uint8_t ch = f.channel();
  const CheckedFrame which = ch == analyzer::ChannelWbc   ? CheckedFrame::WbcHistogram
                             : ch == analyzer::ChannelRbc ? CheckedFrame::RbcHistogram
                                                          : CheckedFrame::PltHistogram;
  if (!Checked(f, which)) return;
  const std::vector<float> bins = analyzer::ParseHistogramFloats(f.bytes);
  float* target = ch == analyzer::ChannelWbc ? buffers_.wbc : ch == analyzer::ChannelRbc ? buffers_.rbc : buffers_.plt;
  const size_t n = analyzer::HistogramBinCount(ch);
  for (size_t i = 0; i < n && i < bins.size(); ++i) target[i] = bins[i];
  received_[ch - 1] = true;
  if (ch == analyzer::ChannelWbc) {
    expectedChannel_ = analyzer::ChannelRbc;
    SendCommand(analyzer::FrameClassData, analyzer::data::RbcHistogram);
    // The count's end is the library's next use: it is loaded while the RBC and PLT frames are
    // on the line, not after their last byte.
    library_.Load(ZentilLibraryPath());
  } else if (ch == analyzer::ChannelRbc) {
    expectedChannel_ = analyzer::ChannelPlt;
    SendCommand(analyzer::FrameClassData, analyzer::data::PltHistogram);
  } else {
    EndOfCount();
  }
}

CountInputs CountCycle::MakeCountInputs() {
  CountInputs in;
  host_.FillCountInputs(in);  // calibration factors; the rest is the cycle's
  in.bloodMode = host_.BloodMode();
  in.wbcTimeTenths = wbcTimeTenths_;
  in.hgbBlank = &analyzer::RunHeaderValue;
  in.hgbSample = &hgbSample_;
  return in;
}

void CountCycle::EndOfCount() {
  // The end of a count is one use of the library: its quick values and, when the test ends
  // with it, the result are computed with one load.
  const ZentilUse use(ZentilLibraryPath(), library_);
  library_.Release();  // one loaded for a library no longer named
  if (countNumber_ == 1 || countNumber_ == 2) {
    const int n = countNumber_;
    counts_[n - 1] = RoundCount(buffers_);
    const CountValues v = host_.ComputeQuickValues(n, buffers_, MakeCountInputs());
    quick_.values[CountWbc][n - 1] = v.wbc;
    quick_.values[CountRbc][n - 1] = v.rbc;
    quick_.values[CountPlt][n - 1] = v.plt;
    host_.OnCountValues(n, v);
    if (n == 2) {
      marks_ = host_.CompareFirstCounts(quick_);
      if (!marks_.any()) {
        EndTest();
        return;
      }
      repeatCount_ = true;
    }
    for (bool& r : received_) r = false;
    countNumber_ = n + 1;
    state_ = CycleState::NextCount;
    SendCommand(analyzer::FrameClassCommand, cmd::NextCount);
    return;
  }
  EndTest();
}

void CountCycle::EndTest() {
  state_ = CycleState::Finishing;
  SendCommand(analyzer::FrameClassCommand, cmd::EndOfCount);
  resultPending_ = true;
  host_.OnResultPending(true);
  host_.ShowStatus(CycleStatus::FinishTesting);
  if (received_[0] && received_[1] && received_[2]) {
    host_.ProcessRunResult(repeatCount_);
    for (bool& r : received_) r = false;
  }
  countNumber_ = 1;
}

void CountCycle::OnEndOfTestReply(const CollectedFrame& f) {
  const int requestsBefore = resend_.Used();
  const bool ok = Checked(f, CheckedFrame::EndOfCountAck);
  // A damaged reply is asked for again while the allowance lasts; after that the test ends
  // without the aperture readings (its result is already stored).
  if (!ok && resend_.Used() > requestsBefore) return;
  if (!ok) {
    EndTestWithoutReply(true);
    return;
  }
  Answered();
  EndTestCommon(true);
  EndOfTestReport report;
  report.thirdCount = repeatCount_;
  report.apertureSeconds = ApertureSeconds(f.bytes[4], f.bytes[5], f.bytes[6], repeatCount_);
  host_.OnEndOfTest(report);
  BackToReady();
}

void CountCycle::EndTestCommon(bool replied) {
  host_.ShowStatus(CycleStatus::Ready);
  countDeadline_ = -1;
  watchdogNext_ = -1;
  requestDeadline_ = -1;
  resultPending_ = false;
  // Without a reply a result already written stays pending for the screen until its own timer
  // ends it.
  if (replied) host_.OnResultPending(false);
}

void CountCycle::EndTestWithoutReply(bool replied) {
  // The result (when all histograms came) is stored already: the test ends as finished, only
  // without the aperture readings; it is never booked as timed out.
  EndTestCommon(replied);
  EndOfTestReport report;
  report.thirdCount = repeatCount_;
  report.readings = false;
  host_.OnEndOfTest(report);
  BackToReady();
}

void CountCycle::BackToReady() {
  library_.Release();
  collector_.Clear();
  state_ = CycleState::Idle;
  requestDeadline_ = -1;
  if (!noRinseRunning_) {
    ready_ = true;
  } else {
    SendCommand(analyzer::FrameClassStatus, analyzer::status::Temperature);
    readyDeadline_ = sys::Clock::TickMs() + kReadyDelayMs;
  }
  sys::DeleteFile(sys::ProgramFile(analyzer::kSerialDataFile));
}

void CountCycle::Answered() {
  if (!noAnswer_) return;
  noAnswer_ = false;
  host_.OnNoAnswer(false);
}

void CountCycle::Timeout() {
  library_.Release();
  noAnswer_ = false;  // the time-out's message takes the place of the no-answer notice
  countDeadline_ = -1;
  watchdogNext_ = -1;
  requestDeadline_ = -1;
  analyzer::CopySerialTraceToLog(host_.TimeoutTraceName());
  host_.OnTimeout();
  // A result already written stays pending for the screen until its own timer ends it.
  resultPending_ = false;
  countNumber_ = 1;
  for (bool& r : received_) r = false;
  if (host_.ResetBoardOnTimeout()) {
    state_ = CycleState::Aborted;
    SendCommand(analyzer::FrameClassCommand, cmd::Reset);
  } else {
    state_ = CycleState::Idle;
    ready_ = true;
  }
  collector_.Clear();
}

uint16_t CountCycle::hgbBlank() const { return analyzer::RunHeaderValue; }

void CountCycle::StartFaultTimeout(int64_t ms) {
  // A fault report between counts has no count to end: arming the deadline then would let it
  // fire at the next command, booking and resetting as for a count that never ran.
  if (!CountRunning()) return;
  countDeadline_ = sys::Clock::TickMs() + ms;
}

void CountCycle::Tick() {
  const int64_t now = sys::Clock::TickMs();
  if (countDeadline_ >= 0 && now >= countDeadline_) {
    // After the end-of-test command the counts are done and the result processed: the test
    // ends without the board's reply, not as a failed count.
    if (state_ == CycleState::Finishing)
      EndTestWithoutReply(false);
    else
      Timeout();
  }
  if (readyDeadline_ >= 0 && now >= readyDeadline_) {
    readyDeadline_ = -1;
    ready_ = true;
  }
  while (watchdogNext_ >= 0 && now >= watchdogNext_) {
    watchdogNext_ += kWatchdogMs;
    // A frame broken off (bytes held), or dropped as longer than it announced (a byte doubled
    // on the line), is asked for again once the link has been quiet for two ticks.
    if (!byteSeen_ && !prevByteSeen_ && collector_.Unfinished() && resend_.Used() < 11) {
      host_.ReopenPort();
      collector_.Clear();
      SendCommand(analyzer::FrameClassResend, 0x01);
    }
    prevByteSeen_ = byteSeen_;
    byteSeen_ = false;
    if (state_ == CycleState::Idle && !collector_.Unfinished()) {
      watchdogNext_ = -1;  // nothing left on its way between counts
      break;
    }
  }
  if (requestDeadline_ >= 0 && now >= requestDeadline_) {
    // The requested frame did not come: the line was quiet, or answered with something else
    // (a repeated report, junk). The screen says so at once; the frame itself is asked for
    // again, and after the allowance the count waits for its own time-out.
    if (!noAnswer_) {
      noAnswer_ = true;
      host_.OnNoAnswer(true);
    }
    if (requestRetries_ < kRequestRetries) {
      ++requestRetries_;
      const bool start = requestClass_ == analyzer::FrameClassCommand && requestCommand_ != cmd::NextCount &&
                         requestCommand_ != cmd::EndOfCount && requestCommand_ != cmd::Reset;
      SendCommand(requestClass_, requestCommand_, start);
    } else if (requestClass_ == analyzer::FrameClassCommand && requestCommand_ == cmd::Reset) {
      // The reset was never answered: the screen takes the count key again rather than wait
      // for ever; a late answer is then one not asked for.
      BackToIdle();
    } else if (requestClass_ == analyzer::FrameClassCommand && requestCommand_ == cmd::EndOfCount) {
      EndTestWithoutReply(false);
    } else {
      requestDeadline_ = -1;
    }
  }
  if (resendDeadline_ >= 0 && now >= resendDeadline_) {
    resendDeadline_ = -1;
    if (host_.LastWriteFailed() && !replySeen_) {
      host_.SendFrame(analyzer::CommandFrame{});
      host_.SendFrame(lastSent_);
    }
  }
}

void CountCycle::FillRunInputs(RunInputs& in) {
  in.count = MakeCountInputs();
  in.counts[0] = counts_[0];
  in.counts[1] = counts_[1];
  in.quick = quick_;
  in.thirdCount = repeatCount_;
}

}  // namespace measurement
