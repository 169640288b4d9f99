#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/serial/port.h"

namespace serial {

bool DevicePathForNumber(unsigned n, std::string* path, std::string* why) {
  if (n == 0) {
    if (why) *why = "there is no port COM0";
    return false;
  }
  char var[32];
  std::snprintf(var, sizeof var, "QUORVEX_COM%u", n);
  const char* env = std::getenv(var);
  if (env && *env) {
    *path = env;
    return true;
  }
  char dev[32];
  std::snprintf(dev, sizeof dev, "/dev/ttyS%u", n - 1);
  *path = dev;
  return true;
}

bool DevicePathFor(const std::string& name, std::string* path, std::string* why) {
  if (!name.empty() && name[0] == '/') {
    *path = name;
    return true;
  }
  std::string s = name;
  // The Windows device namespace prefix names the same port.
  if (s.rfind("\\\\.\\", 0) == 0) s = s.substr(4);
  auto bad = [&] {
    if (why) *why = "\"" + name + "\" is not a serial port name (COM1, COM2, ... or a device path)";
    return false;
  };
  if (s.size() < 4 || std::toupper(static_cast<unsigned char>(s[0])) != 'C' ||
      std::toupper(static_cast<unsigned char>(s[1])) != 'O' ||
      std::toupper(static_cast<unsigned char>(s[2])) != 'M')
    return bad();
  unsigned long n = 0;
  for (size_t i = 3; i < s.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return bad();
    n = n * 10 + static_cast<unsigned long>(s[i] - '0');
    if (n > 9999) return bad();
  }
  if (s.size() > 4 && s[3] == '0') return bad();  // "COM04" is not a port name
  return DevicePathForNumber(static_cast<unsigned>(n), path, why);
}

}  // namespace serial
