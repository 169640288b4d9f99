#include "measurement/patient/person_info.h"

#include "platform/db/connection.h"

#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/lis_link_state.h"
#include "controls/skin_loader.h"
#include "measurement/flagging.h"
#include "measurement/patient/lis_profile.h"
#include "measurement/patient/patient_input.h"
#include "measurement/patient/profile_edit.h"
#include "measurement/patient/profile_flags.h"
#include "measurement/patient/reflag.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "controls/screen_common.h"
#include "core/person_row.h"

using namespace measurement;

namespace {

constexpr draw::Color kTextColour = draw::RGB(66, 85, 92);
constexpr draw::Color kBandFirst = draw::RGB(205, 213, 215);
constexpr draw::Color kBandSecond = draw::RGB(190, 198, 201);
constexpr uintptr_t kSaveHoldTimer = 1;
constexpr unsigned kSaveHoldMs = 3800;

// The pointer position of the last activity report, shared by every patient screen of the run.
bool g_pointerSeen = false;
ui::Point g_lastPointer;

// Rows of the form: nine bands of kBand units from kFrameTop.
constexpr int kFrameTop = 24, kBand = 18, kFrameLeft = 6, kFrameWidth = 298;
int RowY(int row) { return kFrameTop + kBand * row + 3; }

void RegisterTemplate() {
  if (!ui::Resources::FindDialog(IDD_PERSON_INFO)) ui::Resources::AddDialog(IDD_PERSON_INFO, PersonInfoTemplate());
}

}  // namespace

ui::DialogTemplate PersonInfoTemplate() {
  using namespace ui;
  const uint32_t V = WS_VISIBLE, TS = WS_TABSTOP, ED = V | TS | WS_BORDER | ES_AUTOHSCROLL;
  const uint32_t LIST = V | TS | WS_VSCROLL | CBS_DROPDOWNLIST, DROP = V | TS | WS_VSCROLL | CBS_DROPDOWN;
  DialogTemplate t;
  // Full screen, as the test screen under it: a smaller dialog would leave strips of the test
  // screen showing round it. The rows are laid out on 310 x 232 units and centred below.
  t.cx = 320;
  t.cy = 240;
  t.style = WS_POPUP | WS_VISIBLE | DS_CENTER | DS_SETFONT;
  t.caption = "Sample profile";
  t.Add("Static", IDC_PI_HEADING, "", 0, 0, 310, 20, V | SS_CENTER | SS_CENTERIMAGE);
  t.Add("Static", IDC_PI_FRAME, "", kFrameLeft, kFrameTop, kFrameWidth, kBand * 9, V);
  const int lx = 12, lw = 62, cx = 76, cw = 120, rx = 202, rw = 38, r2 = 242, r2w = 58;
  // Row 0: sample number and the keyboard.
  t.Add("Static", IDC_PI_L_SAMPLE_NO, "", lx, RowY(0) + 2, lw, 10, V);
  t.Add("Edit", IDC_PI_SAMPLE_NO, "", cx, RowY(0), cw, 12, ED);
  t.Add("Button", IDC_PI_KEYBOARD, "", rx, RowY(0) - 1, 24, 13, V | BS_PUSHBUTTON);
  // Row 1: name.
  t.Add("Static", IDC_PI_L_NAME, "", lx, RowY(1) + 2, lw, 10, V);
  t.Add("Edit", IDC_PI_NAME, "", cx, RowY(1), 218, 12, ED);
  // Row 2: sex, and the age in years, months and days.
  t.Add("Static", IDC_PI_L_SEX, "", lx, RowY(2) + 2, lw, 10, V);
  t.Add("ComboBox", IDC_PI_SEX, "", cx, RowY(2), 70, 60, LIST);
  t.Add("Static", IDC_PI_L_AGE, "", 150, RowY(2) + 2, 24, 10, V);
  int ax = 174;
  const int ageIds[3][3] = {{IDC_PI_YEARS, IDC_PI_YEARS_SPIN, IDC_PI_L_Y},
                            {IDC_PI_MONTHS, IDC_PI_MONTHS_SPIN, IDC_PI_L_M},
                            {IDC_PI_DAYS, IDC_PI_DAYS_SPIN, IDC_PI_L_D}};
  for (const auto& ids : ageIds) {
    t.Add("Edit", ids[0], "0", ax, RowY(2), 18, 12, ED | ES_NUMBER);
    t.Add("UpDown", ids[1], "", ax + 18, RowY(2) - 1, 9, 15, V | UDS_SETBUDDYINT | UDS_ARROWKEYS);
    t.Add("Static", ids[2], "", ax + 29, RowY(2) + 2, 12, 10, V);
    ax += 42;
  }
  // Row 3: reference group.
  t.Add("Static", IDC_PI_L_GROUP, "", lx, RowY(3) + 2, lw, 10, V);
  t.Add("ComboBox", IDC_PI_GROUP, "", cx, RowY(3), cw, 120, LIST);
  // Row 4: medical and bed number.
  t.Add("Static", IDC_PI_L_MEDICAL_NO, "", lx, RowY(4) + 2, lw, 10, V);
  t.Add("Edit", IDC_PI_MEDICAL_NO, "", cx, RowY(4), cw, 12, ED);
  t.Add("Static", IDC_PI_L_BED_NO, "", rx, RowY(4) + 2, rw, 10, V);
  t.Add("Edit", IDC_PI_BED_NO, "", r2, RowY(4), r2w, 12, ED);
  // Rows 5 to 8: department and doctors.
  const int rows[4][2] = {{IDC_PI_L_DEPT, IDC_PI_DEPT},
                          {IDC_PI_L_APPLICANT, IDC_PI_APPLICANT},
                          {IDC_PI_L_INSPECTOR, IDC_PI_INSPECTOR},
                          {IDC_PI_L_VERIFIER, IDC_PI_VERIFIER}};
  for (int k = 0; k < 4; ++k) {
    t.Add("Static", rows[k][0], "", lx, RowY(5 + k) + 2, lw, 10, V);
    t.Add("ComboBox", rows[k][1], "", cx, RowY(5 + k), cw, 80, DROP);
  }
  // Buttons.
  const int by = kFrameTop + kBand * 9 + 12, bw = 52, gap = 8;
  const int ids[5] = {IDC_PI_LAST, IDC_PI_NEXT, IDC_PI_SAVE, IDOK, IDCANCEL};
  int bx = (310 - (5 * bw + 4 * gap)) / 2;
  for (int id : ids) {
    t.Add("Button", id, "", bx, by, bw, 16, V | TS | BS_PUSHBUTTON);
    bx += bw + gap;
  }
  for (ControlTemplate& c : t.controls) {
    if (c.id == IDC_PI_HEADING) {
      c.cx = t.cx;  // the heading runs across the title band above the rows
      c.cy = kFrameTop + 4;
    } else {
      c.x += 5;
      c.y += 4;
    }
  }
  return t;
}

