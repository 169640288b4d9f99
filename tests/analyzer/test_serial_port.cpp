// CSerialPort over a pseudo-terminal with the board simulator on the other end.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "analyzer/frame.h"
#include "analyzer/board_port.h"
#include "analyzer/serial_port.h"
#include "analyzer/serial_trace.h"
#include "platform/sys/clock.h"
#include "platform/sys/program_dir.h"
#include "tools/boardsim/simulator.h"

using namespace analyzer;

namespace {

// Collects delivered bytes; can be told to hold a delivery (a hung owner). The state is
// shared with the sink function, so a late worker never touches a dead object.
class Sink {
 public:
  ByteSink Fn() {
    std::shared_ptr<Impl> s = s_;
    return [s](uint8_t b, unsigned port) {
      std::unique_lock<std::mutex> lock(s->mu);
      s->bytes.push_back(b);
      s->ports.push_back(port);
      s->cv.notify_all();
      s->cv.wait(lock, [&] { return !s->hold; });
    };
  }
  bool WaitFor(size_t n, int ms = 3000) {
    std::unique_lock<std::mutex> lock(s_->mu);
    return s_->cv.wait_for(lock, std::chrono::milliseconds(ms), [&] { return s_->bytes.size() >= n; });
  }
  std::vector<uint8_t> Bytes() {
    std::lock_guard<std::mutex> lock(s_->mu);
    return s_->bytes;
  }
  std::vector<unsigned> Ports() {
    std::lock_guard<std::mutex> lock(s_->mu);
    return s_->ports;
  }
  void Hold(bool on) {
    std::lock_guard<std::mutex> lock(s_->mu);
    s_->hold = on;
    s_->cv.notify_all();
  }

 private:
  struct Impl {
    std::mutex mu;
    std::condition_variable cv;
    std::vector<uint8_t> bytes;
    std::vector<unsigned> ports;
    bool hold = false;
  };
  std::shared_ptr<Impl> s_ = std::make_shared<Impl>();
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class SerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(::testing::TempDir()) /
           ("serialport_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    sys::SetProgramDir(dir_.string());
    ASSERT_TRUE(sim_.Start().ok());
  }
  void TearDown() override {
    sys::Clock::UseReal();
    sim_.Stop();
    sys::SetProgramDir("");
  }
  int OpenBoard(CSerialPort& port, Sink& sink, boardsim::Simulator& sim) {
    return port.OpenDevice(sink.Fn(), sim.DevicePath(), 4, 115200, L'N', 8, 1, kEvRxChar | kEvCts, 512);
  }
  void Queue(CSerialPort& port, uint8_t cls, uint8_t command, uint8_t p1 = 0) {
    const CommandFrame f = BuildCommandFrame(cls, command, p1);
    ASSERT_EQ(port.QueueWrite(f.data(), f.size()), 1);
  }

  std::filesystem::path dir_;
  boardsim::Simulator sim_;
};

}  // namespace

TEST_F(SerialPortTest, EveryByteDeliveredOnceAndInOrder) {
  CSerialPort port;
  Sink sink;
  ASSERT_EQ(OpenBoard(port, sink, sim_), 1) << port.LastError();
  ASSERT_EQ(port.StartReader(), 1);
  std::vector<uint8_t> sent;
  for (int i = 0; i < 6000; ++i) sent.push_back(static_cast<uint8_t>((i * 37 + i / 256) & 0xFF));
  sim_.SendRaw(sent);
  ASSERT_TRUE(sink.WaitFor(sent.size()));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // nothing more may follow
  EXPECT_EQ(sink.Bytes(), sent);
  for (unsigned p : sink.Ports()) ASSERT_EQ(p, 4u);
}

TEST_F(SerialPortTest, WritesGoOutFirstInFirstOut) {
  CSerialPort port;
  Sink sink;
  ASSERT_EQ(OpenBoard(port, sink, sim_), 1);
  ASSERT_EQ(port.StartReader(), 1);
  // Queued back to back, faster than the worker writes: none replaces or cuts another.
  const uint8_t commands[] = {0xFF, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0x60, 0x61, 0x62, 0x63, 0x7B};
  for (int round = 0; round < 5; ++round)
    for (uint8_t c : commands) Queue(port, 0xAA, c, static_cast<uint8_t>(round));
  const size_t n = 5 * sizeof commands;
  ASSERT_TRUE(sim_.WaitForReceived(n, 3000));
  const auto got = sim_.Received();
  ASSERT_EQ(got.size(), n);
  for (size_t i = 0; i < n; ++i) {
    EXPECT_TRUE(CommandFrameValid(got[i])) << i;
    EXPECT_EQ(got[i][2], commands[i % sizeof commands]) << i;
    EXPECT_EQ(got[i][3], i / sizeof commands) << i;
  }
  // Every command is answered; the replies come back whole and in order.
  ASSERT_TRUE(sink.WaitFor(n * kCommandFrameSize));
  EXPECT_FALSE(port.SendError());
}

