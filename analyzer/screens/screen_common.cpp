#include "analyzer/screens/screen_common.h"

#include "analyzer/board_port.h"
#include "analyzer/serial_window_sink.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "controls/skin_loader.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/message_box.h"
#include "platform/ui/styles.h"
#include "platform/ui/window.h"

namespace analyzer {

unsigned BoxStyle(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Warning: return ui::MB_ICONWARNING;
    case BoxIcon::Error: return ui::MB_ICONERROR;
    case BoxIcon::Question: return ui::MB_ICONQUESTION;
    case BoxIcon::None: break;
  }
  return 0;
}

int ShowBox(ui::Window* owner, const std::string& text, BoxIcon icon, unsigned buttons) {
  return ui::MessageBox(owner, text, "", buttons | BoxStyle(icon));
}

std::unique_ptr<CSerialPort> OpenWindowBoardPort(ui::Window* owner) {
  auto port = std::make_unique<CSerialPort>();
  if (!OpenBoardPort(*port, WindowByteSink(owner))) return nullptr;
  return port;
}

ui::DialogTemplate BoardScreenTemplate(int cx, int cy, bool caption) {
  ui::DialogTemplate t;
  t.cx = cx;
  t.cy = cy;
  t.style = uint32_t{ui::WS_POPUP} | ui::DS_CENTER | (caption ? uint32_t{ui::WS_CAPTION} : 0u);
  t.fontFace = "Arial";
  t.fontPoints = 9;
  return t;
}

const draw::Brush* ScreenLabelColours(draw::DC& dc) {
  static const draw::Brush kHollow = draw::Brush::NullBrush();
  dc.SetTextColor(draw::RGB(66, 85, 92));
  dc.SetBkMode(draw::BkMode::Transparent);
  return &kHollow;
}

void DrawPlainScreen(draw::DC& dc, ui::Window* window, int railFrameId, int railButtonId) {
  dc.FillSolidRect(window->GetClientRect(), draw::RGB(205, 213, 215));
  ui::Window* frame = railFrameId ? window->GetDlgItem(railFrameId) : nullptr;
  ui::Window* button = railButtonId ? window->GetDlgItem(railButtonId) : nullptr;
  if (frame && button) {
    const ui::Rect g = frame->GetRectInParent();
    const ui::Rect b = button->GetRectInParent();
    const draw::Bitmap left = LoadSkinBitmap(450, "Load left bar Bitmap Error!");
    const draw::Bitmap right = LoadSkinBitmap(449, "Load right bar Bitmap Error!");
    if (left && b.left > g.left)
      dc.TransparentBlt(g.left, b.top, b.left - g.left, b.Height(), left, 0, 0, left.Width(), left.Height(), draw::kMagenta);
    if (right && g.right - 2 > b.right)
      dc.TransparentBlt(b.right, b.top, g.right - 2 - b.right, b.Height(), right, 0, 0, right.Width(), right.Height(),
                        draw::kMagenta);
  }
  DrawDialogFrame(dc, window, 7);
}

std::string PortFailedText(bool withNumber, int lang) {
  if (withNumber)
    return PickText(lang, "COM4通讯串口初始化失败！", "Failed to initialize communications COM4 port!",
                    "¡No se pudo inicializar el puerto de comunicaciones COM4!",
                    "Échec de l'initialisation du port de communication COM4!",
                    "Не вдалося ініціалізувати комунікаційний порт COM4!");
  return PickText(lang, "通讯串口初始化失败！", "Failed to initialize communications COM port!",
                  "¡No se pudo inicializar el puerto de comunicaciones!", "Échec de l'initialisation du port de communication!",
                  "Не вдалося ініціалізувати комунікаційний порт!");
}

}  // namespace analyzer
