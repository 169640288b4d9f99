#include "measurement/patient/adjust_graph.h"

#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/resources.h"
#include "controls/screen_common.h"

namespace {
void RegisterTemplate() {
  if (!ui::Resources::FindDialog(IDD_ADJUST_GRAPH)) ui::Resources::AddDialog(IDD_ADJUST_GRAPH, AdjustGraphTemplate());
}
}  // namespace

AdjustGraphTexts AdjustGraphTextsFor(int language) {
  AdjustGraphTexts t;
  switch (language) {
    case 0:
      t.question = std::string("是否保存修改?\r\n") + "\r\n确定: 保留调整后的结果" +
                   "\r\n恢复: 不保存, 保留原始测量结果。" + "\r\n取消: 返回上一步调整";
      t.ok = "确定";
      t.recover = "恢复";
      t.cancel = "取消";
      break;
    case 2:
      t.question = std::string("Guardar los cambios?\r\n") + "\r\nAceptar: Mantener los resultados ajustados" +
                   "\r\nRecuperar: No guardar y mantener los resultados medidos originales." +
                   "\r\nCancelar: Volver al ajuste anterior";
      t.ok = "Aceptar";
      t.recover = "Recuperar";
      t.cancel = "Cancelar";
      break;
    case 3:
      t.question = std::string("Voulez-vous enregistrer les modifications?\r\n") +
                   "\r\nOK: Garder les resultats ajustes" +
                   "\r\nRestaurer: Ne pas enregistrer et garder les resultats mesures d'origine." +
                   "\r\nAnnuler: Revenir a l'ajustement precedent";
      t.ok = "OK";
      t.recover = "Restaurer";
      t.cancel = "Annuler";
      break;
    case 4:
      t.question = std::string("Зберегти зміни?\r\n") + "\r\nГаразд: Залишити скориговані результати" +
                   "\r\nВідновити: Не зберігати, залишити початкові виміряні результати." +
                   "\r\nСкасувати: Повернутися до попереднього коригування";
      t.ok = "Гаразд";
      t.recover = "Відновити";
      t.cancel = "Скасувати";
      break;
    default:
      t.question = std::string("Save the changes?\r\n") + "\r\nOK: Keep adjusted results" +
                   "\r\nRecover: Don't save and keep original measured results." +
                   "\r\nCancel: Return to previous adjustment";
      t.ok = "OK";
      t.recover = "Recover";
      t.cancel = "Cancel";
      break;
  }
  return t;
}

ui::DialogTemplate AdjustGraphTemplate() {
  using namespace ui;
  const uint32_t V = WS_VISIBLE, TS = WS_TABSTOP;
  DialogTemplate t;
  t.cx = 230;
  t.cy = 110;
  t.style = WS_POPUP | WS_VISIBLE | DS_CENTER | DS_SETFONT;
  t.Add("Button", IDC_AG_FRAME, "", 6, 6, 218, 70, V | BS_GROUPBOX);
  t.Add("Static", IDC_AG_QUESTION, "", 12, 12, 206, 60, V);
  t.Add("Button", IDOK, "OK", 14, 84, 60, 16, V | TS | BS_PUSHBUTTON);
  t.Add("Button", IDC_AG_RECOVER, "Recover", 85, 84, 60, 16, V | TS | BS_PUSHBUTTON);
  t.Add("Button", IDCANCEL, "Cancel", 156, 84, 60, 16, V | TS | BS_PUSHBUTTON);
  return t;
}

CAdjustGraph::CAdjustGraph(ui::Window* parent) : ui::Dialog(IDD_ADJUST_GRAPH, parent) { RegisterTemplate(); }

void CAdjustGraph::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_AG_FRAME, frame_);
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, ui::IDCANCEL, cancel_);
  ui::ExchangeControl(dx, IDC_AG_RECOVER, recover_);
}

bool CAdjustGraph::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const AdjustGraphTexts t = AdjustGraphTextsFor(AppSettings.LanguageIndex);
  SetDlgItemText(IDC_AG_QUESTION, t.question);
  ok_.SetWindowText(t.ok);
  recover_.SetWindowText(t.recover);
  cancel_.SetWindowText(t.cancel);
  if (AppSettings.LargeScreen) ApplyDialogFontToChildren(this, &SharedDialogFont());
  ok_.SetBitmaps(399, 400, 487);
  recover_.SetBitmaps(469, 468, 467);
  cancel_.SetBitmaps(403, 404, 486);
  return true;
}

void CAdjustGraph::OnOK() {
  answer = kKeep;
  ui::Dialog::OnOK();
}

void CAdjustGraph::OnCancel() {
  answer = kReturn;
  ui::Dialog::OnCancel();
}

bool CAdjustGraph::OnCommand(int id, int code, ui::Window* control) {
  if (id == IDC_AG_RECOVER && code == ui::BN_CLICKED) {
    answer = kRecover;
    ui::Dialog::OnOK();
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

bool CAdjustGraph::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

const draw::Brush* CAdjustGraph::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) {
    return ScreenLabelColours(dc);
  }
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}
