#include "tools/gallery/demo_dialog.h"

#include "platform/ui/controls/controls.h"
#include "platform/ui/resources.h"
#include "platform/ui/window_class.h"

namespace ui::demo {

namespace {

const char* const kTexts[][5] = {
    {"控件演示", "Control demonstration", "Demostración de controles", "Démonstration des contrôles", "Демонстрація елементів"},
    {"确定", "OK", "Aceptar", "OK", "Гаразд"},
    {"取消", "Cancel", "Cancelar", "Annuler", "Скасувати"},
    {"打印", "Print", "Imprimir", "Imprimer", "Друк"},
    {"自动打印", "Auto print", "Impresión automática", "Impression auto", "Автодрук"},
    {"三态", "Three states", "Tres estados", "Trois états", "Три стани"},
    {"全血", "Whole blood", "Sangre total", "Sang total", "Цільна кров"},
    {"末梢血", "Peripheral", "Periférica", "Périphérique", "Периферична"},
    {"预稀释", "Prediluted", "Prediluida", "Prédiluée", "Попередньо розведена"},
    {"血液模式", "Blood mode", "Modo de sangre", "Mode sang", "Режим крові"},
    {"样本", "Sample", "Muestra", "Échantillon", "Зразок"},
    {"质控", "QC", "Control de Calidad", "CQ", "Контроль якості"},
    {"就绪", "Ready", "Listo", "Prêt", "Готово"},
    {"皮肤", "Skin", "Piel", "Habillage", "Скін"},
};

draw::Bitmap MakeSkin() {
  // 60 x 24: magenta corners around a rounded blue face.
  draw::Bitmap b = draw::Bitmap::Create(60, 24, draw::kMagenta);
  draw::DC dc(b);
  dc.SelectPen(draw::Pen::Solid(RGB(20, 60, 110)));
  dc.SelectBrush(draw::Brush::Solid(RGB(40, 110, 170)));
  dc.RoundRect(0, 0, 60, 24, 12, 12);
  dc.Flush();
  // Anti-aliasing would blend magenta into the edge; keep every pixel either key or face.
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 60; ++x) {
      const Color c = b.GetPixel(x, y);
      if (c != draw::kMagenta && draw::GetRValue(c) > 120 && draw::GetBValue(c) > 180) b.SetPixel(x, y, draw::kMagenta);
    }
  }
  return b;
}

draw::Bitmap MakePicture() {
  draw::Bitmap b = draw::Bitmap::Create(32, 32, RGB(230, 240, 250));
  draw::DC dc(b);
  dc.SelectPen(draw::Pen::Solid(RGB(160, 0, 0), 2));
  dc.SelectBrush(draw::Brush::Solid(RGB(220, 40, 40)));
  dc.Ellipse(4, 4, 28, 28);
  dc.Flush();
  return b;
}

}  // namespace

std::string DemoText(int key, int language) {
  if (language < 0 || language > 4) language = 1;
  return kTexts[key][language];
}

void RegisterDemoResources() {
  if (!Resources::HasBitmap(kSkinBitmapId)) Resources::AddBitmapGenerator(kSkinBitmapId, MakeSkin);
  if (!Resources::HasBitmap(kPictureBitmapId)) Resources::AddBitmapGenerator(kPictureBitmapId, MakePicture);
}

