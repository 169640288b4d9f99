#include "printing/print_items_set.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/value_format.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/resources.h"
#include "printing/print_items.h"
#include "printing/report_text.h"

ui::DialogTemplate PrintItemsSetTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(250, 196);
  t.Add("Button", IDC_PRINT_ITEMS_FRAME, "", 6, 6, 238, 184, V | ui::BS_GROUPBOX);
  t.Add("Static", IDC_PRINT_ITEMS_MODEL, "", 20, 16, 100, 12, V | ui::SS_LEFT);
  t.Add("Button", IDC_PRINT_ITEMS_BOXES, "", 14, 32, 150, 150, V | ui::BS_GROUPBOX);
  for (int i = 0; i < 20; ++i) {
    const int column = i < 10 ? 0 : 1, row = i % 10;
    t.Add("Button", IDC_PRINT_ITEM_FIRST + i, ReportParamAbbrev(i), 22 + column * 70, 40 + row * 14, 64, 12,
          V | ui::WS_TABSTOP | ui::BS_AUTOCHECKBOX);
  }
  const int buttons[5] = {IDC_MODEL1, IDC_MODEL2, IDC_MODEL3, ui::IDOK, ui::IDCANCEL};
  for (int k = 0; k < 5; ++k) t.Add("Button", buttons[k], "", 174, 36 + k * 30, 62, 22, V | ui::WS_TABSTOP);
  return t;
}

std::string PrintItemsModelLabel(int modelNo, int language, bool afterButton) {
  const char* format = PickText(language, "模板%d", "Model %d", "Modelo %d", "Model %d",
                                afterButton ? "Модель %d" : "Модель%d");
  std::string label = format;
  const size_t at = label.find("%d");
  if (at != std::string::npos) label.replace(at, 2, std::to_string(modelNo));
  return label;
}

CPrintItemsSet::CPrintItemsSet(ui::Window* parent) : ui::Dialog(IDD_PRINT_ITEMS_SET, parent) {
  if (!ui::Resources::FindDialog(IDD_PRINT_ITEMS_SET))
    ui::Resources::AddDialog(IDD_PRINT_ITEMS_SET, PrintItemsSetTemplate());
}

void CPrintItemsSet::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_PRINT_ITEMS_FRAME, frame_);
  ui::ExchangeControl(dx, IDC_PRINT_ITEMS_BOXES, boxFrame_);
  ui::ExchangeControl(dx, IDC_PRINT_ITEMS_MODEL, label_);
  for (int i = 0; i < 20; ++i) ui::ExchangeControl(dx, IDC_PRINT_ITEM_FIRST + i, boxes_[i]);
  ui::ExchangeControl(dx, IDC_MODEL1, model1_);
  ui::ExchangeControl(dx, IDC_MODEL2, model2_);
  ui::ExchangeControl(dx, IDC_MODEL3, model3_);
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, ui::IDCANCEL, cancel_);
}

void CPrintItemsSet::SetBoxes(const uint8_t flags[20]) {
  for (int i = 0; i < 20; ++i) {
    boxes_[i].checked = flags[i] != 0;
    boxes_[i].SendMessage(ui::BM_SETCHECK, flags[i] ? 1 : 0, 0);
    boxes_[i].Invalidate(true);
  }
}

bool CPrintItemsSet::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  const int lang = AppSettings.LanguageIndex;
  conn_.Connect();
  uint8_t flags[20] = {};
  int model = model_;
  if (LoadDefaultPrintItems(conn_, flags, &model)) {
    if (model >= 1 && model <= 3) model_ = static_cast<uint8_t>(model);
    SetBoxes(flags);
  }
  SetWindowText(PickText(lang, "打印参数设置", "Print items setting", "Parametros de impresion de escenario",
                         "Imprimez les elements de configuration", "Параметри друку"));
  ok_.SetWindowText(PickText(lang, "确定", "OK", "Aceptar", "OK", "OK"));
  cancel_.SetWindowText(PickText(lang, "取消", "Cancel", "Cancelar", "Annuler", "Відміна"));
  model1_.SetWindowText(PickText(lang, "模板1", "Model 1", "Modelo 1", "Model 1", "Модель1"));
  model2_.SetWindowText(PickText(lang, "模板2", "Model 2", "Modelo 2", "Model 2", "Модель2"));
  model3_.SetWindowText(PickText(lang, "模板3", "Model 3", "Modelo 3", "Model 3", "Модель3"));
  label_.SetWindowText(PrintItemsModelLabel(model_, lang, false));
  // Each set of three faces is numbered disabled, hover, normal: the normal face goes first.
  model1_.SetBitmaps(466, 465, 464);
  for (CXPButton* b : {&model2_, &model3_, &ok_}) b->SetBitmaps(469, 468, 467);
  cancel_.SetBitmaps(472, 471, 470);
  frame_.SetBands(true, 12);
  label_.SetBkColor(draw::RGB(205, 213, 215));
  label_.RedrawBackground();
  return true;
}

void CPrintItemsSet::ShowModel(int modelNo) {
  model_ = static_cast<uint8_t>(modelNo);
  label_.SetWindowText(PrintItemsModelLabel(modelNo, AppSettings.LanguageIndex, true));
  label_.RedrawBackground();
  uint8_t flags[20];
  if (LoadPrintItems(conn_, modelNo, flags)) SetBoxes(flags);
  Invalidate(true);
}

bool CPrintItemsSet::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED) {
    switch (id) {
      case IDC_MODEL1: ShowModel(1); return true;
      case IDC_MODEL2: ShowModel(2); return true;
      case IDC_MODEL3: ShowModel(3); return true;
      default: break;
    }
  }
  return ui::Dialog::OnCommand(id, code, control);
}

void CPrintItemsSet::OnOK() {
  uint8_t flags[20];
  for (int i = 0; i < 20; ++i) flags[i] = boxes_[i].checked ? 1 : 0;
  // A failed update is reported by the data layer; the table keeps what it had.
  SaveDefaultPrintItems(conn_, flags, model_);
  conn_.Disconnect();
  EndDialog(ui::IDOK);
}

void CPrintItemsSet::OnCancel() {
  conn_.Disconnect();
  EndDialog(ui::IDCANCEL);
}

bool CPrintItemsSet::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

const draw::Brush* CPrintItemsSet::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}
