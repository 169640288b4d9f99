#include "analyzer/screens/screen_common.h"

#include "analyzer/board_port.h"
#include "analyzer/serial_window_sink.h"
#include "core/app_settings.h"
#include "controls/screen_common.h"
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
  return CentredPopupTemplate(cx, cy, caption ? uint32_t{ui::WS_CAPTION} : 0u, "Arial", 9);
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