CPersonInfo::CPersonInfo(unsigned char openMode, ui::Window* parent, unsigned int bloodTypeCode,
                         unsigned char sampleNoEditable)
    : ui::Dialog(IDD_PERSON_INFO, parent),
      OpenMode(openMode),
      BloodTypeCode(bloodTypeCode),
      SampleNoEditable(sampleNoEditable) {
  RegisterTemplate();
  ProfileRegrouped = 0;
  DiscardBoardInput = 0;
}

CPersonInfo::~CPersonInfo() { conn_.Disconnect(); }

void CPersonInfo::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, IDC_PI_SAVE, save_);
  ui::ExchangeControl(dx, IDC_PI_LAST, last_);
  ui::ExchangeControl(dx, IDC_PI_NEXT, next_);
  ui::ExchangeControl(dx, IDC_PI_KEYBOARD, keyboard_);
  const std::pair<int, ui::Window*> skinned[] = {
      {IDC_PI_SAMPLE_NO, &sampleNo_}, {IDC_PI_NAME, &name_},         {IDC_PI_YEARS, &years_},
      {IDC_PI_MONTHS, &months_},      {IDC_PI_DAYS, &days_},         {IDC_PI_MEDICAL_NO, &medicalNo_},
      {IDC_PI_BED_NO, &bedNo_},       {IDC_PI_SEX, &sex_},           {IDC_PI_GROUP, &group_},
      {IDC_PI_DEPT, &dept_},          {IDC_PI_APPLICANT, &applicant_}, {IDC_PI_INSPECTOR, &inspector_},
      {IDC_PI_VERIFIER, &verifier_},  {IDC_PI_YEARS_SPIN, &yearsSpin_}, {IDC_PI_MONTHS_SPIN, &monthsSpin_},
      {IDC_PI_DAYS_SPIN, &daysSpin_}};
  for (const auto& [id, control] : skinned) ui::ExchangeControl(dx, id, *control);
  ui::ExchangeText(dx, IDC_PI_SAMPLE_NO, ProfileSampleNo);
  ui::ExchangeText(dx, IDC_PI_NAME, PatientName);
  ui::ExchangeComboText(dx, IDC_PI_SEX, PatientSex);
  ui::ExchangeText(dx, IDC_PI_YEARS, AgeYears);
  ui::ExchangeText(dx, IDC_PI_MONTHS, AgeMonths);
  ui::ExchangeText(dx, IDC_PI_DAYS, AgeDays);
  ui::ExchangeComboText(dx, IDC_PI_GROUP, PatientGroupText);
  ui::ExchangeText(dx, IDC_PI_MEDICAL_NO, MedicalNoText);
  ui::ExchangeText(dx, IDC_PI_BED_NO, BedNoText);
  ui::ExchangeComboText(dx, IDC_PI_DEPT, DeptText);
  ui::ExchangeComboText(dx, IDC_PI_APPLICANT, ApplicantText);
  ui::ExchangeComboText(dx, IDC_PI_INSPECTOR, InspectorText);
  ui::ExchangeComboText(dx, IDC_PI_VERIFIER, VerifierText);
}

