// The TCP client against loopback peers on 127.0.0.1: refusal, reset, orderly close, stalls in
// both directions, Shutdown from another thread, and an ordinary exchange.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/net/tcp_client.h"
#include "platform/net/tcp_listener.h"
#include "tests/support/io_faults.h"

namespace {

using net::Error;
using Clock = std::chrono::steady_clock;

long MsSince(Clock::time_point t0) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count());
}

// A listener on 127.0.0.1 and the client connected to it, with the server's end accepted.
class Loopback : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(listener.Listen().ok());
    ASSERT_NE(listener.Port(), 0);
  }
  void ConnectBoth() {
    const auto st = client.Connect("127.0.0.1", listener.Port(), 1000);
    ASSERT_TRUE(st.ok()) << st.text;
    const auto acc = listener.Accept(&server, 1000);
    ASSERT_TRUE(acc.ok()) << acc.text;
  }
  // Reads from `c` until `n` bytes came or the peer ended.
  static std::string ReceiveAll(net::TcpClient& c, size_t n) {
    std::string out;
    std::vector<char> buf(65536);
    while (out.size() < n) {
      auto r = c.Receive(buf.data(), buf.size(), 2000);
      if (!r.ok()) break;
      out.append(buf.data(), r.count);
    }
    return out;
  }
  net::TcpListener listener;
  net::TcpClient client, server;
};

TEST_F(Loopback, NormalExchange) {
  ConnectBoth();
  EXPECT_TRUE(client.IsConnected());
  EXPECT_EQ(client.PeerText(), "127.0.0.1:" + std::to_string(listener.Port()));
  const std::string msg = "\x0bMSH|^~\\&|Quorvex|||||20260105||ORU^R01|1|P|2.3.1\x1c\x0d";
  auto s = client.Send(msg, 1000);
  ASSERT_TRUE(s.ok()) << s.text;
  EXPECT_EQ(s.count, msg.size());
  EXPECT_EQ(ReceiveAll(server, msg.size()), msg);

  const std::string ack = "\x0bMSH|^~\\&|LIS||||||ACK^R01|1|P|2.3.1\x1c\x0d";
  ASSERT_TRUE(server.Send(ack, 1000).ok());
  EXPECT_EQ(ReceiveAll(client, ack.size()), ack);

  auto r = client.Receive(nullptr, 0, 0);
  EXPECT_TRUE(r.ok());
  char b[8];
  EXPECT_TRUE(client.Receive(b, sizeof b, 20).timedOut());
}

TEST_F(Loopback, RefusedWhenNothingListens) {
  const uint16_t port = listener.Port();
  listener.Close();
  const auto st = client.Connect("127.0.0.1", port, 1000);
  EXPECT_EQ(st.error, Error::Refused) << st.text;
  EXPECT_NE(st.text.find("refused"), std::string::npos);
  EXPECT_FALSE(client.IsConnected());
  char b[4];
  EXPECT_EQ(client.Receive(b, sizeof b, 0).error, Error::NotConnected);
  EXPECT_EQ(client.Send("x", 1, 0).error, Error::NotConnected);
}

TEST(TcpConnect, MalformedHostsAreRefusedWithoutALookup) {
  for (const char* host : {"", "no such host", "lis;rm", "a\nb", "host/1"}) {
    net::TcpClient c;
    const auto st = c.Connect(host, 5100, 100);
    EXPECT_EQ(st.error, Error::HostUnknown) << "\"" << host << "\": " << st.text;
    EXPECT_FALSE(st.text.empty());
  }
}

TEST_F(Loopback, ResetByPeer) {
  ConnectBoth();
  server.Abort();  // close with SO_LINGER 0: the client gets a reset
  char b[16];
  const auto r = client.Receive(b, sizeof b, 1000);
  EXPECT_EQ(r.error, Error::Reset) << r.text;
  EXPECT_NE(r.text.find("reset"), std::string::npos);
  EXPECT_FALSE(client.IsConnected());
}

TEST_F(Loopback, ClosedByPeer) {
  ConnectBoth();
  ASSERT_TRUE(server.Send("last words", 10, 1000).ok());
  server.Close();
  // What was sent before the close still arrives, then the close is reported.
  EXPECT_EQ(ReceiveAll(client, 10), "last words");
  char b[16];
  const auto r = client.Receive(b, sizeof b, 1000);
  EXPECT_EQ(r.error, Error::Closed) << r.text;
  EXPECT_FALSE(client.IsConnected());
}

TEST_F(Loopback, SendTimesOutWhenThePeerNeverReads) {
  ConnectBoth();
  std::string big(64u << 20, 'H');
  const auto t0 = Clock::now();
  const auto s = client.Send(big, 100);
  EXPECT_TRUE(s.timedOut()) << s.text;
  EXPECT_GT(s.count, 0u);
  EXPECT_LT(s.count, big.size());
  EXPECT_NE(s.text.find("timed out"), std::string::npos);
  EXPECT_LT(MsSince(t0), 2000);
}