TEST_F(SerialPortTest, TraceFileLines) {
  sys::Clock::UseManual(sys::LocalTime{2026, 3, 4, 9, 5, 7, 0, 3});
  {
    CSerialPort port;
    Sink sink;
    ASSERT_EQ(OpenBoard(port, sink, sim_), 1);
    ASSERT_EQ(port.StartReader(), 1);
    Queue(port, 0xAA, 0xFF);
    ASSERT_TRUE(sink.WaitFor(14));
    // A 0x7E starts a new received line; other bytes go on the current one.
    sim_.SendRaw({0x01, 0x7E, 0xE7});
    ASSERT_TRUE(sink.WaitFor(17));
    port.Close();
  }
  const std::string trace = ReadFile((dir_ / kSerialDataFile).string());
  EXPECT_EQ(trace,
            "\nS 2026-03-04 09:05:07 7e aa ff 00 00 00 00 00 00 00 00 00 55 e7 "
            "\nR 2026-03-04 09:05:07 7e aa ff ff 00 00 00 00 00 00 00 00 aa e7 01 "
            "\nR 2026-03-04 09:05:07 7e e7 ");
}

TEST_F(SerialPortTest, NoOwnerStillReadsAndTraces) {
  CSerialPort port;
  ASSERT_EQ(port.OpenDevice(nullptr, sim_.DevicePath(), 4, 115200, L'N', 8, 1, 9, 512), 1);
  ASSERT_EQ(port.StartReader(), 1);
  sim_.SendRaw({0x7E, 0x10, 0x20});
  for (int i = 0; i < 200 && ReadFile((dir_ / kSerialDataFile).string()).find("7e 10 20 ") == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_NE(ReadFile((dir_ / kSerialDataFile).string()).find("7e 10 20 "), std::string::npos);
}

TEST_F(SerialPortTest, OpenFailuresAreReported) {
  CSerialPort port;
  EXPECT_EQ(port.OpenDevice(nullptr, (dir_ / "no-such-device").string(), 4, 115200, L'N', 8, 1, 9, 512), 0);
  EXPECT_FALSE(port.LastError().empty());
  EXPECT_EQ(port.StartReader(), 0);
  EXPECT_EQ(port.QueueWrite(reinterpret_cast<const uint8_t*>("x"), 1), 0);
  EXPECT_EQ(port.QueueWriteString("R,1,"), 0);  // a text record on a closed port is refused, and says so
  port.Close();
  // A setting the line refuses fails the Open instead of leaving a half-configured port.
  EXPECT_EQ(port.OpenDevice(nullptr, sim_.DevicePath(), 4, 12345, L'N', 8, 1, 9, 512), 0);
  EXPECT_EQ(port.OpenDevice(nullptr, sim_.DevicePath(), 4, 115200, L'X', 8, 1, 9, 512), 0);
  EXPECT_FALSE(port.IsOpen());
  // Port 0 has no device name.
  EXPECT_EQ(port.Open(nullptr, 0, 115200, L'N', 8, 1, 9, 512), 0);
}

TEST_F(SerialPortTest, ATextTheQueueRefusesIsReported) {
  CSerialPort port;
  Sink sink;
  ASSERT_EQ(OpenBoard(port, sink, sim_), 1);
  // The worker is not started, so nothing leaves the queue: the second large text finds it full.
  const std::string big(700 * 1024, 'A');
  EXPECT_EQ(port.QueueWriteString(big), 1);
  EXPECT_EQ(port.QueueWriteString(big), 0);
  EXPECT_TRUE(port.SendError());
  port.Close();
}

TEST_F(SerialPortTest, ReopenAndExclusiveUse) {
  CSerialPort first;
  Sink a;
  ASSERT_EQ(OpenBoard(first, a, sim_), 1);
  ASSERT_EQ(first.StartReader(), 1);
  CSerialPort second;
  Sink b;
  EXPECT_EQ(OpenBoard(second, b, sim_), 0);  // one holder at a time
  first.Close();
  ASSERT_EQ(OpenBoard(second, b, sim_), 1);
  ASSERT_EQ(second.StartReader(), 1);
  Queue(second, 0xAA, 0x90);
  ASSERT_TRUE(b.WaitFor(14));
  EXPECT_EQ(b.Bytes()[2], 0x90);
  // Open on an open object with a running worker starts over cleanly.
  ASSERT_EQ(OpenBoard(second, b, sim_), 1);
  ASSERT_EQ(second.StartReader(), 1);
  Queue(second, 0xAA, 0x91);
  ASSERT_TRUE(b.WaitFor(28));
  EXPECT_EQ(b.Bytes()[16], 0x91);
  EXPECT_TRUE(a.Bytes().empty());
}

TEST_F(SerialPortTest, HungOwnerDoesNotHangCloseNorOtherPorts) {
  sys::Clock::UseManual();
  boardsim::Simulator other;
  ASSERT_TRUE(other.Start().ok());
  CSerialPort busy, quiet;
  Sink hung, live;
  ASSERT_EQ(OpenBoard(busy, hung, sim_), 1);
  ASSERT_EQ(OpenBoard(quiet, live, other), 1);
  ASSERT_EQ(busy.StartReader(), 1);
  ASSERT_EQ(quiet.StartReader(), 1);

  hung.Hold(true);
  sim_.SendRaw({0x7E, 0x01, 0x02});
  ASSERT_TRUE(hung.WaitFor(1));  // the worker is now inside a delivery that does not return

  auto closing = std::async(std::launch::async, [&] { busy.Close(); });
  // The wait is bounded on the program clock: advance it until Close gives up.
  for (int i = 0; i < 2000 && closing.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready; ++i)
    sys::Clock::Advance(100);
  ASSERT_EQ(closing.wait_for(std::chrono::seconds(2)), std::future_status::ready);
  EXPECT_FALSE(busy.IsOpen());

  // The other port's worker goes on.
  other.SendRaw({0x11, 0x22});
  ASSERT_TRUE(live.WaitFor(2));
  // The device is free again although the old worker has not finished its delivery.
  CSerialPort again;
  Sink fresh;
  ASSERT_EQ(OpenBoard(again, fresh, sim_), 1);
  ASSERT_EQ(again.StartReader(), 1);
  Queue(again, 0xAA, 0xFF);
  ASSERT_TRUE(fresh.WaitFor(14));

  hung.Hold(false);  // the late worker finishes on its own
  EXPECT_EQ(hung.Bytes().size(), 1u);
  quiet.Close();
  again.Close();
  other.Stop();
}

TEST_F(SerialPortTest, AFailedWriteIsASendErrorInTheTrace) {
  CSerialPort port;
  Sink sink;
  ASSERT_EQ(OpenBoard(port, sink, sim_), 1);
  ASSERT_EQ(port.StartReader(), 1);
  Queue(port, 0xAA, 0xFF);
  ASSERT_TRUE(sink.WaitFor(14));
  EXPECT_FALSE(port.SendError());
  sim_.Stop();  // the far end goes away
  Queue(port, 0xAA, 0x90);
  for (int i = 0; i < 400 && !port.SendError(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_TRUE(port.SendError());
  // One line "R <date> <time> comsend_errorid:<code>", the code a number and nothing after it.
  const std::string trace = ReadFile((dir_ / kChecksumFile).string());
  const size_t at = trace.find("comsend_errorid:");
  ASSERT_NE(at, std::string::npos) << trace;
  const size_t lineStart = trace.rfind('\n', at);
  ASSERT_NE(lineStart, std::string::npos);
  EXPECT_EQ(trace.substr(lineStart + 1, 2), "R ");
  size_t end = at + std::string("comsend_errorid:").size();
  const size_t digitsFrom = end;
  while (end < trace.size() && trace[end] >= '0' && trace[end] <= '9') ++end;
  EXPECT_GT(end, digitsFrom) << trace;
  EXPECT_TRUE(end == trace.size() || trace[end] == '\n') << trace;
}

TEST(SerialPortReportTest, ErrorText) {
  EXPECT_EQ(CSerialPort::ReportErrorText("SetCommState()", "bad baud", 4),
            "WARNING:  SetCommState() Failed with the following error: \nbad baud\nPort: 4\n");
}

TEST_F(SerialPortTest, BoardPortThroughTheEnvironmentAndTraceCopy) {
  sys::Clock::UseManual(sys::LocalTime{2026, 12, 9, 8, 15, 30, 0, 3});
  ::setenv("QUORVEX_COM4", sim_.DevicePath().c_str(), 1);
  CSerialPort port;
  Sink sink;
  ASSERT_EQ(OpenBoardPort(port, sink.Fn()), 1) << port.LastError();
  EXPECT_EQ(port.GetDcb().baud, 115200);
  EXPECT_EQ(port.GetEventMask(), 9u);
  EXPECT_EQ(port.GetWriteBufferSize(), 512u);
  CommandFrame sent{};
  ASSERT_EQ(QueueCommand(port, 0xAA, 0xA9, 1, 0, &sent), 1);
  EXPECT_EQ(sent[3], 1);
  ASSERT_TRUE(sink.WaitFor(14));
  port.Close();
  ::unsetenv("QUORVEX_COM4");

  ASSERT_TRUE(CopySerialTraceToLog("Timeout_serialdata.txt"));
  const auto copy = dir_ / "Log" / "20261209_081530Timeout_serialdata.txt";
  EXPECT_EQ(ReadFile(copy.string()), ReadFile((dir_ / kSerialDataFile).string()));
  std::filesystem::remove(dir_ / kSerialDataFile);
  EXPECT_FALSE(CopySerialTraceToLog("x.txt"));
}
