#include "app/screens/about_dlg.h"

#include <cstdio>

#include "analyzer/sequences/board_host.h"
#include "analyzer/board_port.h"
#include "analyzer/command_catalogue.h"
#include "analyzer/serial_port.h"
#include "analyzer/serial_window_sink.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "controls/screen_common.h"
#include "core/write_log.h"
#include "platform/sys/dynlib.h"
#include "platform/sys/file_ops.h"
#include "platform/sys/profile.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace {
const char* const kSections[5] = {"CN", "EN", "ES", "FR", "UA"};
// Joins a version to its caption: the label's wrapping never puts the version on the next line,
// away from the caption it belongs to. It reads as a blank.
const char* const kNoBreakSpace = "\xC2\xA0";
const char* const kDefaultCompany = "Quorvex Medical Instruments Co., Ltd.";
const char* const kChineseTitle =
    "全自动血细胞分析仪软件\n\nQX-4150\n\n发布版本: V1.0      完整版本: V1.0  ";
}  // namespace

ui::DialogTemplate AboutTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(296, 152, ui::WS_BORDER);
  t.Add("Button", IDC_ABOUT_FRAME, "", 12, 26, 273, 115, V | ui::BS_GROUPBOX);
  t.Add("Button", ui::IDOK, "OK", 218, 39, 47, 20, V | ui::WS_TABSTOP | ui::BS_DEFPUSHBUTTON);
  t.Add("Static", IDC_ABOUT_LOGO, "", 33, 37, 49, 18, V | ui::SS_BITMAP);
  t.Add("Static", IDC_ABOUT_TEXT, "", 33, 62, 247, 76, V | ui::SS_LEFT);
  return t;
}

bool BuildAboutText(const std::string& infoPath, int language, const std::string& boardVersion,
                    const std::string& algorithmVersion, const std::string& productName, std::string* text) {
  if (!sys::FileExists(infoPath)) return false;
  const char* section = kSections[(language >= 0 && language <= 4) ? language : 1];
  auto read = [&](const char* key, const char* def) { return sys::ProfileReadString(infoPath, section, key, def, 100); };
  const std::string v = read("Version", "Version 1.0e");
  std::string t = language == 0 ? std::string(kChineseTitle) + v : v;
  const std::string f = read("FrontVersion", "Front-end software version");
  if (!f.empty()) t += "\n\n" + f + kNoBreakSpace + boardVersion;
  // The algorithm's caption and version are one unit: a line too narrow for both moves the whole
  // unit to the next line instead of parting them.
  std::string a = read("Algorithms", "Front-end software version");
  for (size_t at = a.find(' '); at != std::string::npos; at = a.find(' ', at)) a.replace(at, 1, kNoBreakSpace);
  if (!a.empty()) t += (language == 4 ? "     " : "        ") + a + kNoBreakSpace + algorithmVersion;
  const std::string c = read("Company", kDefaultCompany);
  std::string keptCompany;
  if (!c.empty()) {
    if (language == 0) keptCompany = c;
    else t += "\n\n" + c;
  }
  const std::string r = read("CopyRight", "");
  if (!r.empty()) {
    if (language == 0) t += "\n\n" + r + "：  " + keptCompany;
    else t += "\n\n" + r;
  }
  if (productName == "ZN-38 TOUCH") t = "\n\n" + t;
  *text = t;
  return true;
}

std::string ChecksumErrorText(int language) {
  return PickText(language, "数据校验错误！", "Checksum error", "Error en verificacion de datos!", "Verifier l'erreur!",
                  "Збій перевірки даних");
}

CAboutDlg::CAboutDlg(ui::Window* parent) : ui::Dialog(IDD_ABOUTBOX, parent) {
  if (!ui::Resources::FindDialog(IDD_ABOUTBOX)) ui::Resources::AddDialog(IDD_ABOUTBOX, AboutTemplate());
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_ABOUT_LOGO, logo_);
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, IDC_ABOUT_FRAME, frame_);
}