bool CPersonInfo::OnInitDialog() {
  loading_ = true;
  ui::Dialog::OnInitDialog();
  language_ = AppSettings.LanguageIndex;
  ScaleDialogLayout(this);
  ApplyDialogFontToChildren(this, &SharedDialogFont());

  SetDlgItemText(IDC_PI_SAMPLE_NO, CallerSampleNo);
  ProfileSampleNo = CallerSampleNo;
  if (OpenMode == 1) {
    GetDlgItem(IDC_PI_SAMPLE_NO)->EnableWindow(false);
    last_.EnableWindow(false);
    next_.EnableWindow(false);
    save_.EnableWindow(false);
  } else if (SampleNoEditable == 0) {
    GetDlgItem(IDC_PI_SAMPLE_NO)->EnableWindow(false);
  }

  // Limits: sample number, name and the other texts as the columns take them.
  const std::pair<int, int> limits[] = {{IDC_PI_SAMPLE_NO, 8}, {IDC_PI_NAME, 50},       {IDC_PI_YEARS, 3},
                                        {IDC_PI_MONTHS, 2},    {IDC_PI_DAYS, 2},        {IDC_PI_MEDICAL_NO, 20},
                                        {IDC_PI_BED_NO, 20}};
  for (const auto& [id, n] : limits) SendDlgItemMessage(id, ui::EM_LIMITTEXT, static_cast<ui::WParam>(n));
  const int spins[3][3] = {{IDC_PI_YEARS_SPIN, IDC_PI_YEARS, 200},
                           {IDC_PI_MONTHS_SPIN, IDC_PI_MONTHS, 30},
                           {IDC_PI_DAYS_SPIN, IDC_PI_DAYS, 90}};
  for (const auto& s : spins)
    if (auto* spin = dynamic_cast<ui::UpDown*>(GetDlgItem(s[0]))) {
      spin->SetBuddy(GetDlgItem(s[1]));
      spin->SetRange(0, s[2]);
    }
  for (CTSpinButtonCtrl* spin : {&yearsSpin_, &monthsSpin_, &daysSpin_}) spin->SetBitmaps(420, 421, 422);
  for (CXPComboBox* box : {&sex_, &group_, &dept_, &applicant_, &inspector_, &verifier_}) box->SetBitmaps(393, 394, 396);
  exit_.SetBitmaps(472, 471, 470);
  ok_.SetBitmaps(469, 468, 467);
  save_.SetBitmaps(469, 468, 467);
  next_.SetBitmaps(469, 468, 467);
  last_.SetBitmaps(466, 465, 464);
  keyboard_.SetBitmaps(274, 274, 274);
  const draw::Bitmap kb = LoadSkinBitmap(274, "Load keyboard Bitmap Error!");
  if (!kb.IsNull()) {
    const ui::Rect r = keyboard_.GetRectInParent();
    keyboard_.MoveWindow(r.left, r.top, kb.Width(), kb.Height());
  }

  SetTexts();
  conn_.Connect();
  FillLists();
  LoadSample();
  BloodTypeText = BloodTypeName(BloodTypeCode, language_);
  UpdateData(false);
  loading_ = false;
  return true;
}

