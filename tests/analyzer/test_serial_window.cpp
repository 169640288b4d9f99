// Bytes reach the owner window as WM_USER+7, synchronously, and a screen closing its port
// while bytes stream in does not deadlock.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "analyzer/board_port.h"
#include "analyzer/serial_port.h"
#include "analyzer/serial_window_sink.h"
#include "platform/sys/program_dir.h"
#include "platform/ui/app.h"
#include "platform/ui/test_driver.h"
#include "platform/ui/window.h"
#include "tools/boardsim/simulator.h"

using namespace analyzer;

namespace {

class BoardScreen : public ui::Window {
 public:
  std::vector<uint8_t> bytes;
  std::vector<unsigned> ports;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override {
    if (msg == kSerialByteMessage) {
      bytes.push_back(static_cast<uint8_t>(w));
      ports.push_back(static_cast<unsigned>(l));
      return 0;
    }
    return ui::Window::WindowProc(msg, w, l);
  }
};

class SerialWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(::testing::TempDir()) / "serial_window";
    std::filesystem::create_directories(dir_);
    sys::SetProgramDir(dir_.string());
    ASSERT_TRUE(ui::TestDriver::Start());
    ASSERT_TRUE(sim_.Start().ok());
    ASSERT_TRUE(screen_.Create("Test", "board", ui::WS_POPUP | ui::WS_VISIBLE, ui::Rect(0, 0, 50, 50), nullptr));
  }
  void TearDown() override {
    port_.Close();
    screen_.DestroyWindow();
    sim_.Stop();
    ui::TestDriver::Stop();
    sys::SetProgramDir("");
  }
  std::filesystem::path dir_;
  boardsim::Simulator sim_;
  BoardScreen screen_;
  CSerialPort port_;
  ui::TestDriver d_;
};

}  // namespace

TEST_F(SerialWindowTest, EachByteIsOneMessageInOrder) {
  ASSERT_EQ(port_.OpenDevice(WindowByteSink(&screen_), sim_.DevicePath(), 4, 115200, L'N', 8, 1, 9, 512), 1);
  ASSERT_EQ(port_.StartReader(), 1);
  std::vector<uint8_t> sent;
  for (int i = 0; i < 600; ++i) sent.push_back(static_cast<uint8_t>(i * 11));
  sim_.SendRaw(sent);
  ASSERT_TRUE(d_.RunUntil([&] { return screen_.bytes.size() >= sent.size(); }));
  EXPECT_EQ(screen_.bytes, sent);
  for (unsigned p : screen_.ports) ASSERT_EQ(p, 4u);
}

TEST_F(SerialWindowTest, ClosingFromTheWindowThreadWhileBytesStream) {
  ASSERT_EQ(port_.OpenDevice(WindowByteSink(&screen_), sim_.DevicePath(), 4, 115200, L'N', 8, 1, 9, 512), 1);
  ASSERT_EQ(port_.StartReader(), 1);
  sim_.SendRaw(std::vector<uint8_t>(20000, 0x55));
  ASSERT_TRUE(d_.RunUntil([&] { return screen_.bytes.size() >= 100; }));
  port_.Close();  // the worker is sending to this very thread; the wait serves it
  const size_t after = screen_.bytes.size();
  d_.Settle();
  EXPECT_EQ(screen_.bytes.size(), after);  // nothing arrives once the port is closed
  EXPECT_FALSE(port_.IsOpen());
}
