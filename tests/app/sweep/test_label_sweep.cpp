// Screens the sweep reaches only with a stored result on show: their labels hold the result's
// own texts (the sample's date and time, the patient's fields), which the empty store of the
// registered screens never puts in them; and the Levey-Jennings chart of a QC file with its lot,
// expiry date and a run, whose captions stand right before those values.
#include "history/history_globals.h"
#include "history/history_graphics.h"
#include "qc/lj_chart_data.h"
#include "qc/lj_qc_graph.h"
#include "sweep_fixture.h"
#include "tests/support/program_folder.h"

namespace {

// One stored result with every header field filled at a length an operator would type.
void StoreOneResult() {
  support::ExecSql(
      "insert into Person(SampleNo, TestDate, TestTime, Name, Sex, Age, AgeUnit, BloodType, ReferValue, Dept, "
      "BedNo, MedicalNo, WBC) values('1234', '2026-12-25', '23:59:58', 'Maria Fernandez', 'F', 45, 'Y', '0', 'Adult Female', "
      "'Hematology', '12', '2026000123', '6.5')");
}

TEST_F(ScreenSweep, SingleResultViewShowsTheWholeHeader) {
  StoreOneResult();
  for (const SweepDisplay& display : kSweepDisplays)
    for (int lang = 0; lang < 5; ++lang) {
      Show(display, lang);
      const std::string where = std::string("CHistoryGraphics_") + kSweepLanguages[lang] + "_" + display.name;
      Sweep(where, [] {
        history::HistorySelectedTestDate = "2026-12-25";
        CHistoryGraphics view(nullptr);
        view.m_totalCount = 1;
        view.m_sampleNo = "1234";
        view.DoModal();
      }, [&](ui::TestDriver& s, ui::Window* screen, const draw::Bitmap&) {
        // The date and the clock time both on show (the check above measures how).
        if (screen->GetDlgItem(IDC_HG_TIME)->GetWindowText() != "2026-12-25 23:59:58")
          Finding(where, "the test time reads \"" + screen->GetDlgItem(IDC_HG_TIME)->GetWindowText() + "\"");
        (void)s;
      });
    }
}

TEST_F(ScreenSweep, LjChartShowsItsCaptionsApartFromTheirValues) {
  support::ExecSql("insert into LJQCSet(QcFileNo,BatchNo,ExpDate,WBCRV,WBCLV) values(8,'LOT-2027-A','2027-12-31',5,1)");
  support::ExecSql("insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(8,'2026-11-01','09:30:00',5.2)");
  for (const SweepDisplay& display : kSweepDisplays)
    for (int lang = 0; lang < 5; ++lang) {
      Show(display, lang);
      const std::string where = std::string("CLJQCGraph_") + kSweepLanguages[lang] + "_" + display.name;
      Sweep(where, [] {
        qc::LjQcChartFileNo = 8;
        qc::CLJQCGraph chart(nullptr);
        chart.DoModal();
      }, [&](ui::TestDriver&, ui::Window* screen, const draw::Bitmap&) {
        if (screen->GetDlgItem(qc::IDC_LJG_EXPIRY)->GetWindowText() != "2027-12-31")
          Finding(where, "the expiry reads \"" + screen->GetDlgItem(qc::IDC_LJG_EXPIRY)->GetWindowText() + "\"");
      });
    }
}

}  // namespace
