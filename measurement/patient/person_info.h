#pragma once
// CPersonInfo: the "Sample profile" dialog in which the operator enters or corrects the patient
// data of one sample (number, name, sex, age, reference group, medical and bed number,
// department, applicant, inspector, verifier). In test mode (over the test screen) the operator
// can also step to other sample numbers, prepare samples not yet counted, choose the number of
// the next count and change the group of the counted sample, which re-flags its stored result;
// in review mode (over a stored result) only that sample's data can be edited.
//
// DoModal: 1 OK on another sample number than CallerSampleNo (now that number); 2 OK on the
// caller's sample, or Exit after this screen re-flagged it; 0 otherwise.
#include <cstdint>
#include <string>

#include "core/ado_conn.h"
#include "controls/static_trans.h"
#include "controls/xp_combo_edit.h"
#include "controls/xp_tab_spin.h"
#include "controls/xp_button.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_PERSON_INFO = 139;
enum : int {
  IDC_PI_SAMPLE_NO = 1066,
  IDC_PI_NAME = 1045,
  IDC_PI_SEX = 1067,
  IDC_PI_YEARS = 1126,
  IDC_PI_MONTHS = 1124,
  IDC_PI_DAYS = 1125,
  IDC_PI_YEARS_SPIN = 1154,
  IDC_PI_MONTHS_SPIN = 1155,
  IDC_PI_DAYS_SPIN = 1156,
  IDC_PI_GROUP = 1008,
  IDC_PI_MEDICAL_NO = 1069,
  IDC_PI_BED_NO = 1070,
  IDC_PI_DEPT = 1071,
  IDC_PI_APPLICANT = 1010,
  IDC_PI_INSPECTOR = 1011,
  IDC_PI_VERIFIER = 1012,
  IDC_PI_SAVE = 1138,
  IDC_PI_LAST = 3,
  IDC_PI_NEXT = 4,
  IDC_PI_KEYBOARD = 1514,
  IDC_PI_HEADING = 1925,
  IDC_PI_FRAME = 1924,
  // Labels.
  IDC_PI_L_SAMPLE_NO = 2401,
  IDC_PI_L_NAME,
  IDC_PI_L_SEX,
  IDC_PI_L_AGE,
  IDC_PI_L_Y,
  IDC_PI_L_M,
  IDC_PI_L_D,
  IDC_PI_L_GROUP,
  IDC_PI_L_MEDICAL_NO,
  IDC_PI_L_BED_NO,
  IDC_PI_L_DEPT,
  IDC_PI_L_APPLICANT,
  IDC_PI_L_INSPECTOR,
  IDC_PI_L_VERIFIER,
};

class CPersonInfo : public ui::Dialog {
 public:
  CPersonInfo(unsigned char openMode, ui::Window* parent, unsigned int bloodTypeCode, unsigned char sampleNoEditable);
  ~CPersonInfo() override;

  // Fields exchanged with the controls.
  std::string ProfileSampleNo, PatientName, PatientSex;
  uint8_t AgeYears = 0, AgeMonths = 0, AgeDays = 0;
  std::string PatientGroupText, MedicalNoText, BedNoText, DeptText, ApplicantText, InspectorText, VerifierText;

  uint8_t OpenMode = 0;            // 0 test mode, 1 review mode
  std::string CallerSampleNo;      // set by the caller; the final sample number on return
  std::string ProfileTestDate;     // "YYYY-MM-DD" of the rows read and updated
  unsigned BloodTypeCode = 0;
  std::string BloodTypeText;
  uint8_t SampleNoEditable = 1;
  int PatientGroupIndex = 0;
  int RetestConfirmed = 0;
  int SummaryValid = 0;
  std::string SummaryName, SummarySex, SummaryAge, SummaryGroup;

  // The input check before OK and Save: 0 after showing the first failure, else 1.
  int ValidateInput();

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  void OnCancel() override;
  void OnOK() override {}
  bool OnCommand(int id, int code, ui::Window* control) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;
  void OnTimer(uintptr_t id) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  struct RowInfo {
    bool exists = false, hasResult = false;
    std::string referValue;
  };
  RowInfo ReadRow(const std::string& sampleNo);
  void LoadSample();
  void ClearFields();
  void FillApplicantFromDept();
  void OnOkButton();
  void OnSaveButton();
  void OnStep(bool next);
  void OnEnterKey();
  void OnLisProfile();
  bool SavePatientColumns();
  // Saves the patient columns of the shown sample and, when its stored result is under another
  // group, re-marks that result for the chosen group: the group, the marks and the range text of
  // the row change together or not at all. `own`: the sample is the caller's (ProfileRegrouped).
  bool SaveWithGroup(bool own);
  void ComputeAge(int* age, std::string* unit) const;
  int Message(const std::string& text, unsigned type);
  void SetTexts();
  void FillLists();
  void SetSampleNoText(const std::string& text);
  void Close(int result);

  int language_ = 1;
  bool loading_ = false;
  CADOConn conn_;
  CXPButton ok_, exit_, save_, last_, next_, keyboard_;
  CXPEdit sampleNo_, name_, years_, months_, days_, medicalNo_, bedNo_;
  CXPComboBox sex_, group_, dept_, applicant_, inspector_, verifier_;
  CTSpinButtonCtrl yearsSpin_, monthsSpin_, daysSpin_;
};

namespace measurement {
struct ProfileScreenState;
struct ProfileApplied;
// The test screen's Profile button: runs the screen in test mode over `testScreen` for the
// shown sample number of `s`, then carries the outcome into `s` and the shown result's row
// (ApplyProfileOutcome). The caller then shows `s` and follows the returned requests.
ProfileApplied RunProfileEditing(CADOConn& conn, ProfileScreenState& s, ui::Window* testScreen, unsigned bloodMode,
                                 bool ready, const std::string& testDate, int language);
}  // namespace measurement

// The dialog template (dialog units), registered under IDD_PERSON_INFO on first use.
ui::DialogTemplate PersonInfoTemplate();