TEST_F(Loopback, ShutdownWakesAReceiveThatWouldWaitForever) {
  ConnectBoth();
  net::IoResult r;
  std::thread t([&] {
    char b[1024];
    r = client.Receive(b, sizeof b);  // the peer never answers
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const auto t0 = Clock::now();
  client.Shutdown();
  t.join();
  EXPECT_LT(MsSince(t0), 500);
  EXPECT_EQ(r.error, Error::Stopped);
  EXPECT_FALSE(client.IsConnected());
  // Later calls stop too, and the peer sees the connection end.
  EXPECT_EQ(client.Send("x", 1, 100).error, Error::Stopped);
  char b[4];
  EXPECT_EQ(server.Receive(b, sizeof b, 1000).error, Error::Closed);
  client.Close();

  // The same object connects again.
  net::TcpClient server2;
  ASSERT_TRUE(client.Connect("127.0.0.1", listener.Port(), 1000).ok());
  ASSERT_TRUE(listener.Accept(&server2, 1000).ok());
  ASSERT_TRUE(client.Send("again", 5, 1000).ok());
  EXPECT_EQ(ReceiveAll(server2, 5), "again");
}

TEST_F(Loopback, ShutdownWakesABlockedSend) {
  ConnectBoth();
  std::string big(64u << 20, 'H');
  net::IoResult s;
  std::thread t([&] { s = client.Send(big, -1); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  client.Shutdown();
  t.join();
  EXPECT_EQ(s.error, Error::Stopped);
  EXPECT_LT(s.count, big.size());
}

TEST_F(Loopback, CloseFromAnotherThreadWaitsForTheReceiver) {
  ConnectBoth();
  net::IoResult r;
  std::thread t([&] {
    char b[64];
    r = client.Receive(b, sizeof b);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  client.Close();
  t.join();
  EXPECT_EQ(r.error, Error::Stopped);
  EXPECT_EQ(client.Fd(), -1);
}

TEST_F(Loopback, SendsFromTwoThreadsDoNotInterleave) {
  ConnectBoth();
  const size_t n = 16u << 20;  // larger than the socket buffers, so each send goes out in parts
  const std::string a(n, 'A'), b(n, 'B');
  std::string got;
  std::thread reader([&] { got = ReceiveAll(server, 2 * n); });
  // Each send may wait for the other to finish first: its deadline allows for a slow machine.
  std::thread ta([&] { EXPECT_TRUE(client.Send(a, 60000).ok()); });
  std::thread tb([&] { EXPECT_TRUE(client.Send(b, 60000).ok()); });
  ta.join();
  tb.join();
  reader.join();
  ASSERT_EQ(got.size(), 2 * n);
  EXPECT_TRUE(got == a + b || got == b + a) << "the two buffers were mixed on the wire";
}

TEST_F(Loopback, ConnectTimesOutAndShutdownStopsIt) {
  // A listener that never accepts, with a full queue, drops further connection requests, so a
  // connect waits for an answer that does not come.
  net::TcpListener full;
  ASSERT_TRUE(full.Listen("127.0.0.1", 0, 0).ok());
  std::vector<std::unique_ptr<net::TcpClient>> queued;
  net::Status st;
  for (int i = 0; i < 16; ++i) {
    auto c = std::make_unique<net::TcpClient>();
    st = c->Connect("127.0.0.1", full.Port(), 50);
    queued.push_back(std::move(c));
    if (!st.ok()) break;
  }
  ASSERT_EQ(st.error, Error::TimedOut) << st.text;

  net::TcpClient waiting;
  net::Status w;
  std::atomic<bool> done{false};
  const auto t0 = Clock::now();
  std::thread t([&] {
    w = waiting.Connect("127.0.0.1", full.Port(), -1);
    done = true;
  });
  // A connect starts afresh and forgets an earlier stop, so on a busy machine a stop that came
  // before the thread reached its connect would leave it waiting for the kernel's own give-up,
  // minutes later: stop until it has ended.
  while (!done) {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    waiting.Shutdown();
  }
  t.join();
  EXPECT_EQ(w.error, Error::Stopped) << w.text;
  EXPECT_LT(MsSince(t0), 10000);
}

TEST(TcpListen, AcceptTimesOutAndShutdownWakesIt) {
  net::TcpListener l;
  ASSERT_TRUE(l.Listen().ok());
  net::TcpClient c;
  EXPECT_EQ(l.Accept(&c, 20).error, Error::TimedOut);
  net::Status s;
  std::thread t([&] { s = l.Accept(&c, -1); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  l.Shutdown();
  t.join();
  EXPECT_EQ(s.error, Error::Stopped);
  EXPECT_EQ(net::TcpListener().Listen("not-an-address").error, Error::HostUnknown);
}

TEST_F(Loopback, SendsThroughTheFaultSeam) {
  const std::string msg(5000, 'q');
  struct Case {
    const char* name;
    sys::IoFault fault;
    int times;
    Error error;
    size_t count;  // bytes that went out
  } cases[] = {
      {"short sends are continued", support::IoFaults::Short(700), -1, Error::None, 5000},
      {"a reset on the second send", support::IoFaults::Error(ECONNRESET), 1, Error::Reset, 700},
      {"an I/O error", support::IoFaults::Error(EIO), 1, Error::Io, 700},
  };
  for (const Case& c : cases) {
    ConnectBoth();  // a failed send ends the connection: each case has one of its own
    support::IoFaults seam;
    seam.Add({sys::IoOp::Send, "", 1, support::IoFaults::Short(700), 1});
    seam.Add({sys::IoOp::Send, "", 2, c.fault, c.times});
    const auto r = client.Send(msg, 1000);
    EXPECT_EQ(r.error, c.error) << c.name << ": " << r.text;
    EXPECT_EQ(r.count, c.count) << c.name;
    if (c.error != Error::None) {
      EXPECT_FALSE(r.text.empty()) << c.name;
    }
    EXPECT_EQ(ReceiveAll(server, c.count), std::string(c.count, 'q')) << c.name;
  }
}

}  // namespace