void CPersonInfo::SetTexts() {
  const int l = language_;
  SetWindowText(PersonInfoTitle(l));
  SetDlgItemText(IDC_PI_HEADING, PersonInfoTitle(l));
  const std::pair<int, const char*> labels[] = {
      {IDC_PI_L_SAMPLE_NO, PickText(l, "样本号", "Sample No.", "No. muestra", "No. echantillon", "Номер проби")},
      {IDC_PI_L_NAME, PickText(l, "姓名", "Name", "Nombre", "Nom", "Ім'я")},
      {IDC_PI_L_SEX, PickText(l, "性别", "Sex", "Sexo", "Sexe", "Стать")},
      {IDC_PI_L_AGE, PickText(l, "年龄", "Age", "Edad", "Age", "Вік")},
      {IDC_PI_L_Y, AgeUnitWord(0, l)},
      {IDC_PI_L_M, AgeUnitWord(1, l)},
      {IDC_PI_L_D, AgeUnitWord(2, l)},
      {IDC_PI_L_GROUP, PickText(l, "参考组", "Reference", "Referencia", "Reference", "Реф. група")},
      {IDC_PI_L_MEDICAL_NO, PickText(l, "病历号", "Medical No.", "No. medico", "No. medical", "Мед. номер")},
      {IDC_PI_L_BED_NO, PickText(l, "床号", "Bed No.", "No. cama", "No. lit", "Ліжко")},
      {IDC_PI_L_DEPT, PickText(l, "科室", "Department", "Departamento", "Service", "Відділення")},
      {IDC_PI_L_APPLICANT, PickText(l, "送检者", "Applicant", "Solicitante", "Demandeur", "Заявник")},
      {IDC_PI_L_INSPECTOR, PickText(l, "检验者", "Inspector", "Inspector", "Inspecteur", "Виконавець")},
      {IDC_PI_L_VERIFIER, PickText(l, "审核者", "Verifier", "Verificador", "Verificateur", "Перевірив")},
      {IDC_PI_LAST, PickText(l, "上一个(&L)", "Last(&L)", "Anterior(&L)", "Precedent(&L)", "Попер.(&L)")},
      {IDC_PI_NEXT, PickText(l, "下一个(&N)", "Next(&N)", "Siguiente(&N)", "Suivant(&N)", "Наст.(&N)")},
      {IDC_PI_SAVE, PickText(l, "保存(&S)", "Save(&S)", "Guardar(&S)", "Sauver(&S)", "Зберегти(&S)")},
      {ui::IDOK, PickText(l, "确定(&O)", "OK(&O)", "Aceptar(&O)", "OK(&O)", "Гаразд(&O)")},
      {ui::IDCANCEL, PickText(l, "退出(&X)", "Exit(&X)", "Salir(&X)", "Quitter(&X)", "Вихід(&X)")},
  };
  for (const auto& [id, text] : labels) SetDlgItemText(id, text);

  auto* group = dynamic_cast<ui::ComboBox*>(GetDlgItem(IDC_PI_GROUP));
  if (group) {
    group->ResetContent();
    for (int k = 0; k < kGroupCount; ++k) group->AddString(GroupName(k, l));
    group->SetCurSel(0);
  }
  auto* sex = dynamic_cast<ui::ComboBox*>(GetDlgItem(IDC_PI_SEX));
  if (sex) {
    sex->ResetContent();
    sex->AddString(" ");
    sex->AddString(PickText(l, "男", "Male", "Masculino", "Masculin", "Чоловіча"));
    sex->AddString(PickText(l, "女", "Female", "Femenino", "Feminin", "Жіноча"));
  }
}

void CPersonInfo::FillLists() {
  auto fill = [this](int id, const std::string& sql, const char* column) {
    auto* box = dynamic_cast<ui::ComboBox*>(GetDlgItem(id));
    if (!box) return;
    box->ResetContent();
    RecordsetPtr& rs = conn_.OpenRecordset(sql);
    if (conn_.RecordsetOpen() && HasRows(*rs)) {
      for (rs->MoveFirst(); !rs->IsEOF(); rs->MoveNext()) {
        std::string v;
        if (ReadField(*rs, column, v)) box->AddString(v);
      }
    }
    conn_.CloseRecordset();
  };
  fill(IDC_PI_DEPT, "Select * from Department", "Dept");
  fill(IDC_PI_APPLICANT, "Select Name from Doctor where Sender='Y'", "Name");
  fill(IDC_PI_INSPECTOR, "Select Name from Doctor where Scrutator='Y'", "Name");
  fill(IDC_PI_VERIFIER, "Select Name from Doctor where Checker='Y'", "Name");
}

CPersonInfo::RowInfo CPersonInfo::ReadRow(const std::string& sampleNo) {
  RowInfo r;
  RecordsetPtr& rs = conn_.OpenRecordset(SelectPersonSql(sampleNo, ProfileTestDate));
  if (conn_.RecordsetOpen() && HasRows(*rs)) {
    r.exists = true;
    r.hasResult = !rs->Field("WBC").IsNull();
    ReadField(*rs, "ReferValue", r.referValue);
  }
  conn_.CloseRecordset();
  return r;
}

void CPersonInfo::ClearFields() {
  PatientName.clear();
  PatientSex.clear();
  AgeYears = AgeMonths = AgeDays = 0;
  PatientGroupText = GroupName(0, language_);
  MedicalNoText.clear();
  BedNoText.clear();
  DeptText.clear();
  ApplicantText.clear();
  InspectorText.clear();
  VerifierText.clear();
  UpdateData(false);
}

