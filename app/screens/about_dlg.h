#pragma once
// CAboutDlg: the About box. The instrument's logo and a text block with the software version,
// the board's firmware version (asked of the board with CC 82 when the box opens), the
// algorithm library's version, the company and the rights lines, from the product
// information file in the language's section.
#include <memory>
#include <string>

#include "analyzer/frame.h"
#include "analyzer/frame_collector.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/dialog.h"

namespace analyzer {
class CSerialPort;
}

inline constexpr int IDD_ABOUTBOX = 180;
inline constexpr int IDC_ABOUT_FRAME = 1950;
inline constexpr int IDC_ABOUT_LOGO = 1907;
inline constexpr int IDC_ABOUT_TEXT = 2062;

ui::DialogTemplate AboutTemplate();

// The version text of the About box from the product information file at `infoPath` (false
// when the file does not exist: the text stays as it was).
bool BuildAboutText(const std::string& infoPath, int language, const std::string& boardVersion,
                    const std::string& algorithmVersion, const std::string& productName, std::string* text);

// The checksum warning of the board link in the language.
std::string ChecksumErrorText(int language);

class CAboutDlg : public ui::Dialog {
 public:
  explicit CAboutDlg(ui::Window* parent = nullptr);
  ~CAboutDlg() override;

  void BuildVersionText();
  int SendCommand(uint8_t cls, uint8_t command, uint8_t p1, uint8_t p2);
  // One byte of the board link; -1 for a port number outside 1..4.
  int OnSerialByte(uint8_t byte, unsigned port);

  std::string algorithmVersion;
  std::string boardVersion = "   ";
  // Checksum warnings shown so far (one at a time: bad frames while a warning is open are
  // dropped).
  int checksumWarnings = 0;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;

 private:
  ui::Static logo_;
  CXPButton ok_;
  CXPGroupBox frame_;
  draw::Bitmap logoBitmap_;
  analyzer::ShortCollector collector_;
  analyzer::CommandFrame sent_{};
  std::unique_ptr<analyzer::CSerialPort> port_;
  bool warningOpen_ = false;
};
