#include "history/history_graphics.h"
#include "core/sys_setting.h"

#include <algorithm>

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/param_order.h"
#include "core/value_format.h"
#include "history/history_globals.h"
#include "history/kept_recompute.h"
#include "history/view_navigation.h"
#include "measurement/count_settings.h"
#include "measurement/patient/profile_edit.h"
#include "measurement/zentil_call.h"
#include "platform/ui/app.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "printing/histogram_print.h"

using namespace history;

const int kViewValueIds[20] = {1326, 1327, 1328, 1329, 1330, 1331, 1332, 1333, 1334, 1335,
                               1336, 1337, 1338, 1339, 1340, 1167, 1168, 1169, 1171, 1341};
const int kViewMarkIds[20] = {1345, 1346, 1347, 1348, 1349, 1350, 1351, 1352, 1353, 1354,
                              1355, 1356, 1357, 1358, 1359, 1360, 1361, 1362, 1363, 1364};
const int kViewUnitIds[20] = {1423, 1424, 1425, 1426, 1427, 1428, 1429, 1430, 1431, 1432,
                              1433, 1434, 1435, 1436, 1437, 1438, 1439, 1440, 1441, 1442};
const int kViewLeadIds[20] = {1637, 1651, 1652, 1653, 1654, 1655, 1656, 1638, -1,   -1,
                              -1,   -1,   -1,   -1,   -1,   1639, 1096, 1097, 1098, 2146};
const int kViewFlagIds[6] = {1842, 1843, 1844, 1845, 1840, 1841};

namespace {

const int kRowY[20] = {32, 41, 50, 59, 68, 77, 86, 95, 104, 114, 122, 132, 141, 150, 159, 168, 177, 186, 195, 205};
const int kFlagY[6] = {41, 50, 59, 68, 168, 177};
const char* const kRowNames[20] = {"WBC", "LYM#", "MID#", "GRA#", "LYM%", "MID%", "GRA%", "RBC", "HGB", "HCT",
                                   "MCV", "MCH", "MCHC", "RDW-SD", "RDW-CV", "PLT", "MPV", "PDW", "PCT", "P-LCR "};
const int kChartIds[3] = {1056, 1057, 1048};
const draw::Color kEven = draw::RGB(205, 213, 215), kOdd = draw::RGB(190, 198, 201),
                  kHeader = draw::RGB(191, 201, 203), kFlagColour = draw::RGB(215, 125, 10);

struct Caption {
  int id;
  const char* t[5];
};
const Caption kCaptions[] = {
    {1562, {"编号:", "No.:", "No.:", "No.:", "Номер:"}},
    {1591, {"时间:", "Time:", "Hora:", "Heure:", "Час:"}},
    {1566, {"血类型:", "Type:", "Tipo:", "Type:", "Тип:"}},
    {1570, {"参考值:", "Reference:", "Referencia:", "Reference:", "Норми:"}},
    {1592, {"位置/总数:", "Cur/Total:", "Act/Total:", "Position:", "Положення:"}},
    {1563, {"姓名:", "Name:", "Nombre:", "Nom:", "Ім'я:"}},
    {1564, {"性别:", "Sex:", "Sexo:", "Sexe:", "Стать:"}},
    {1565, {"年龄:", "Age:", "Edad:", "Age:", "Вік:"}},
    {1571, {"病历号:", "Medical No.:", "Medico No.:", "Medical No:", "Медичний №:"}},
    {1572, {"床号:", "Bed No.:", "Cama No.:", "No de Lit:", "Номер палати:"}},
    {1573, {"科室:", "Dept.:", "Dept.:", "Dept.:", "Відділ:"}},
    {1574, {"送检者:", "Applicant:", "Solicitante:", "Traitant:", "Лікар:"}},
    {1593, {"检验者:", "Inspector:", "Inspector:", "Inspecteur:", "контролер:"}},
    {1576, {"审核者:", "Verifier:", "Verificante:", "Controleur:", "Контролер:"}},
    {IDC_HG_LAST, {"上项(&B)", "Last(&L)", "ult\nimo(&L)", "Dernier", "Попередній(&B)"}},
    {IDC_HG_NEXT, {"下项(&N)", "Next(&N)", "Sigui\nente(&N)", "Suivant", "Наступний(&N)"}},
    {IDC_HG_ADJUST, {"调整(&G)", "Adjust(&J)", "Aju\nste(&J)", "Ajuster", "Налаштувати(&G)"}},
    {IDC_HG_PROFILE, {"资料(&D)", "Profi.(&D)", "Perfil(&D)", "Profi.", "Профіль(&D)"}},
    {IDC_HG_PRINT, {"打印(&P)", "Print(&P)", "Impr\nima(&P)", "Imprim\ner", "Печать(&P)"}},
    {ui::IDCANCEL, {"退出(&X)", "Exit(&X)", "Salir(&X)", "Quitter", "Вихід(&X)"}},
};

}  // namespace