void CPersonInfo::LoadSample() {
  const bool wasLoading = loading_;
  loading_ = true;
  ClearFields();
  ui::Window* group = GetDlgItem(IDC_PI_GROUP);
  const long long number = SampleNoValue(ProfileSampleNo), caller = SampleNoValue(CallerSampleNo);
  if (OpenMode == 0 && group) group->EnableWindow(number >= caller);

  RecordsetPtr& rs = conn_.OpenRecordset(SelectPersonSql(ProfileSampleNo, ProfileTestDate));
  if (conn_.RecordsetOpen() && HasRows(*rs)) {
    db::Recordset& row = *rs;
    ReadField(row, "Name", PatientName);
    if (ReadField(row, "Sex", PatientSex)) PatientSex = TranslateSex(PatientSex, language_);
    int64_t age = 0;
    std::string unit;
    if (ReadField(row, "Age", age) && ReadField(row, "AgeUnit", unit)) {
      const uint8_t low = static_cast<uint8_t>(age & 0xFF);
      switch (AgeFieldOfUnit(unit)) {
        case 0: AgeYears = low; break;
        case 1: AgeMonths = low; break;
        case 2: AgeDays = low; break;
        default: break;
      }
    }
    if (ReadField(row, "ReferValue", PatientGroupText))
      PatientGroupText = TranslateGroupName(PatientGroupText, language_);
    ReadField(row, "MedicalNo", MedicalNoText);
    ReadField(row, "BedNo", BedNoText);
    ReadField(row, "Dept", DeptText);
    ReadField(row, "Sender", ApplicantText);
    ReadField(row, "Scrutator", InspectorText);
    ReadField(row, "Checker", VerifierText);
    if (OpenMode == 0 && group && number > caller && !row.Field("WBC").IsNull()) group->EnableWindow(false);
    conn_.CloseRecordset();
    UpdateData(false);
  } else {
    conn_.CloseRecordset();
    for (int id : {IDC_PI_SEX, IDC_PI_DEPT, IDC_PI_APPLICANT, IDC_PI_INSPECTOR, IDC_PI_VERIFIER})
      if (auto* box = dynamic_cast<ui::ComboBox*>(GetDlgItem(id))) box->SetCurSel(0);
    FillApplicantFromDept();
    UpdateData(true);
  }
  loading_ = wasLoading;
}

void CPersonInfo::FillApplicantFromDept() {
  auto* dept = dynamic_cast<ui::ComboBox*>(GetDlgItem(IDC_PI_DEPT));
  if (!dept) return;
  const int sel = dept->GetCurSel();
  const std::string text = sel >= 0 ? dept->GetLBText(sel) : dept->GetWindowText();
  RecordsetPtr& rs = conn_.OpenRecordset("Select Name from Doctor where Dept='" + SqlSafeText(text) +
                                         "' and Sender='Y'");
  if (conn_.RecordsetOpen() && HasRows(*rs)) ReadField(*rs, "Name", ApplicantText);
  conn_.CloseRecordset();
  if (auto* app = dynamic_cast<ui::ComboBox*>(GetDlgItem(IDC_PI_APPLICANT))) {
    const int i = app->FindStringExact(-1, ApplicantText);
    if (i >= 0) app->SetCurSel(i);
    else app->SetWindowText(ApplicantText);
  }
}

int CPersonInfo::Message(const std::string& text, unsigned type) {
  // Chinese shows the box with an empty caption; every language ends in the program's box.
  return ui::MessageBox(this, text, "", type);
}

void CPersonInfo::ComputeAge(int* age, std::string* unit) const {
  AgeToStore(AgeYears, AgeMonths, AgeDays, language_, age, unit);
}

int CPersonInfo::ValidateInput() {
  const std::string number = GetDlgItemText(IDC_PI_SAMPLE_NO);
  const SampleNoCheck check = CheckSampleNo(number);
  if (check != SampleNoCheck::Ok) {
    Message(SampleNoCheckText(check, language_), SampleNoCheckIcon(check, language_));
    return 0;
  }
  AgeInput in{GetDlgItemText(IDC_PI_YEARS), GetDlgItemText(IDC_PI_MONTHS), GetDlgItemText(IDC_PI_DAYS)};
  const int ageIds[3] = {IDC_PI_YEARS, IDC_PI_MONTHS, IDC_PI_DAYS};
  std::string* texts[3] = {&in.years, &in.months, &in.days};
  for (int k = 0; k < 3; ++k)
    if (texts[k]->empty()) {
      *texts[k] = "0";
      SetDlgItemText(ageIds[k], "0");
    }
  int y = 0, m = 0, d = 0;
  if (ReadAge(in, &y, &m, &d) != AgeCheck::Ok) {
    Message(AgeCheckText(language_), ui::MB_ICONWARNING);
    return 0;
  }
  const std::pair<int, const char*> lengths[4] = {
      {IDC_PI_DEPT, PickText(language_, "科室最大长度为20!", "The max length of department is 20!",
                             "La longitud maxima del departamento es 20!",
                             "La longueur maximale du service est 20!", "Максимальна довжина відділення – 20!")},
      {IDC_PI_APPLICANT, PickText(language_, "送检者最大长度为20!", "The max length of applicant is 20!",
                                  "La longitud maxima del solicitante es 20!",
                                  "La longueur maximale du demandeur est 20!", "Максимальна довжина заявника – 20!")},
      {IDC_PI_INSPECTOR, PickText(language_, "检验者最大长度为20!", "The max length of inspector is 20!",
                                  "La longitud maxima del inspector es 20!",
                                  "La longueur maximale de l'inspecteur est 20!",
                                  "Максимальна довжина виконавця – 20!")},
      {IDC_PI_VERIFIER, PickText(language_, "审核者最大长度为20!", "The max length of verifier is 20!",
                                 "La longitud maxima del verificador es 20!",
                                 "La longueur maximale du verificateur est 20!",
                                 "Максимальна довжина перевіряючого – 20!")},
  };
  for (const auto& [id, text] : lengths)
    if (ui::Utf8Length(GetDlgItemText(id)) > 20) {
      Message(text, ui::MB_ICONWARNING);
      return 0;
    }
  if (ResultPending) {
    Message(PickText(language_, "正在写入测试数据,请稍候。", "Writing test data,please wait a moment.",
                     "Escribiendo datos de prueba, espere un momento.",
                     "Ecriture des donnees de test, veuillez patienter.", "Запис даних тесту, зачекайте."),
            ui::MB_ICONINFORMATION);
    return 0;
  }
  if (SampleNoEditable == 0 && SampleNoValue(number) != SampleNoValue(CallerSampleNo)) {
    ProfileSaveHold = 1;
    SetTimer(kSaveHoldTimer, kSaveHoldMs);
  }
  const bool wasLoading = loading_;
  loading_ = true;
  UpdateData(true);
  loading_ = wasLoading;
  ProfileSampleNo = StripLeadingZeros(ProfileSampleNo);
  return 1;
}

