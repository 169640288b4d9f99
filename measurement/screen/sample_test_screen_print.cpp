// The test screen's reports: the Print button, the report job of a count, and what happens when
// a report ends (the buttons come back, the soak reminder and the rinse after the count).
#include <cstdlib>

#include "analyzer/sequences/soak_reminder.h"
#include "core/app_settings.h"
#include "measurement/result_globals.h"
#include "measurement/result_save.h"
#include "measurement/screen/sample_globals.h"
#include "measurement/screen/sample_report.h"
#include "measurement/screen/sample_test_screen.h"
#include "measurement/screen/sample_test_screen_texts.h"
#include "platform/sys/clock.h"
#include "platform/ui/app.h"
#include "platform/ui/message_box.h"
#include "printing/print_job.h"
#include "printing/report_fill.h"
#include "printing/reports.h"
#include "printing/thermal_printer.h"

namespace measurement {

ReportSnapshot CSampleTest::CurrentReportSnapshot() const {
  const bool stars = lastResult_ && (lastResult_->stars[0] || lastResult_->stars[1] || lastResult_->stars[2]);
  // The blood mode the sample was counted in (its row says it), whatever the Mode button says now.
  const int mode = CurrentSample.BloodType.empty() ? bloodMode_ : BloodModeFromText(CurrentSample.BloodType);
  return SampleReportSnapshot(CurrentSample, CurrentResult, ParameterMarks, MarkTexts, UnitTexts, normalLimits_,
                              SampleHistograms, Warning, MarkerPositions, mode, stars);
}

ReportSettings CSampleTest::CurrentReportSettings() const {
  ReportSettings st;
  st.language = AppSettings.LanguageIndex;
  st.printFormat = printFormat_;
  st.unitName = unitName_;
  st.pageHeaderLength = pageHeaderLength_;
  st.ntPlatform = AppSettings.PlatformFlag != 0;
  for (int i = 0; i < 20; ++i) st.printItems[i] = PrintFlags[i];
  return st;
}

void CSampleTest::EnablePrintControls(bool enable) {
  for (CXPButton* b : {&mode_, &retest_, &profile_, &print_, &exit_, &service_}) b->EnableWindow(enable);
}

void CSampleTest::OnPrint() {
  if (printBusy_) return;
  printBusy_ = true;
  const int lang = Language();
  if (hasResult_ == 0 || !lastResult_) {
    Box(TestScreenText(ScreenText::NoSample, lang), ui::MB_ICONWARNING);
    printBusy_ = false;
    return;
  }
  if (!lastResult_->Stored() || !lastResult_->Storable()) {
    // Nothing of this result is in the data store, or it holds no value: a report would show
    // what no one can find, or nothing.
    Box(!lastResult_->Stored() ? NotSavedText(lang) : NotComputedText(lang), ui::MB_ICONWARNING);
    printBusy_ = false;
    return;
  }
  // The patient may have been edited since the count: the texts and the group are read again.
  CurrentSample.TestDate = lastResult_->testDate;
  CurrentSample.TestTime = lastResult_->testTime;
  ReadSampleTexts(db_, SampleNoText, lastResult_->testDate, lang, CurrentSample, &groupIndex_);
  CurrentSample.TestTime = lastResult_->testTime;
  normalLimits_ = LoadNormalLimits(db_, groupIndex_);
  panicLimits_ = LoadPathologyLimits(db_, groupIndex_);
  MarkValues(CurrentResult, ParameterMarks, normalLimits_, panicLimits_, MarkTexts);
  StartSampleReport(CurrentReportSnapshot());
  ui::RemoveMouseMessages(this);
  printBusy_ = false;
}

bool CSampleTest::StartSampleReport(const ReportSnapshot& sample) {
  const ReportSettings settings = CurrentReportSettings();
  const int printer = printer_;
  const sys::LocalTime now = sys::Clock::Now();
  EnablePrintControls(false);
  reportPrinting_ = true;
  ReportPrintingFlag = 1;
  // One report at a time on the printers: a report handed on while another prints waits for it.
  if (printThread_.IsRunning()) printThread_.Join();
  ++printJobs_;
  const ui::WindowHandle screen = Handle();
  const bool started = StartPrintJob(printThread_, screen, [sample, settings, now, printer, screen] {
    bool printed = false;
    if (printer == 0) {
      // The thermal printer tells nothing back: a report with a write that did not go out
      // whole (paper out, unplugged, no port) is one that did not print.
      const uint64_t before = PrinterShortWrites();
      PrintSampleReportThermal(sample, settings, now);
      printed = PrinterShortWrites() == before;
    } else {
      const PageReportOutcome o = PrintSampleReportPage(sample, settings, now);
      printed = o.printed && o.job.ok;
    }
    // Posted before the job's end, so the screen tells it before it gives the buttons back.
    if (!printed)
      ui::PostMessageTo(screen, WM_REPORT_NOT_PRINTED, 0, static_cast<ui::LParam>(std::atoll(sample.sampleNo.c_str())));
  });
  if (!started) OnPrintProgress(0);
  return started;
}

void CSampleTest::OnReportNotPrinted(long long sampleNo) {
  // Said and logged; counting goes on, and the report can be printed again from the results.
  const std::string text = ReportNotPrintedText(std::to_string(sampleNo), Language());
  ShowWarning(text);
  WriteSampleTestLog(text);
}

void CSampleTest::OnPrintProgress(int state) {
  if (state == 1) {
    printHint_.Show();
    return;
  }
  if (printJobs_ > 0) --printJobs_;
  if (printJobs_ > 0) return;
  printHint_.Hide();
  reportPrinting_ = false;
  ReportPrintingFlag = 0;
  if (cycle_.ready()) {
    EnablePrintControls(true);
    diluent_.EnableWindow(bloodMode_ == 2);
  } else {
    profile_.EnableWindow(true);
  }
  if (!rinseCheck_) {
    rinseCheck_ = true;  // the count's end has not come yet: it decides
    return;
  }
  if (!analyzer::CheckSoakAfterSample()) AutoRinse();
}

}  // namespace measurement