ui::DialogTemplate HistoryGraphicsTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Button", 1935, "", 4, 3, 314, 28, V | ui::BS_GROUPBOX);
  t.Add("Button", 1934, "", 4, 30, 168, 185, V | ui::BS_GROUPBOX);
  struct H {
    int caption, value, cx, vx, y, vw;
  };
  // The right column starts 10 units further left than the others' spacing would put it: the
  // date and clock time ("2026-12-25 23:59:58") need its whole width on one line.
  const H header[] = {{1562, IDC_HG_SAMPLE, 5, 46, 4, 55},  {1566, IDC_HG_BLOOD, 105, 136, 4, 75},
                      {1591, IDC_HG_TIME, 214, 240, 4, 76}, {1570, IDC_HG_GROUP, 5, 46, 12, 55},
                      {1563, IDC_HG_NAME, 105, 136, 12, 75}, {1564, IDC_HG_SEX, 214, 241, 12, 70},
                      {1565, IDC_HG_AGE, 5, 46, 21, 55},    {1573, IDC_HG_DEPT, 105, 136, 21, 75},
                      {1592, IDC_HG_POSITION, 214, 260, 21, 54}};
  for (const H& h : header) {
    t.Add("Static", h.caption, "", h.cx, h.y, h.vx - h.cx - 1, 8, V);
    t.Add("Static", h.value, "", h.vx, h.y, h.vw, 8, V);
  }
  const int hidden[5][2] = {{1571, 1069}, {1572, 1070}, {1574, 1010}, {1593, 1011}, {1576, 1012}};
  for (int i = 0; i < 5; ++i) {
    t.Add("Static", hidden[i][0], "", 213, 53 + i * 9, 16, 8, 0);
    t.Add("Static", hidden[i][1], "", 230, 53 + i * 9, 16, 8, 0);
  }
  t.Add("Static", IDC_HG_WARNING, "", 307, 18, 8, 11, 0);
  for (int r = 0; r < 20; ++r) {
    const int y = kRowY[r];
    t.Add("Static", r == 0 ? IDC_HG_WBC_NAME : -1, kRowNames[r], 6, y, 32, 9, V | (r == 0 ? ui::SS_NOTIFY : 0));
    if (kViewLeadIds[r] > 0) t.Add("Static", kViewLeadIds[r], "", 39, y, 9, 9, V);
    t.Add("Static", kViewValueIds[r], "", 49, y, 30, 9, V);
    t.Add("Static", kViewUnitIds[r], "", 80, y, 41, 9, V);
    t.Add("Static", kViewMarkIds[r], "", 122, y, 30, 9, V);
  }
  for (int i = 0; i < 6; ++i) t.Add("Static", kViewFlagIds[i], "", 155, kFlagY[i], 16, 9, V);
  t.Add("Static", 1056, "", 172, 31, 145, 60, V);
  t.Add("Static", 1057, "", 172, 92, 145, 63, V);
  t.Add("Static", 1048, "", 172, 156, 145, 58, V);
  const int buttons[5] = {IDC_HG_LAST, IDC_HG_NEXT, IDC_HG_PROFILE, IDC_HG_PRINT, ui::IDCANCEL};
  for (int i = 0; i < 5; ++i) t.Add("Button", buttons[i], "", 5 + i * 62, 215, 62, 25, V | TS);
  t.Add("Button", IDC_HG_ADJUST, "", 164, 206, 6, 6, ui::WS_DISABLED);
  return t;
}