bool CPersonInfo::SavePatientColumns() {
  PatientColumns p;
  p.sampleNo = ProfileSampleNo;
  p.name = PatientName;
  p.sex = PatientSex;
  ComputeAge(&p.age, &p.ageUnit);
  p.referValue = PatientGroupText;
  p.medicalNo = MedicalNoText;
  p.bedNo = BedNoText;
  p.dept = DeptText;
  p.sender = ApplicantText;
  p.scrutator = InspectorText;
  p.checker = VerifierText;
  const RowInfo row = ReadRow(ProfileSampleNo);
  // A new row goes under the date this screen reads and updates, so a second save finds it
  // (after midnight today's date would start a second row the screen never sees).
  const std::string date = ProfileTestDate.empty() ? TodayText() : ProfileTestDate;
  const std::string sql = row.exists ? PatientUpdateSql(p, ProfileTestDate)
                                     : PatientInsertSql(p, date, NowTimeText(), BloodTypeText);
  return conn_.Execute(sql) == 1;
}

bool CPersonInfo::SaveWithGroup(bool own) {
  const RowInfo row = ReadRow(ProfileSampleNo);
  const bool regroup = row.exists && row.hasResult && row.referValue != PatientGroupText;
  db::Transaction t(conn_.Connection());
  if (!t.Begun() || !SavePatientColumns()) return false;
  if (regroup && !ReflagStoredResult(conn_, ProfileSampleNo, ProfileTestDate, PatientGroupText, PatientGroupIndex).done)
    return false;
  if (!t.Commit()) return false;
  if (regroup && own) ProfileRegrouped = 1;
  return true;
}

namespace {
std::string NotSavedText(int l) {
  return PickText(l, "数据保存失败!", "The data could not be saved!", "No se pudieron guardar los datos!",
                  "Les donnees n'ont pas pu etre sauvegardees!", "Не вдалося зберегти дані!");
}
}  // namespace

void CPersonInfo::OnOkButton() {
  if (SampleNoEditable == 0 && SampleNoValue(GetDlgItemText(IDC_PI_SAMPLE_NO)) != SampleNoValue(CallerSampleNo))
    return;
  if (!ValidateInput()) return;
  if (auto* g = dynamic_cast<ui::ComboBox*>(GetDlgItem(IDC_PI_GROUP))) PatientGroupIndex = std::max(0, g->GetCurSel());
  const bool own = SampleNoValue(ProfileSampleNo) == SampleNoValue(CallerSampleNo);
  const RowInfo row = ReadRow(ProfileSampleNo);
  if (!own) {
    if (row.exists && row.hasResult) {
      DiscardBoardInput = 1;
      const int answer = Message(PickText(language_, "样本已存在，如果重测，新结果将覆盖原结果!",
                                          "Sample existed, if retest, new result will cover previous result!",
                                          "La muestra existe; si se repite, el nuevo resultado sustituira al anterior!",
                                          "L'echantillon existe; en cas de reprise, le nouveau resultat remplacera "
                                          "l'ancien!",
                                          "Проба існує; при повторному аналізі новий результат замінить попередній!"),
                                 ui::MB_OKCANCEL | ui::MB_ICONINFORMATION);
      DiscardBoardInput = 0;
      if (answer != ui::IDOK) {
        RetestConfirmed = 0;
        return;
      }
      RetestConfirmed = 1;
    }
    if (!SaveWithGroup(false)) {
      Message(NotSavedText(language_), ui::MB_ICONWARNING);
      return;
    }
    CallerSampleNo = ProfileSampleNo;
    Close(1);
    return;
  }
  if (!SaveWithGroup(true)) {
    Message(NotSavedText(language_), ui::MB_ICONWARNING);
    return;
  }
  CallerSampleNo = ProfileSampleNo;
  Close(2);
}

