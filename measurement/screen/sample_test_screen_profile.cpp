// The test screen's Profile button: the patient screen runs over the test screen, and what the
// operator did there (the number of the next count, the patient texts, a new group of the
// shown result) comes back into the screen's state, its header and its marks.
#include "measurement/flagging.h"
#include "measurement/patient/patient_input.h"
#include "measurement/patient/person_info.h"
#include "measurement/patient/profile_edit.h"
#include "measurement/screen/sample_globals.h"
#include "measurement/screen/sample_test_screen.h"

namespace measurement {

void CSampleTest::RefreshNameTip() {
  const std::string shown = GetDlgItemText(IDC_NAME);
  nameTip_.RemoveTool(IDC_NAME);
  nameTip_.AddTool(IDC_NAME, {shown}, draw::RGB(205, 213, 215), draw::RGB(66, 85, 92));
  longName_ = IsLongName(shown);
}

void CSampleTest::OnProfile() {
  ProfileScreenState st;
  st.shownSampleNo = GetDlgItemText(IDC_SAMPLE_NO);
  st.sampleNoText = SampleNoText;
  st.nextSampleNo = NextSampleNo;
  st.sampleNumberEntered = sampleNumberEntered_;
  // The values the screen holds are the shown sample's only when its last result was counted
  // for that number and date: a count the board refused has moved the number on and left the
  // previous sample's values behind, which must never be written into this number's row.
  st.hasResult = hasResult_ > 0 && lastResult_ && SampleNoValue(lastResult_->row.sampleNo) == SampleNoValue(st.shownSampleNo) &&
                 lastResult_->testDate == TestDateText;
  st.retestRequested = retestRequested_;
  st.groupIndex = groupIndex_;
  ProfileHeader& h = st.header;
  h.name = GetDlgItemText(IDC_NAME);
  h.sex = GetDlgItemText(IDC_SEX);
  h.age = GetDlgItemText(IDC_AGE);
  h.referValue = CurrentSample.ReferValue;
  h.medicalNo = CurrentSample.MedicalNo;
  h.bedNo = CurrentSample.BedNo;
  h.dept = CurrentSample.Dept;
  h.sender = CurrentSample.Sender;
  h.scrutator = CurrentSample.Scrutator;
  h.checker = CurrentSample.Checker;
  st.longName = longName_;
  for (int i = 0; i < 20; ++i) st.indicators[i] = indicators_[i];

  const int group = groupIndex_;
  const ProfileApplied a = RunProfileEditing(db_, st, this, static_cast<unsigned>(bloodMode_), cycle_.ready(),
                                             TestDateText, Language());

  SampleNoText = st.sampleNoText;
  NextSampleNo = st.nextSampleNo;
  sampleNumberEntered_ = st.sampleNumberEntered;
  if (a.numberChosen) hasResult_ = 0;
  retestRequested_ = st.retestRequested;
  groupIndex_ = st.groupIndex;
  CurrentSample.Name = h.name;
  CurrentSample.Sex = h.sex;
  CurrentSample.Age = h.age;
  CurrentSample.ReferValue = h.referValue;
  CurrentSample.MedicalNo = h.medicalNo;
  CurrentSample.BedNo = h.bedNo;
  CurrentSample.Dept = h.dept;
  CurrentSample.Sender = h.sender;
  CurrentSample.Scrutator = h.scrutator;
  CurrentSample.Checker = h.checker;
  SetText(IDC_SAMPLE_NO, st.shownSampleNo);
  SetText(IDC_NAME, h.name);
  SetText(IDC_SEX, h.sex);
  SetText(IDC_AGE, h.age);
  const bool regrouped = groupIndex_ != group;
  if (regrouped) {
    // Later line moves, and the moved values Enter has still to save, are marked against the
    // ranges of the new group.
    adjustCtx_.normal = LoadNormalLimits(db_, groupIndex_);
    adjustCtx_.panic = LoadPathologyLimits(db_, groupIndex_);
    RemarkAdjustedValues(adjust_, adjustCtx_);
  }
  if (a.clearResultDisplay) {
    ClearResultDisplay();
  } else {
    if (a.remarked) UpdateData(false);  // the new marks into the mark controls
    // Moved values not yet saved stay on the screen with their marks for the new group.
    if (regrouped && adjustable_) {
      if (adjust_.diffRecomputed) ShowRecomputed(kChartWbc);
      if (adjust_.pltRecomputed) ShowRecomputed(kChartPlt);
    }
  }
  RefreshNameTip();
  InvalidateLabels();
}

}  // namespace measurement
