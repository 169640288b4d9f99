#include <gtest/gtest.h>

#include <cstdlib>
#include <stdlib.h>

#include "analyzer/frame.h"
#include "analyzer/serial_port.h"
#include "core/screen_registry.h"
#include "app/screens/sys_info_sel.h"
#include "app/screens/sys_state.h"
#include "controls/message_box_dlg.h"
#include "platform/ui/app.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "screen_fixture.h"
#include "tests/support/screen_pixels.h"
#include "tools/boardsim/simulator.h"

namespace {

TEST(StatusTexts, TemperatureAndPressureConversions) {
  struct Case {
    unsigned raw;
    const char* temperature;
  } cases[] = {{4095, "300.0"}, {0, "0.0"}, {546, "40.0"}, {409, "30.0"}};
  for (const Case& c : cases) EXPECT_EQ(TemperatureText(c.raw), c.temperature) << c.raw;
  EXPECT_EQ(PressureText(0x01 * 256 + 0x2C), "300");
  EXPECT_EQ(PressureText(0), "0");
}

class StatusTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    ASSERT_TRUE(board.Start().ok());
    setenv("QUORVEX_COM4", board.DevicePath().c_str(), 1);
  }
  void TearDown() override {
    unsetenv("QUORVEX_COM4");
    board.Stop();
    ScreenTest::TearDown();
  }
  static analyzer::CommandFrame Reply(uint8_t command, uint8_t hi, uint8_t lo) {
    analyzer::CommandFrame f = analyzer::BuildCommandFrame(0xCC, command, hi, lo);
    return f;
  }
  boardsim::Simulator board;
};

TEST_F(StatusTest, PollsTemperatureThenPressureEverySecond) {
  CSysState state;
  bool ok = d.RunScript([&] { state.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(s.RunUntil([&] { return !s.Text(IDC_STATE_PRESSURE).empty(); }, 3000));
    EXPECT_FALSE(s.Text(IDC_STATE_TEMPERATURE).empty());
    ASSERT_TRUE(board.WaitForReceived(2, 2000));
    s.Advance(1000);
    ASSERT_TRUE(board.WaitForReceived(4, 2000));
    s.Key(ui::VK_ESCAPE);  // swallowed
    s.Key(ui::VK_RETURN);
    EXPECT_FALSE(state.IsEnded());
    Shot("status_en");
    s.Press(ui::IDOK);
  });
  EXPECT_TRUE(ok);
  const auto frames = board.Received();
  ASSERT_GE(frames.size(), 4u);
  const analyzer::CommandFrame temperature = {0x7E, 0xCC, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x4C, 0xE7};
  const analyzer::CommandFrame pressure = {0x7E, 0xCC, 0x81, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x4D, 0xE7};
  EXPECT_EQ(frames[0], temperature);
  EXPECT_EQ(frames[1], pressure);
  EXPECT_EQ(frames[2], temperature);
  EXPECT_EQ(frames[3], pressure);
}

TEST_F(StatusTest, ShiftedBytesAndBadFramesOnANoisyLine) {
  board.SetSilent(true);
  CSysState state;
  bool ok = d.RunScript([&] { state.DoModal(); }, [&](ui::TestDriver& s) {
    auto post = [&](const std::vector<uint8_t>& bytes, unsigned port = 4) {
      for (uint8_t b : bytes) ui::PostMessageTo(state.Handle(), analyzer::kSerialByteMessage, b, port);
      s.Settle();
    };
    auto bytes = [](const analyzer::CommandFrame& f) { return std::vector<uint8_t>(f.begin(), f.end()); };
    // A stray byte before the reply does not cost the reply.
    std::vector<uint8_t> shifted = {0x00};
    const auto t = bytes(Reply(0x80, 0x02, 0x22));  // 546
    shifted.insert(shifted.end(), t.begin(), t.end());
    post(shifted);
    EXPECT_EQ(s.Text(IDC_STATE_TEMPERATURE), "40.0");
    EXPECT_EQ(s.MessageBox(), nullptr);
    post(bytes(Reply(0x81, 0x01, 0x2C)), 0);
    post(bytes(Reply(0x81, 0x01, 0x2C)), 5);
    EXPECT_EQ(s.Text(IDC_STATE_PRESSURE), "");
    post(bytes(Reply(0x81, 0x01, 0x2C)));
    EXPECT_EQ(s.Text(IDC_STATE_PRESSURE), "300");
    // Three damaged replies: one warning on screen, not three stacked.
    analyzer::CommandFrame bad = Reply(0x80, 0x0F, 0xFF);
    bad[12] ^= 0x21;
    std::vector<uint8_t> noisy;
    for (int i = 0; i < 3; ++i) noisy.insert(noisy.end(), bad.begin(), bad.end());
    post(noisy);
    EXPECT_EQ(s.MessageBoxText(), "Checksum error");
    EXPECT_EQ(state.checksumWarnings, 1);
    s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
    EXPECT_EQ(s.MessageBox(), nullptr);
    EXPECT_EQ(s.Text(IDC_STATE_TEMPERATURE), "40.0");
    post(bytes(Reply(0x80, 0x0F, 0xFF)));
    EXPECT_EQ(s.Text(IDC_STATE_TEMPERATURE), "300.0");
    s.Press(ui::IDOK);
  });
  EXPECT_TRUE(ok);
}