CHistoryGraphics::CHistoryGraphics(ui::Window* parent) : ui::Dialog(IDD_HISTORY_GRAPHICS, parent) {
  if (!ui::Resources::FindDialog(IDD_HISTORY_GRAPHICS))
    ui::Resources::AddDialog(IDD_HISTORY_GRAPHICS, HistoryGraphicsTemplate());
  std::fill(PrintItemSelection, PrintItemSelection + 20, uint8_t{1});
  ShownResultTexts.warning.clear();
  ShownResultTexts.unitName.clear();
}

void CHistoryGraphics::DoDataExchange(ui::DataExchange& dx) {
  for (int r = 0; r < 20; ++r) {
    ui::ExchangeControl(dx, kViewValueIds[r], values_[r]);
    ui::ExchangeControl(dx, kViewMarkIds[r], marks_[r]);
    ui::ExchangeControl(dx, kViewUnitIds[r], units_[r]);
    if (kViewLeadIds[r] > 0) ui::ExchangeControl(dx, kViewLeadIds[r], leads_[r]);
  }
  for (int i = 0; i < 6; ++i) ui::ExchangeControl(dx, kViewFlagIds[i], flags_[i]);
  ui::ExchangeControl(dx, 1935, headerFrame_);
  ui::ExchangeControl(dx, 1934, resultFrame_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, IDC_HG_PRINT, print_);
  ui::ExchangeControl(dx, IDC_HG_PROFILE, profile_);
  ui::ExchangeControl(dx, IDC_HG_ADJUST, adjust_);
  ui::ExchangeControl(dx, IDC_HG_LAST, last_);
  ui::ExchangeControl(dx, IDC_HG_NEXT, next_);
}

void CHistoryGraphics::ApplyLanguageTexts() {
  const int l = std::min<int>(AppSettings.LanguageIndex, 4);
  SetWindowText(PickText(l, "样本测试结果", "Test Result", "Resultados de test", "Resultat de test", "Результат тесту"));
  for (const Caption& c : kCaptions) SetDlgItemText(c.id, c.t[l < 0 ? 1 : l]);
}

void CHistoryGraphics::SetLabel(int id, const std::string& text) { SetDlgItemText(id, text); }

void CHistoryGraphics::OpenDay(const std::string& date) {
  day_ = db_.OpenRecordset(DaySql(m_sortStyle, date));
  m_dayCount = day_->IsOpen() ? day_->RecordCount() : 0;
}

bool CHistoryGraphics::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  ui::RemoveMouseMessages(this);
  for (int c = 0; c < 3; ++c) {
    graphs_[c].CreateInPlace(static_cast<unsigned>(kChartIds[c]), this);
    graphs_[c].CreateChart(c);
  }
  ShownResultTexts.refText = " , , , , , , , , , , , , , , , , , , , , ";
  toolTip_.Create(this);
  // The count time the print-outs re-run the library with, so the view and the print-outs agree.
  wbcCountTime_ = HistogramCountTimeSetting(db_);
  int later = 0;
  {
    RecordsetPtr& rs =
        db_.OpenRecordset("select * from Person where TestDate > '" + SqlSafeText(HistorySelectedTestDate) + "'");
    if (db_.RecordsetOpen()) later = rs->RecordCount();
    db_.CloseRecordset();
  }
  OpenDay(HistorySelectedTestDate);
  // The chosen row; when it is gone (deleted meanwhile) the day's first row, and without any
  // row of the day the screen closes: the walk never reads past the end.
  bool found = false;
  if (day_->IsOpen() && m_dayCount > 0) {
    day_->MoveFirst();
    while (!day_->IsEOF()) {
      std::string no, date;
      ReadField(*day_, "SampleNo", no);
      ReadField(*day_, "TestDate", date);
      if (no == m_sampleNo && date == HistorySelectedTestDate) {
        found = true;
        break;
      }
      day_->MoveNext();
    }
    if (!found) day_->MoveFirst();
  }
  if (m_dayCount == 0) {
    rowMissing_ = true;
    EndDialog(ui::IDCANCEL);
    return true;
  }
  rowMissing_ = !found;
  m_dayPosition = day_->AbsolutePosition();
  m_position = m_totalCount - m_dayCount - later + m_dayPosition;
  for (int i = 0; i < 20; ++i) ShownResultUnits[i] = kDefaultUnits[i];
  {
    const SysSettingRow row = LoadSysSetting(db_).row;
    TakeSetting(row.UnitName, ShownResultTexts.unitName);
    TakeSetting(row.IsOpenAjustHistogram, adjustSwitch_);
  }
  printSetup_ = ReadPrintSetup(db_);
  FillResultView();
  LoadHistograms();
  {
    RecordsetPtr& items = db_.OpenRecordset("select * from PrintItemsSet where IsDefault = true");
    if (db_.RecordsetOpen() && HasRows(*items)) {
      for (int i = 0; i < 20; ++i) {
        int v = 0;
        ReadField(*items, 2 + i, v);
        PrintItemSelection[i] = v == 1 ? 1 : 0;
      }
      ReorderParamBytesForDisplay(PrintItemSelection);
    }
    db_.CloseRecordset();
  }
  headerFrame_.SetPanelColor(kHeader);
  resultFrame_.SetBands(true, 20);
  last_.SetBitmaps(434, 433, 431);
  for (CXPButton* b : {&next_, &profile_, &adjust_, &print_}) b->SetBitmaps(437, 436, 435);
  exit_.SetBitmaps(432, 439, 438);
  ApplyLanguageTexts();
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  for (int r = 0; r < 20; ++r) {
    const draw::Color c = r % 2 == 0 ? kEven : kOdd;
    values_[r].SetBkColor(c);
    marks_[r].SetBkColor(c);
    units_[r].SetBkColor(c);
    if (kViewLeadIds[r] > 0) leads_[r].SetBkColor(c);
  }
  for (int i = 0; i < 6; ++i) flags_[i].textColour = kFlagColour;
  return true;
}