DialogTemplate DemoDialog::MakeTemplate(int lang) {
  auto T = [lang](int k) { return DemoText(k, lang); };
  DialogTemplate t;
  t.cx = 320;
  t.cy = 240;
  t.style = uint32_t{WS_POPUP} | DS_CENTER;
  t.caption = T(0);
  t.fontFace = "Arial";
  t.fontPoints = 9;
  const uint32_t V = WS_VISIBLE, TS = WS_TABSTOP;
  t.Add(kClassStatic, kIdTitle, T(0), 10, 8, 200, 10, V | SS_LEFT);
  t.Add(kClassStatic, kIdPicture, "#" + std::to_string(kPictureBitmapId), 282, 6, 16, 16, V | SS_BITMAP);
  t.Add(kClassButton, kIdGroup, T(9), 10, 20, 100, 62, V | BS_GROUPBOX);
  t.Add(kClassButton, kIdRadio1, T(6), 16, 32, 90, 10, V | TS | WS_GROUP | BS_AUTORADIOBUTTON);
  t.Add(kClassButton, kIdRadio2, T(7), 16, 44, 90, 10, V | BS_AUTORADIOBUTTON);
  t.Add(kClassButton, kIdRadio3, T(8), 16, 56, 90, 10, V | BS_AUTORADIOBUTTON);
  t.Add(kClassButton, kIdCheck, T(4), 16, 68, 90, 10, V | TS | WS_GROUP | BS_AUTOCHECKBOX);
  t.Add(kClassButton, kIdCheck3, T(5), 10, 86, 100, 10, V | TS | BS_AUTO3STATE);
  t.Add(kClassEdit, kIdEdit, "QX-4150", 120, 22, 80, 12, V | TS | WS_BORDER | ES_AUTOHSCROLL);
  t.Add(kClassEdit, kIdPassword, "secret", 120, 38, 80, 12, V | TS | WS_BORDER | ES_PASSWORD);
  t.Add(kClassEdit, kIdDigits, "123", 120, 54, 50, 12, V | TS | WS_BORDER | ES_NUMBER);
  t.Add(kClassEdit, kIdReadOnly, T(10), 120, 70, 80, 12, V | TS | WS_BORDER | ES_READONLY);
  t.Add(kClassComboBox, kIdDropList, "", 210, 22, 100, 60, V | TS | CBS_DROPDOWNLIST);
  t.Add(kClassComboBox, kIdDropDown, "", 210, 40, 100, 60, V | TS | CBS_DROPDOWN);
  t.Add(kClassListBox, kIdList, "", 210, 58, 100, 44, V | TS | WS_BORDER | WS_VSCROLL | LBS_NOTIFY);
  t.Add(kClassEdit, kIdSpinBuddy, "5", 120, 88, 40, 12, V | TS | WS_BORDER | ES_NUMBER);
  t.Add(kClassUpDown, kIdSpin, "", 160, 88, 8, 12, V | UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT);
  t.Add(kClassScrollBar, kIdScroll, "", 10, 102, 100, 9, V | SBS_HORZ);
  t.Add(kClassProgress, kIdProgress, "", 10, 116, 100, 9, V);
  t.Add(kClassIpAddress, kIdIp, "", 120, 106, 80, 12, V | TS);
  t.Add(kClassDateTime, kIdDate, "", 210, 106, 60, 12, V | TS);
  t.Add(kClassDateTime, kIdTime, "", 272, 106, 40, 12, V | TS | DTS_TIMEFORMAT);
  t.Add(kClassTab, kIdTab, "", 10, 132, 300, 50, V | TS);
  t.Add(kClassStatic, kIdTransparentLabel, T(11) + " / " + T(12), 20, 186, 200, 10, V | SS_LEFT);
  t.Add(kClassButton, kIdPush, T(3), 10, 200, 60, 16, V | TS | BS_PUSHBUTTON);
  t.Add(kClassButton, kIdOwnerDraw, T(13), 80, 200, 60, 16, V | TS | BS_OWNERDRAW);
  t.Add(kClassButton, kIdBitmapButton, "", 150, 200, 30, 16, V | TS | BS_BITMAP);
  t.Add(kClassButton, IDOK, T(1), 190, 200, 55, 16, V | TS | BS_DEFPUSHBUTTON);
  t.Add(kClassButton, IDCANCEL, T(2), 255, 200, 55, 16, V | TS | BS_PUSHBUTTON);
  t.Add(kClassStatic, kIdStatus, T(12), 10, 222, 300, 9, V | SS_LEFT | SS_CENTERIMAGE);
  return t;
}

DemoDialog::DemoDialog(int language) : Dialog(MakeTemplate(language)), language_(language) { RegisterDemoResources(); }

