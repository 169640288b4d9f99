// Bytes reach the owner window as WM_USER+7, one message each and in order; a screen closing
// its port while bytes stream in does not deadlock; a message box opened by the byte handler
// holds up the screen but not the link.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "analyzer/board_port.h"
#include "analyzer/serial_port.h"
#include "analyzer/serial_window_sink.h"
#include "platform/sys/program_dir.h"
#include "platform/ui/app.h"
#include "platform/ui/message_box.h"
#include "platform/ui/test_driver.h"
#include "platform/ui/window.h"
#include "tools/boardsim/simulator.h"

using namespace analyzer;

namespace {

class BoardScreen : public ui::Window {
 public:
  std::vector<uint8_t> bytes;
  std::vector<unsigned> ports;
  int boxByte = -1;  // this byte makes the handler show a message box
  int depth = 0, deepest = 0;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override {
    if (msg == kSerialByteMessage) {
      ++depth;
      deepest = std::max(deepest, depth);
      bytes.push_back(static_cast<uint8_t>(w));
      ports.push_back(static_cast<unsigned>(l));
      if (static_cast<int>(w) == boxByte) ui::MessageBox(this, "Checksum error", "", ui::MB_OK);
      --depth;
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

TEST_F(SerialWindowTest, MessageBoxFromTheByteHandlerHoldsTheScreenNotTheLink) {
  screen_.boxByte = 0xB0;
  ASSERT_EQ(port_.OpenDevice(WindowByteSink(&screen_), sim_.DevicePath(), 4, 115200, L'N', 8, 1, 9, 512), 1);
  ASSERT_EQ(port_.StartReader(), 1);
  const analyzer::CommandFrame reset = BuildCommandFrame(0xAA, 0xFF);
  const analyzer::CommandFrame done = BuildCommandFrame(0xAA, 0xFF, 0xFF);
  bool writtenDuringBox = false, handledDuringBox = true, boxStillOpen = false;
  ASSERT_TRUE(d_.RunScript([&] { ui::RunMessageLoop(); },
                           [&](ui::TestDriver& s) {
                             sim_.SendRaw({0x01, 0xB0, 0x02});
                             ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }));
                             // More bytes arrive, and the screen queues a command, while the
                             // operator has not answered the box yet.
                             sim_.SendRaw({0x03, 0x04});
                             const size_t before = sim_.ReceivedCount();
                             port_.QueueWrite(reset.data(), reset.size());
                             writtenDuringBox = sim_.WaitForReceived(before + 1, 3000);
                             // Give the reply time to come back; the handler is not re-entered.
                             std::this_thread::sleep_for(std::chrono::milliseconds(300));
                             handledDuringBox = s.RunUntil([&] { return screen_.bytes.size() > 2; }, 300);
                             boxStillOpen = s.MessageBox() != nullptr;
                             s.AnswerMessageBox(ui::IDOK);
                             s.RunUntil([&] { return screen_.bytes.size() >= 5 + done.size(); }, 3000);
                             ui::PostToUiThread([] { ui::PostQuitMessage(0); });
                           }));
  EXPECT_TRUE(writtenDuringBox);
  EXPECT_FALSE(handledDuringBox);
  EXPECT_TRUE(boxStillOpen);
  // Everything that arrived while the box was open follows in order, the board's reply last.
  std::vector<uint8_t> expected = {0x01, 0xB0, 0x02, 0x03, 0x04};
  expected.insert(expected.end(), done.begin(), done.end());
  EXPECT_EQ(screen_.bytes, expected);
  EXPECT_EQ(screen_.deepest, 1);
  const std::vector<analyzer::CommandFrame> got = sim_.Received();
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.back(), reset);
}