void CPersonInfo::OnSaveButton() {
  if (!ValidateInput()) return;
  if (auto* g = dynamic_cast<ui::ComboBox*>(GetDlgItem(IDC_PI_GROUP))) PatientGroupIndex = std::max(0, g->GetCurSel());
  int age = 0;
  std::string unit;
  ComputeAge(&age, &unit);
  const bool own = SampleNoValue(ProfileSampleNo) == SampleNoValue(CallerSampleNo);
  if (!SaveWithGroup(own)) {
    Message(NotSavedText(language_), ui::MB_ICONWARNING);
    return;
  }
  // Only what was saved goes back to the test screen on Exit.
  if (own) {
    SummaryValid = 1;
    SummaryName = PatientName;
    SummarySex = PatientSex;
    SummaryAge = SummaryAgeText(AgeYears, AgeMonths, AgeDays, language_);
    SummaryGroup = PatientGroupText;
  }
  Message(PickText(language_, "数据已保存!", "Data saved!", "Datos guardados!", "Donnees sauvegardees!",
                   "Дані збережено!"),
          ui::MB_ICONINFORMATION);
}

void CPersonInfo::OnCancel() {
  const bool same = SampleNoValue(ProfileSampleNo) == SampleNoValue(CallerSampleNo);
  CallerSampleNo = ProfileSampleNo;
  Close(ProfileRegrouped && same ? 2 : 0);
}

void CPersonInfo::Close(int result) {
  conn_.Disconnect();
  EndDialog(result);
}

void CPersonInfo::SetSampleNoText(const std::string& text) {
  ProfileSampleNo = text;
  SetDlgItemText(IDC_PI_SAMPLE_NO, text);  // loads that sample
}

void CPersonInfo::OnStep(bool next) {
  std::string n;
  if (StepSampleNo(GetDlgItemText(IDC_PI_SAMPLE_NO), next, &n)) SetSampleNoText(n);
}

void CPersonInfo::OnEnterKey() {
  if (ui::Window::GetFocus() != GetDlgItem(IDC_PI_SAMPLE_NO)) return;
  if (LisLinkState.Bidirectional == 0 || LisLinkState.LinkKind == 0) return;
  if (!HasLisOrderQuerySender()) {
    Message(LisQueryUnavailableText(language_), ui::MB_ICONINFORMATION);
    return;
  }
  if (LisLinkState.LisConnected == 0) return;
  LisLinkState.LisQueryMode = 1;
  SendLisOrderQuery(GetDlgItemText(IDC_PI_SAMPLE_NO));
}

void CPersonInfo::OnLisProfile() {
  const SampleProfileRecord r = SharedSampleProfile();
  if (r.sampleNo != GetDlgItemText(IDC_PI_SAMPLE_NO)) return;
  ClearFields();
  PatientName = r.name;
  PatientGroupText = r.group;
  MedicalNoText = r.medicalNo;
  BedNoText = r.bedNo;
  DeptText = r.dept;
  ApplicantText = r.applicant;
  InspectorText = r.inspector;
  VerifierText = r.verifier;
  PatientSex = r.sex;
  const uint8_t age = static_cast<uint8_t>(r.age & 0xFF);
  switch (AgeFieldOfUnit(r.ageUnit)) {
    case 0: AgeYears = age; break;
    case 1: AgeMonths = age; break;
    case 2: AgeDays = age; break;
    default: break;
  }
  const bool wasLoading = loading_;
  loading_ = true;
  UpdateData(false);
  loading_ = wasLoading;
}