void CHistoryGraphics::FillResultView() {
  const int l = AppSettings.LanguageIndex;
  row_ = ReadViewRow(*day_, l);
  SetLabel(IDC_HG_POSITION, StrPrintf("%d/%d", m_position, m_totalCount));
  SetLabel(IDC_HG_SAMPLE, row_.sampleNo);
  SetLabel(IDC_HG_TIME, row_.dateTime);
  SetLabel(IDC_HG_NAME, row_.name);
  SetLabel(IDC_HG_SEX, row_.sex);
  SetLabel(IDC_HG_AGE, row_.age);
  SetLabel(IDC_HG_BLOOD, row_.bloodType);
  SetLabel(IDC_HG_GROUP, row_.referValue);
  SetLabel(IDC_HG_DEPT, row_.dept);
  SetLabel(1069, row_.medicalNo);
  SetLabel(1070, row_.bedNo);
  SetLabel(1010, row_.sender);
  SetLabel(1011, row_.scrutator);
  SetLabel(1012, row_.checker);
  SetLabel(IDC_HG_WARNING, row_.warning);
  HistorySelectedTestDate = row_.testDate;
  ShownTexts& t = ShownResultTexts;
  t.sampleNo = row_.sampleNo;
  t.dateTime = row_.dateTime;
  t.name = row_.name;
  t.sex = row_.sex;
  t.age = row_.age;
  t.bloodType = row_.bloodType;
  t.referenceGroup = row_.referValue;
  t.medicalNo = row_.medicalNo;
  t.bedNo = row_.bedNo;
  t.dept = row_.dept;
  t.sender = row_.sender;
  t.scrutator = row_.scrutator;
  t.checker = row_.checker;
  t.warning = row_.warning;
  t.refText = row_.refText;
  for (int r = 0; r < 20; ++r) {
    ShownResultValues[r] = row_.values[r].value;
    ShownResultMarks[r] = row_.values[r].mark;
    ShownResultUnits[r] = row_.units[r];
    SetLabel(kViewValueIds[r], row_.values[r].value);
    SetLabel(kViewMarkIds[r], row_.values[r].mark);
    SetLabel(kViewUnitIds[r], row_.units[r]);
    if (kViewLeadIds[r] > 0) SetLabel(kViewLeadIds[r], row_.values[r].lead);
  }
  for (int i = 0; i < 6; ++i) SetLabel(kViewFlagIds[i], row_.flags[i] ? kFlagCodes[i] : "");
  adjust_.EnableWindow(row_.adjustEnabled);
  // A name too long for its label is shown whole in a tip while the pointer is over it.
  toolTip_.RemoveTool(IDC_HG_NAME);
  toolTip_.AddTool(IDC_HG_NAME, {row_.name}, kEven, draw::RGB(66, 85, 92));
  nameTipWanted_ = measurement::IsLongName(row_.name);
  normal_ = measurement::LoadNormalLimits(db_, row_.referenceGroup);
  panic_ = measurement::LoadPathologyLimits(db_, row_.referenceGroup);
  std::copy(normal_.pairs, normal_.pairs + 40, NormalLimitPairs);
  Invalidate(true);
}