bool CAboutDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  port_ = std::make_unique<analyzer::CSerialPort>();
  if (!analyzer::OpenBoardPort(*port_, analyzer::WindowByteSink(this))) {
    if (lang == 0) {
      WriteLog(kBoardPortLogText, "");
      ui::MessageBox(nullptr, "前端通信串口初始化失败！", "", ui::MB_OK);
    } else if (lang >= 1 && lang <= 4) {
      ui::MessageBox(nullptr,
                     PickText(lang, "", "Failed to initialize communications COM port!", "Error al iniciar puerto COM!",
                              "Echec initialisation port COM communications!", "Помилка з’єднання з серійним портом"),
                     "", ui::MB_OK);
    }
  }
  BuildVersionText();
  SendCommand(analyzer::FrameClassStatus, analyzer::status::Version, 0, 0);
  logoBitmap_ = draw::Bitmap::LoadFile(AppSettings.ProgramFolder + "ProduceInfo/Logo.bmp");
  if (!logoBitmap_.IsNull()) logo_.SetBitmap(logoBitmap_);
  SetWindowText(PickText("关于", "About", "Acerca de", "A PRPOS", "Про систему"));
  ok_.SetWindowText(PickText("确定", "OK", "Salir", "OK", "OK"));
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  {
    sys::DynamicLibrary lib;
    if (lib.Load("Zentil.dll")) {
      using Proc = void (*)(char*, int16_t);
      if (Proc get = lib.Function<Proc>("GetAlgorithmVersion")) {
        char buffer[260] = {};
        get(buffer, 260);
        buffer[259] = 0;
        algorithmVersion = buffer;
      } else {
        algorithmVersion.clear();
      }
    } else {
      ui::MessageBox(nullptr, "Load Zentil.dll failed!", "", ui::MB_ICONERROR);
    }
  }
  ok_.SetBitmaps(479, 481, 479);
  return true;
}

void CAboutDlg::BuildVersionText() {
  std::string text;
  if (!BuildAboutText(AppSettings.ProgramFolder + "ProduceInfo/Produceinfo.ver", AppSettings.LanguageIndex,
                      boardVersion, algorithmVersion, AppSettings.ProductName, &text))
    return;
  SetDlgItemText(IDC_ABOUT_TEXT, text);
  Invalidate(false);
}

int CAboutDlg::SendCommand(uint8_t cls, uint8_t command, uint8_t p1, uint8_t p2) {
  collector_.Clear();
  sent_ = analyzer::BuildCommandFrame(cls, command, p1, p2);
  if (port_) port_->QueueWrite(sent_.data(), sent_.size());
  return 1;
}

int CAboutDlg::OnSerialByte(uint8_t byte, unsigned port) {
  if (port < 1 || port > 4) return -1;
  // Frames start at 0x7E: noise before a frame or a broken frame is skipped instead of
  // shifting every frame after it. The same intake as the board sequences.
  const analyzer::BoardReply reply = analyzer::TakeBoardReply(collector_, byte);
  if (!reply.complete) return 1;
  if (!reply.checksumOk) {
    // One warning at a time: a noisy line must not stack boxes on one another.
    if (warningOpen_) return 0;
    warningOpen_ = true;
    ++checksumWarnings;
    ui::MessageBox(nullptr, ChecksumErrorText(AppSettings.LanguageIndex), "", ui::MB_ICONEXCLAMATION);
    warningOpen_ = false;
    return 0;
  }
  if (reply.cls == analyzer::FrameClassStatus && reply.command == analyzer::status::Version) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", reply.param3 / 10.0);
    boardVersion = buf;
    BuildVersionText();
  }
  return 1;
}

ui::LResult CAboutDlg::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == analyzer::kSerialByteMessage) return OnSerialByte(static_cast<uint8_t>(w), static_cast<unsigned>(l));
  return ui::Dialog::WindowProc(msg, w, l);
}

bool CAboutDlg::OnEraseBkgnd(draw::DC& dc) {
  DrawBandedBackground(dc, GetClientRect(), 30, 9);
  return true;
}

const draw::Brush* CAboutDlg::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}
