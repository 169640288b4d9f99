#include "measurement/patient/set_user_value.h"

#include <cmath>

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

ui::DialogTemplate SetUserValueTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(140, 110);
  t.Add("Button", IDC_SUV_FRAME, "", 6, 6, 128, 70, V | ui::BS_GROUPBOX);
  t.Add("Static", -1, "LYM%", 16, 18, 40, 12, V);
  t.Add("Static", -1, "MID%", 16, 36, 40, 12, V);
  t.Add("Static", -1, "GRA%", 16, 54, 40, 12, V);
  t.Add("Edit", IDC_SUV_LYM, "", 60, 16, 60, 14, V | TS | ui::WS_BORDER | ui::ES_AUTOHSCROLL);
  t.Add("Edit", IDC_SUV_MID, "", 60, 34, 60, 14, V | TS | ui::WS_BORDER | ui::ES_AUTOHSCROLL);
  t.Add("Edit", IDC_SUV_GRA, "", 60, 52, 60, 14, V | TS | ui::WS_BORDER | ui::ES_AUTOHSCROLL);
  t.Add("Button", IDC_SUV_KEYBOARD, "", 6, 86, 24, 13, V | TS | ui::BS_OWNERDRAW);
  t.Add("Button", ui::IDOK, "OK", 34, 84, 46, 18, V | TS);
  t.Add("Button", ui::IDCANCEL, "Cancel", 86, 84, 46, 18, V | TS);
  return t;
}

namespace measurement {
namespace {
float Rest(float a, float b) {
  const float r = 100.0f - a - b;
  return r > 0.0f ? r : 0.0f;
}
}  // namespace

void FillPercentagesOnLeave(int field, float v[3]) {
  float& lym = v[0];
  float& mid = v[1];
  float& gra = v[2];
  if (field == 0) {
    if (lym > 0 && mid > 0 && gra == 0) gra = Rest(lym, mid);
    if (gra > 0 && mid == 0) mid = Rest(lym, gra);
  } else if (field == 1) {
    if (mid > 0 && lym > 0 && gra == 0) gra = Rest(lym, mid);
    if (gra > 0 && lym == 0) lym = Rest(mid, gra);
  } else if (field == 2) {
    if (gra > 0 && mid > 0 && lym == 0) lym = Rest(gra, mid);
    if (lym > 0 && mid == 0) mid = Rest(lym, gra);
  }
}

bool AcceptPercentages(float v[3]) {
  const int missing = (v[0] == 0) + (v[1] == 0) + (v[2] == 0);
  if (missing == 1) {
    if (v[0] == 0) v[0] = 100.0f - v[1] - v[2];
    else if (v[1] == 0) v[1] = 100.0f - v[0] - v[2];
    else v[2] = 100.0f - v[0] - v[1];
  }
  return std::fabs(v[0] + v[1] + v[2] - 100.0f) < 0.0001f && v[0] >= 0 && v[1] >= 0 && v[2] >= 0;
}

const char* PercentSumText(int l) {
  return PickText(l, "输入无效,分类百分比之和不等于100%",
                  "Inputs invalid, sum of the classified percentage is not equal to 100% ",
                  "Entra a invalid, suma del porcentaje clasificado no es igual a 100%",
                  "Entre l'invalide, somme du pourcentage classifié n'est pas égal à 100%",
                  "Введене число неправильне. Сума має бути еквівалентна 100%");
}

bool EnterDifferentialPercentages(ui::Window* parent, float* lym, float* mid, float* gra) {
  CSetUserValue dlg(parent);
  if (dlg.DoModal() != ui::IDOK) return false;
  *lym = dlg.m_resultLym;
  *mid = dlg.m_resultMid;
  *gra = dlg.m_resultGra;
  return true;
}

}  // namespace measurement

CSetUserValue::CSetUserValue(ui::Window* parent) : ui::Dialog(IDD_SET_USER_VALUE, parent) {
  if (!ui::Resources::FindDialog(IDD_SET_USER_VALUE)) ui::Resources::AddDialog(IDD_SET_USER_VALUE, SetUserValueTemplate());
}

void CSetUserValue::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_SUV_FRAME, frame_);
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, ui::IDCANCEL, cancel_);
  ui::ExchangeControl(dx, IDC_SUV_KEYBOARD, keyboard_);
  ui::ExchangeText(dx, IDC_SUV_LYM, m_lymPercent);
  ui::ValidateRange(dx, m_lymPercent, 0.0f, 100.0f);
  ui::ExchangeText(dx, IDC_SUV_MID, m_midPercent);
  ui::ValidateRange(dx, m_midPercent, 0.0f, 100.0f);
  ui::ExchangeText(dx, IDC_SUV_GRA, m_graPercent);
  ui::ValidateRange(dx, m_graPercent, 0.0f, 100.0f);
}

bool CSetUserValue::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  const int l = AppSettings.LanguageIndex;
  ok_.SetWindowText(PickText(l, "确定", "OK", "Aceptar", "OK", "OK"));
  cancel_.SetWindowText(PickText(l, "取消", "Cancel", "Cancelar", "Annuler", "Відміна"));
  ok_.SetBitmaps(399, 400, 487);
  cancel_.SetBitmaps(403, 404, 486);
  keyboard_.SetKeyBitmap(ui::Resources::LoadBitmap(274));
  keyboard_.SizeToContent();
  m_resultLym = m_resultMid = m_resultGra = 0.0f;
  return true;
}

bool CSetUserValue::OnCommand(int id, int code, ui::Window* control) {
  if (id == IDC_SUV_KEYBOARD && code == ui::BN_CLICKED) {
    ShowOnScreenKeyboard();
    return true;
  }
  if (code == ui::EN_KILLFOCUS && (id == IDC_SUV_LYM || id == IDC_SUV_MID || id == IDC_SUV_GRA)) {
    if (UpdateData(true)) {
      float v[3] = {m_lymPercent, m_midPercent, m_graPercent};
      measurement::FillPercentagesOnLeave(id == IDC_SUV_LYM ? 0 : id == IDC_SUV_MID ? 1 : 2, v);
      m_lymPercent = v[0];
      m_midPercent = v[1];
      m_graPercent = v[2];
      UpdateData(false);
    }
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

void CSetUserValue::OnOK() {
  if (!UpdateData(true)) return;
  float v[3] = {m_lymPercent, m_midPercent, m_graPercent};
  if (!measurement::AcceptPercentages(v)) {
    ui::MessageBox(this, measurement::PercentSumText(AppSettings.LanguageIndex), "", ui::MB_OK);
    return;
  }
  m_resultLym = v[0];
  m_resultMid = v[1];
  m_resultGra = v[2];
  EndDialog(ui::IDOK);
}

bool CSetUserValue::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

const draw::Brush* CSetUserValue::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}
