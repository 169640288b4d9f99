#pragma once
// What the service tests share: a board side that records the frames a sequence sends and the
// messages it shows, feeding the board's frames byte by byte, and the offscreen screen fixture
// with the board simulator on a pseudo-terminal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "analyzer/frame.h"
#include "analyzer/sequences/board_host.h"
#include "fixture.h"
#include "platform/sys/clock.h"
#include "platform/ui/test_driver.h"
#include "tools/boardsim/simulator.h"

// Records what a sequence asks of the board and of the operator.
class Recorder : public virtual analyzer::BoardHost {
 public:
  void Send(const analyzer::CommandFrame& frame) override { sent.push_back(frame); }
  void Message(const std::string& text, analyzer::BoxIcon icon) override {
    messages.push_back(text);
    icons.push_back(icon);
  }
  // "AA 20", "EF 03" ... of every frame sent.
  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const auto& f : sent) out.push_back(CommandName(f));
    return out;
  }
  std::string LastMessage() const { return messages.empty() ? std::string() : messages.back(); }
  std::vector<analyzer::CommandFrame> sent;
  std::vector<std::string> messages;
  std::vector<analyzer::BoxIcon> icons;
};

// Feeds a frame to a sequence on port 4.
template <class Seq>
void Feed(Seq& seq, const std::vector<uint8_t>& bytes) {
  for (uint8_t b : bytes) seq.OnSerialByte(b, 4);
}

// Hex text of a frame: "7E AA 20 00 ... E7".
inline std::string Hex(const analyzer::CommandFrame& f) {
  std::string s;
  char buf[4];
  for (size_t i = 0; i < f.size(); ++i) {
    std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", f[i]);
    s += buf;
  }
  return s;
}

// Moves the manual clock on and lets the sequence see the time.
template <class Seq>
void AdvanceAndPoll(Seq& seq, int64_t ms) {
  sys::Clock::Advance(ms);
  seq.Poll(sys::Clock::TickMs());
}

// A screen test: the offscreen framework with the manual clock, a program folder with a fresh
// store, and the board simulator as COM4.
class ServiceScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ui::TestDriver::Start());
    ResetProcessValues();
    ASSERT_TRUE(sim.Start().ok());
    ::setenv("QUORVEX_COM4", sim.DevicePath().c_str(), 1);
  }
  void TearDown() override {
    sim.Stop();
    ::unsetenv("QUORVEX_COM4");
    ui::TestDriver::Stop();
  }
  // Answers the message box on top (if any) and returns its text.
  static std::string TakeBox(ui::TestDriver& s, int button = 1) {
    if (!s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000)) return {};
    const std::string text = s.MessageBoxText();
    s.AnswerMessageBox(button);
    return text;
  }
  std::vector<std::string> SimCommands() const {
    std::vector<std::string> out;
    for (const auto& f : sim.Received()) out.push_back(CommandName(f));
    return out;
  }
  SequenceFolder folder;
  boardsim::Simulator sim;
  ui::TestDriver d;
};