bool CPersonInfo::OnCommand(int id, int code, ui::Window* control) {
  if (id == IDC_PI_SAMPLE_NO && code == ui::EN_CHANGE) {
    if (!loading_) {
      ProfileSampleNo = GetDlgItemText(IDC_PI_SAMPLE_NO);
      LoadSample();
    }
    return true;
  }
  if (id == IDC_PI_DEPT && code == ui::CBN_SELCHANGE) {
    FillApplicantFromDept();
    return true;
  }
  if (code != ui::BN_CLICKED) return ui::Dialog::OnCommand(id, code, control);
  switch (id) {
    case ui::IDOK: OnOkButton(); return true;
    case IDC_PI_SAVE: OnSaveButton(); return true;
    case IDC_PI_LAST: OnStep(false); return true;
    case IDC_PI_NEXT: OnStep(true); return true;
    case ui::IDCANCEL: OnCancel(); return true;
    case IDC_PI_KEYBOARD: ShowOnScreenKeyboard(); return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

ui::LResult CPersonInfo::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  switch (msg) {
    case WM_PROFILE_IDLE:
      if (ui::Window* e = GetDlgItem(IDC_PI_SAMPLE_NO)) e->EnableWindow(true);
      SampleNoEditable = 1;
      ProfileSaveHold = 0;
      return 1;
    case WM_PROFILE_COUNT_STARTED: {
      SampleNoEditable = 0;
      BloodTypeCode = static_cast<unsigned>(w);
      BloodTypeText = BloodTypeName(BloodTypeCode, language_);
      const char* text = reinterpret_cast<const char*>(l);
      CallerSampleNo = text != nullptr ? text : "";
      if (ui::Window* e = GetDlgItem(IDC_PI_SAMPLE_NO)) e->EnableWindow(false);
      SetSampleNoText(CallerSampleNo);
      return 1;
    }
    case WM_LIS_PROFILE: OnLisProfile(); return 1;
  }
  return ui::Dialog::WindowProc(msg, w, l);
}

bool CPersonInfo::PreTranslateMessage(ui::Message& msg) {
  if (msg.message == ui::WM_MOUSEMOVE) {
    if (!g_pointerSeen) {
      g_pointerSeen = true;
      g_lastPointer = msg.pt;
    } else if (msg.pt.x != g_lastPointer.x || msg.pt.y != g_lastPointer.y) {
      g_lastPointer = msg.pt;
      if (ui::Window* parent = GetOwner() ? GetOwner() : GetParent())
        parent->PostMessage(WM_PROFILE_ACTIVITY, 0, reinterpret_cast<ui::LParam>(this));
    }
  }
  if (msg.message == ui::WM_KEYDOWN) {
    if (msg.wParam == ui::VK_ESCAPE) return true;
    if (msg.wParam == ui::VK_RETURN) {
      OnEnterKey();
      return true;
    }
  }
  return ui::Dialog::PreTranslateMessage(msg);
}

void CPersonInfo::OnTimer(uintptr_t id) {
  if (id == kSaveHoldTimer) {
    KillTimer(kSaveHoldTimer);
    ProfileSaveHold = 0;
  }
}

bool CPersonInfo::OnEraseBkgnd(draw::DC& dc) {
  const ui::Rect rc = GetClientRect();
  ui::Rect frame = rc;
  if (ui::Window* f = GetDlgItem(IDC_PI_FRAME)) frame = f->GetRectInParent();
  dc.FillSolidRect(rc, kBandFirst);
  const draw::Bitmap band = LoadSkinBitmap(463, "Load title band Bitmap Error!");
  if (!band.IsNull())
    dc.StretchBlt(0, 0, rc.Width(), frame.top, band, 0, 0, band.Width(), band.Height());
  else
    dc.FillSolidRect(ui::Rect(0, 0, rc.right, frame.top), kDialogFrameColor);
  const int h = frame.Height() / 9;
  for (int i = 0; i < 9; ++i) {
    const int top = frame.top + i * h;
    const int bottom = i == 8 ? frame.bottom : top + h;
    dc.FillSolidRect(ui::Rect(frame.left, top, frame.right, bottom), i % 2 == 0 ? kBandFirst : kBandSecond);
  }
  DrawDialogFrame(dc, this, kDialogFrameWidth);
  return true;
}

const draw::Brush* CPersonInfo::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  static const draw::Brush kWhite = draw::Brush::Solid(draw::RGB(255, 255, 255));
  if (ctlType == ui::CTLCOLOR_STATIC) {
    const bool heading = control && control->GetDlgCtrlID() == IDC_PI_HEADING;
    return TransparentLabel(dc, heading ? draw::RGB(255, 255, 255) : kTextColour);
  }
  if (ctlType == ui::CTLCOLOR_EDIT) {
    dc.SetTextColor(kTextColour);
    return &kWhite;
  }
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

namespace measurement {

ProfileOutcome ProfileOutcomeOf(const CPersonInfo& d, int result) {
  ProfileOutcome o;
  o.result = result;
  o.callerSampleNo = d.CallerSampleNo;
  o.patientGroupIndex = d.PatientGroupIndex;
  o.retestConfirmed = d.RetestConfirmed != 0;
  o.summaryValid = d.SummaryValid != 0;
  o.summaryName = d.SummaryName;
  o.summarySex = d.SummarySex;
  o.summaryAge = d.SummaryAge;
  o.summaryGroup = d.SummaryGroup;
  o.name = d.PatientName;
  o.sex = d.PatientSex;
  o.years = d.AgeYears;
  o.months = d.AgeMonths;
  o.days = d.AgeDays;
  o.groupText = d.PatientGroupText;
  o.medicalNo = d.MedicalNoText;
  o.bedNo = d.BedNoText;
  o.dept = d.DeptText;
  o.applicant = d.ApplicantText;
  o.inspector = d.InspectorText;
  o.verifier = d.VerifierText;
  o.regrouped = ProfileRegrouped != 0;
  return o;
}

ProfileApplied RunProfileEditing(CADOConn& conn, ProfileScreenState& s, ui::Window* testScreen, unsigned bloodMode,
                                 bool ready, const std::string& testDate, int language) {
  CPersonInfo dlg(0, testScreen, bloodMode, ready ? 1 : 0);
  dlg.CallerSampleNo = s.shownSampleNo;
  dlg.ProfileTestDate = testDate;
  int r = dlg.DoModal();
  if (r < 0 || r > 2) r = -1;
  return ApplyProfileOutcome(conn, s, ProfileOutcomeOf(dlg, r), testDate, language);
}

}  // namespace measurement