void CHistoryGraphics::LoadHistograms() {
  auto load = [this] {
    return LoadStoredHistograms(compute_, row_, db_, AppSettings.ProgramFolder, wbcCountTime_, normal_, panic_,
                                adjustSwitch_ != 0, AppSettings.LanguageIndex);
  };
  LoadOutcome o = load();
  // A count stored while the library could not be used is computed as soon as it is shown with
  // the library there, and the row is shown again as the count would have stored it.
  // A computation that fails with the library there (no raw record, the row refused) is told;
  // the row stays as it was.
  const KeptRecompute kept =
      o != LoadOutcome::LibraryFailed && row_.keptForComputation
          ? RecomputeKeptResult(db_, AppSettings.ProgramFolder, row_.sampleNo, row_.testDate, AppSettings.LanguageIndex)
          : KeptRecompute::NotKept;
  if (kept == KeptRecompute::Recomputed) {
    m_dataSaved = 1;
    OpenDay(row_.testDate);
    if (day_->IsOpen() && day_->SetAbsolutePosition(m_dayPosition)) FillResultView();
    o = load();
    if (const std::string notice = KeptNotHandedOnText(db_, AppSettings.LanguageIndex); !notice.empty())
      ui::MessageBox(this, notice, "", ui::MB_ICONINFORMATION);
  } else if (const std::string failure = KeptRecomputeFailureText(kept, AppSettings.LanguageIndex); !failure.empty()) {
    ui::MessageBox(this, failure, "", ui::MB_ICONERROR);
  }
  if (o == LoadOutcome::LibraryFailed) ui::MessageBox(this, measurement::kZentilLoadFailedText, "", ui::MB_ICONERROR);
  ShowCharts();
}

void CHistoryGraphics::ShowCharts() {
  static const unsigned char kZero[256] = {};
  const float* m = compute_.markers;
  for (int c = 0; c < 3; ++c) {
    if (!graphs_[c].IsWindow()) continue;
    graphs_[c].SetHistogram(c, compute_.computed ? compute_.curves[c] : kZero,
                            compute_.computed ? compute_.firstBins[c] : 0);
  }
  if (graphs_[0].IsWindow()) {
    graphs_[0].SetMarkers(false, m[0], m[1], m[2]);
    graphs_[1].SetMarkers(true, m[4], m[5], 147.0);
    graphs_[2].SetMarkers(true, m[6], m[7], 147.0);
    for (auto& g : graphs_) g.RedrawChart();
  }
}

bool CHistoryGraphics::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

const draw::Brush* CHistoryGraphics::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) {
    const int id = control ? control->GetDlgCtrlID() : 0;
    const bool flag = id == IDC_HG_WARNING || std::find(kViewFlagIds, kViewFlagIds + 6, id) != kViewFlagIds + 6;
    return TransparentLabel(dc, flag ? kFlagColour : draw::RGB(66, 85, 92));
  }
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

void CHistoryGraphics::OnMouseMove(unsigned flags, ui::Point pt) {
  if (nameTipWanted_) {
    ui::Window* name = GetDlgItem(IDC_HG_NAME);
    if (name && name->GetRectInParent().Contains(pt)) toolTip_.ShowTip(IDC_HG_NAME);
    else toolTip_.HideTip(IDC_HG_NAME);
  }
  ui::Dialog::OnMouseMove(flags, pt);
}

void CHistoryGraphics::OnCancel() {
  // A report still going out is let finish before the screen goes.
  if (printThread_.IsRunning()) printThread_.Join();
  printHint_.Hide();
  db_.Disconnect();
  EndDialog(0);
}
