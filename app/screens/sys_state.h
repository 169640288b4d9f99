#pragma once
// CSysState: the system status screen. Once a second it asks the board for the temperature
// (CC 80) and, when that answer is in, for the internal pressure (CC 81), and shows both.
#include <memory>
#include <string>

#include "analyzer/frame.h"
#include "analyzer/frame_collector.h"
#include "controls/static_trans.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"

namespace analyzer {
class CSerialPort;
}

inline constexpr int IDD_SYS_STATE = 190;
inline constexpr int IDC_STATE_TEMPERATURE = 1500;
inline constexpr int IDC_STATE_PRESSURE = 1501;
inline constexpr int IDC_STATE_INNER = 2042;
inline constexpr int IDC_STATE_OUTER = 2028;

ui::DialogTemplate SysStateTemplate();

// The temperature text of a raw reading: raw / 4095 x 300, "%.1f".
std::string TemperatureText(unsigned raw);
// The pressure text of a raw reading: "%d", no conversion.
std::string PressureText(unsigned raw);

class CSysState : public ui::Dialog {
 public:
  explicit CSysState(ui::Window* parent = nullptr);
  ~CSysState() override;

  // One byte of the board link; ignored for a port number outside 1..4.
  void OnSerialByte(uint8_t byte, unsigned port);

  int checksumWarnings = 0;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnTimer(uintptr_t id) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;

 private:
  void Send(uint8_t command);

  CXPGroupBox inner_;
  CStaticTrans pressure_;
  CStaticTrans temperature_;
  CXPGroupBox outer_;
  CXPButton exit_;
  analyzer::ShortCollector collector_;
  analyzer::CommandFrame sent_{};
  std::unique_ptr<analyzer::CSerialPort> port_;
  bool warningOpen_ = false;
};
