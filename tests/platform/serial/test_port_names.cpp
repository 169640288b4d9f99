// Port names to device paths, settings checks and parity letters: pure functions, no device.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/serial/port.h"

namespace {

struct NameCase {
  const char* name;
  const char* env;       // value of QUORVEX_COMn for the case, or null to unset it
  bool ok;
  const char* path;
};

TEST(PortNames, MapToDevicePaths) {
  const NameCase cases[] = {
      {"COM1", nullptr, true, "/dev/ttyS0"},
      {"COM4", nullptr, true, "/dev/ttyS3"},
      {"com3", nullptr, true, "/dev/ttyS2"},
      {"COM10", nullptr, true, "/dev/ttyS9"},
      {"\\\\.\\COM12", nullptr, true, "/dev/ttyS11"},
      {"COM4", "/dev/pts/7", true, "/dev/pts/7"},
      {"COM4", "", true, "/dev/ttyS3"},        // an empty variable does not count
      {"/dev/ttyUSB0", nullptr, true, "/dev/ttyUSB0"},
      {"COM0", nullptr, false, ""},
      {"COM", nullptr, false, ""},
      {"COM4x", nullptr, false, ""},
      {"COM04", nullptr, false, ""},
      {"LPT1", nullptr, false, ""},
      {"", nullptr, false, ""},
      {"ttyS0", nullptr, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + (c.env ? std::string(" with ") + c.env : ""));
    for (const char* var : {"QUORVEX_COM4", "QUORVEX_COM12"}) unsetenv(var);
    if (c.env) setenv("QUORVEX_COM4", c.env, 1);
    std::string path, why;
    EXPECT_EQ(serial::DevicePathFor(c.name, &path, &why), c.ok);
    if (c.ok) EXPECT_EQ(path, c.path);
    else EXPECT_FALSE(why.empty());
  }
  unsetenv("QUORVEX_COM4");
}

TEST(PortNames, ByNumber) {
  unsetenv("QUORVEX_COM3");
  std::string path;
  ASSERT_TRUE(serial::DevicePathForNumber(3, &path));
  EXPECT_EQ(path, "/dev/ttyS2");
  setenv("QUORVEX_COM3", "/tmp/printer-pty", 1);
  ASSERT_TRUE(serial::DevicePathForNumber(3, &path));
  EXPECT_EQ(path, "/tmp/printer-pty");
  unsetenv("QUORVEX_COM3");
  std::string why;
  EXPECT_FALSE(serial::DevicePathForNumber(0, &path, &why));
  EXPECT_FALSE(why.empty());
}

TEST(Settings, ParityLetters) {
  const struct { int letter; bool ok; serial::Parity p; } cases[] = {
      {'N', true, serial::Parity::None}, {'E', true, serial::Parity::Even}, {'O', true, serial::Parity::Odd},
      {'M', true, serial::Parity::Mark}, {'S', true, serial::Parity::Space}, {'e', true, serial::Parity::Even},
      {L'O', true, serial::Parity::Odd}, {'X', false, serial::Parity::None}, {0, false, serial::Parity::None},
  };
  for (const auto& c : cases) {
    serial::Parity p = serial::Parity::None;
    EXPECT_EQ(serial::ParityFromLetter(c.letter, &p), c.ok) << c.letter;
    if (c.ok) {
      EXPECT_EQ(p, c.p);
      EXPECT_EQ(serial::ParityLetter(p), std::toupper(c.letter));
    }
  }
}

TEST(Settings, Validation) {
  const struct { int baud, data, stop; bool ok; const char* mentions; } cases[] = {
      {9600, 8, 1, true, ""},      {19200, 8, 1, true, ""},      {38400, 7, 2, true, ""},
      {57600, 6, 1, true, ""},     {115200, 5, 2, true, ""},     {230400, 8, 1, true, ""},
      {4800, 8, 1, false, "4800"}, {14400, 8, 1, false, "14400"}, {460800, 8, 1, false, "460800"},
      {0, 8, 1, false, "baud"},    {9600, 4, 1, false, "data"},   {9600, 9, 1, false, "data"},
      {9600, 8, 0, false, "stop"}, {9600, 8, 3, false, "stop"},
  };
  for (const auto& c : cases) {
    serial::Settings s;
    s.baud = c.baud;
    s.dataBits = c.data;
    s.stopBits = c.stop;
    const serial::Status st = serial::ValidateSettings(s);
    SCOPED_TRACE(std::to_string(c.baud) + " " + std::to_string(c.data) + " " + std::to_string(c.stop));
    EXPECT_EQ(st.ok(), c.ok);
    if (!c.ok) {
      EXPECT_EQ(st.error, serial::Error::BadSetting);
      EXPECT_NE(st.text.find(c.mentions), std::string::npos) << st.text;
    }
  }
}

}  // namespace