TEST_F(StatusTest, EachInformationButtonReturnsToTheMainMenu) {
  for (int button : {IDC_SYSINFO_STATUS, IDC_SYSINFO_STATISTIC}) {
    CSysInfoSel menu;
    bool ok = d.RunScript([&] { menu.DoModal(); }, [&](ui::TestDriver& s) {
      s.Press(button);
      ASSERT_NE(s.Find(ui::IDOK), nullptr);
      s.Press(ui::IDOK);  // the screen's Exit
    });
    EXPECT_TRUE(ok);
    EXPECT_TRUE(menu.IsEnded());
  }
}

// What the information menu and the status screen look like round their Exit button and along
// their edges: the rails run beside Exit over the outer frame's panel (their blue centre line
// is in the strip), and 5 pixels in from each edge, between the screen frame and the panel,
// lies the screens' grey, not the framework's dialog colour.
void ExpectRailsAndPlainEdges(ui::TestDriver& s, ui::Window* dialog, int outerId, int leftId, int rightId,
                              const char* name) {
  const draw::Bitmap shot = s.Screen();
  const ui::Rect g = support::ControlScreenRect(dialog, outerId);
  const ui::Rect l = support::ControlScreenRect(dialog, leftId), r = support::ControlScreenRect(dialog, rightId);
  const draw::Color railLine = draw::RGB(0, 76, 120);
  EXPECT_TRUE(support::ColumnHolds(shot, (g.left + l.left) / 2, l.top, l.bottom, railLine)) << name << " left rail";
  EXPECT_TRUE(support::ColumnHolds(shot, (r.right + g.right - 2) / 2, r.top, r.bottom, railLine)) << name << " right rail";
  const ui::Rect w = dialog->GetWindowRect();
  const draw::Color grey = draw::RGB(205, 213, 215);
  const int midX = (w.left + w.right) / 2, midY = (w.top + w.bottom) / 2;
  EXPECT_EQ(shot.GetPixel(w.left + 5, midY), grey) << name << " left edge";
  EXPECT_EQ(shot.GetPixel(w.right - 6, midY), grey) << name << " right edge";
  EXPECT_EQ(shot.GetPixel(midX, w.top + 5), grey) << name << " top edge";
  EXPECT_EQ(shot.GetPixel(midX, w.bottom - 6), grey) << name << " bottom edge";
}

TEST_F(StatusTest, RailsBesideExitAndThePlainGreyAlongTheEdges) {
  CSysInfoSel menu;
  EXPECT_TRUE(d.RunScript([&] { menu.DoModal(); }, [&](ui::TestDriver& s) {
    ExpectRailsAndPlainEdges(s, &menu, IDC_SYSINFO_OUTER, ui::IDCANCEL, ui::IDCANCEL, "information menu");
    s.Press(ui::IDCANCEL);
  }));
  CSysState state;
  EXPECT_TRUE(d.RunScript([&] { state.DoModal(); }, [&](ui::TestDriver& s) {
    ExpectRailsAndPlainEdges(s, &state, IDC_STATE_OUTER, ui::IDOK, ui::IDOK, "status");
    s.Press(ui::IDOK);
  }));
}

// Each reading stands on the line of its label and its range: the first row of text pixels is
// the same (a pixel either way for the glyphs' own heights).
TEST_F(StatusTest, ValuesStandOnTheLineOfTheirLabels) {
  CSysState state;
  EXPECT_TRUE(d.RunScript([&] { state.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(s.RunUntil([&] { return !s.Text(IDC_STATE_PRESSURE).empty(); }, 3000));
    const draw::Bitmap shot = s.Screen();
    const int rows[2][3] = {{1670, IDC_STATE_TEMPERATURE, 1672}, {1671, IDC_STATE_PRESSURE, 1673}};
    for (const auto& row : rows) {
      const int label = support::FindInkRows(shot, support::ControlScreenRect(&state, row[0])).first;
      const int value = support::FindInkRows(shot, support::ControlScreenRect(&state, row[1])).first;
      const int range = support::FindInkRows(shot, support::ControlScreenRect(&state, row[2])).first;
      ASSERT_GE(label, 0) << row[0];
      ASSERT_GE(value, 0) << row[1];
      EXPECT_LE(std::abs(value - label), 1) << "value " << value << " label " << label;
      EXPECT_LE(std::abs(range - label), 1) << "range " << range << " label " << label;
    }
    s.Press(ui::IDOK);
  }));
}

TEST_F(StatusTest, ScreenshotsInFiveLanguages) {
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    {
      CSysInfoSel menu;
      bool ok = d.RunScript([&] { menu.DoModal(); }, [&](ui::TestDriver& s) {
        Shot(std::string("sysinfo_") + kLanguageNames[lang]);
        s.Press(ui::IDCANCEL);
      });
      EXPECT_TRUE(ok);
    }
    CSysState state;
    bool ok = d.RunScript([&] { state.DoModal(); }, [&](ui::TestDriver& s) {
      s.RunUntil([&] { return !s.Text(IDC_STATE_PRESSURE).empty(); }, 3000);
      Shot(std::string("status_") + kLanguageNames[lang]);
      s.Press(ui::IDOK);
    });
    EXPECT_TRUE(ok);
  }
}

}  // namespace