bool DemoDialog::OnInitDialog() {
  Dialog::OnInitDialog();
  auto T = [this](int k) { return DemoText(k, language_); };
  if (auto* c = dynamic_cast<ComboBox*>(GetDlgItem(kIdDropList))) {
    c->AddString(T(6));
    c->AddString(T(7));
    c->AddString(T(8));
    c->SetCurSel(0);
  }
  if (auto* c = dynamic_cast<ComboBox*>(GetDlgItem(kIdDropDown))) {
    c->AddString("LJ");
    c->AddString("X-B");
    c->AddString("X-R");
    c->SetWindowText("X-B");
  }
  if (auto* l = dynamic_cast<ListBox*>(GetDlgItem(kIdList))) {
    const char* params[] = {"WBC", "LYM#", "MID#", "GRA#", "LYM%", "MID%", "GRA%", "RBC", "HGB", "HCT"};
    for (const char* p : params) l->AddString(p);
    l->SetCurSel(1);
  }
  if (auto* s = dynamic_cast<ScrollBar*>(GetDlgItem(kIdScroll))) {
    s->SetScrollRange(0, 100);
    s->SetScrollPos(30);
  }
  if (auto* p = dynamic_cast<ProgressBar*>(GetDlgItem(kIdProgress))) p->SetPos(60);
  if (auto* u = dynamic_cast<UpDown*>(GetDlgItem(kIdSpin))) {
    u->SetRange(0, 20);
    u->SetPos(5);
  }
  if (auto* t = dynamic_cast<TabControl*>(GetDlgItem(kIdTab))) {
    t->InsertItem(0, T(10));
    t->InsertItem(1, T(11));
    t->InsertItem(2, T(9));
  }
  if (auto* ip = dynamic_cast<IpAddress*>(GetDlgItem(kIdIp))) ip->SetAddress(192, 168, 0, 10);
  sys::LocalTime when{2026, 3, 5, 9, 7, 30, 0, 4};
  if (auto* d = dynamic_cast<DateTimePicker*>(GetDlgItem(kIdDate))) d->SetTime(when);
  if (auto* d = dynamic_cast<DateTimePicker*>(GetDlgItem(kIdTime))) d->SetTime(when);
  if (auto* b = dynamic_cast<Button*>(GetDlgItem(kIdBitmapButton))) b->SetBitmap(Resources::LoadBitmap(kSkinBitmapId));
  CheckRadioButton(kIdRadio1, kIdRadio3, kIdRadio1);
  CheckDlgButton(kIdCheck, BST_CHECKED);
  SetTimer(1, 1000);
  return true;
}

bool DemoDialog::OnEraseBkgnd(draw::DC& dc) {
  Dialog::OnEraseBkgnd(dc);
  // The screen's frame: a 7-pixel line along the edges of the client rectangle.
  const Rect r = GetClientRect();
  dc.SelectPen(draw::Pen::Solid(kFrameColor, kFrameWidth));
  dc.MoveTo(r.left, r.top);
  dc.LineTo(r.right, r.top);
  dc.LineTo(r.right, r.bottom);
  dc.LineTo(r.left, r.bottom);
  dc.LineTo(r.left, r.top);
  // A band behind the transparent label.
  dc.FillSolidRect(Rect(30, 368, 450, 396), RGB(190, 198, 201));
  return true;
}

const draw::Brush* DemoDialog::OnCtlColor(draw::DC& dc, Window* control, int ctlType) {
  if (control && control->GetDlgCtrlID() == kIdTransparentLabel) {
    dc.SetBkMode(draw::BkMode::Transparent);
    dc.SetTextColor(RGB(66, 85, 92));
    return &hollow_;
  }
  return Dialog::OnCtlColor(dc, control, ctlType);
}

void DemoDialog::OnDrawItem(int id, DrawItemInfo& info) {
  if (id != kIdOwnerDraw) return;
  draw::DC& dc = *info.dc;
  const draw::Bitmap skin = Resources::LoadBitmap(kSkinBitmapId);
  dc.FillSolidRect(info.rcItem, SysColor(COLOR_BTNFACE));
  dc.TransparentBlt(info.rcItem.left, info.rcItem.top, info.rcItem.Width(), info.rcItem.Height(), skin, 0, 0, skin.Width(),
                    skin.Height(), draw::kMagenta);
  Rect r = info.rcItem;
  if (info.itemState & ODS_SELECTED) r = r.Offset(1, 1);
  dc.SetBkMode(draw::BkMode::Transparent);
  dc.SetTextColor(RGB(235, 235, 235));
  dc.SelectFont(*info.item->GetFont());
  dc.DrawText(info.item->GetWindowText(), &r, draw::kDtCenter | draw::kDtVCenter | draw::kDtSingleLine);
}

bool DemoDialog::OnCommand(int id, int code, Window*) {
  if (code == BN_CLICKED && (id == kIdPush || id == kIdOwnerDraw || id == kIdBitmapButton)) {
    ++clicks_;
    return true;
  }
  return false;
}

void DemoDialog::OnTimer(uintptr_t) {
  if (auto* p = dynamic_cast<ProgressBar*>(GetDlgItem(kIdProgress))) p->SetPos((p->GetPos() + 10) % 110);
}

}  // namespace ui::demo
