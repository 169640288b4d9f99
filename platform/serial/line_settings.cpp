#include "platform/serial/line_settings.h"

#include <cstdio>

namespace serial {

const int kBaudRates[6] = {9600, 19200, 38400, 57600, 115200, 230400};

namespace {
struct SpeedPair { int baud; speed_t speed; };
constexpr SpeedPair kSpeeds[] = {
    {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
};
}  // namespace

speed_t SpeedOf(int baud) {
  for (const auto& p : kSpeeds)
    if (p.baud == baud) return p.speed;
  return 0;
}

bool ParityFromLetter(int letter, Parity* out) {
  switch (letter) {
    case 'N': case 'n': *out = Parity::None; return true;
    case 'E': case 'e': *out = Parity::Even; return true;
    case 'O': case 'o': *out = Parity::Odd; return true;
    case 'M': case 'm': *out = Parity::Mark; return true;
    case 'S': case 's': *out = Parity::Space; return true;
    default: return false;
  }
}

char ParityLetter(Parity p) {
  switch (p) {
    case Parity::None: return 'N';
    case Parity::Even: return 'E';
    case Parity::Odd: return 'O';
    case Parity::Mark: return 'M';
    case Parity::Space: return 'S';
  }
  return '?';
}

Status ValidateSettings(const Settings& s) {
  char buf[160];
  if (SpeedOf(s.baud) == 0) {
    std::snprintf(buf, sizeof buf,
                  "baud rate %d is not supported (use 9600, 19200, 38400, 57600, 115200 or 230400)", s.baud);
    return {Error::BadSetting, buf};
  }
  if (s.dataBits < 5 || s.dataBits > 8) {
    std::snprintf(buf, sizeof buf, "%d data bits is not supported (use 5 to 8)", s.dataBits);
    return {Error::BadSetting, buf};
  }
  if (s.stopBits != 1 && s.stopBits != 2) {
    std::snprintf(buf, sizeof buf, "%d stop bits is not supported (use 1 or 2)", s.stopBits);
    return {Error::BadSetting, buf};
  }
  switch (s.parity) {
    case Parity::None: case Parity::Even: case Parity::Odd: case Parity::Mark: case Parity::Space: break;
    default: return {Error::BadSetting, "unknown parity"};
  }
  return {};
}

void MakeRawTermios(const Settings& s, termios* t) {
  cfmakeraw(t);
  t->c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  t->c_cflag |= CREAD | CLOCAL;
  switch (s.dataBits) {
    case 5: t->c_cflag |= CS5; break;
    case 6: t->c_cflag |= CS6; break;
    case 7: t->c_cflag |= CS7; break;
    default: t->c_cflag |= CS8; break;
  }
  // Mark and space parity are "stick" parity: the parity bit is always 1 (odd flag set) or
  // always 0 (odd flag clear).
  switch (s.parity) {
    case Parity::None: break;
    case Parity::Even: t->c_cflag |= PARENB; break;
    case Parity::Odd: t->c_cflag |= PARENB | PARODD; break;
    case Parity::Mark: t->c_cflag |= PARENB | CMSPAR | PARODD; break;
    case Parity::Space: t->c_cflag |= PARENB | CMSPAR; break;
  }
  // With parity on, a byte that arrives with a parity error is read as a zero byte rather than
  // silently dropped, so a frame keeps its length and its checksum shows the damage.
  t->c_iflag &= ~(INPCK | IGNPAR | PARMRK | ISTRIP | IXON | IXOFF | IXANY);
  if (s.parity != Parity::None) t->c_iflag |= INPCK;
  if (s.stopBits == 2) t->c_cflag |= CSTOPB;
  if (s.xonXoff) {
    t->c_iflag |= IXON | IXOFF;
    t->c_cc[VSTART] = 0x11;
    t->c_cc[VSTOP] = 0x13;
  }
  t->c_cc[VMIN] = 1;
  t->c_cc[VTIME] = 0;
  const speed_t sp = SpeedOf(s.baud);
  cfsetispeed(t, sp);
  cfsetospeed(t, sp);
}

bool SettingsFromTermios(const termios& t, Settings* s) {
  bool known = true;
  const speed_t sp = cfgetospeed(&t);
  s->baud = 0;
  for (const auto& p : kSpeeds)
    if (p.speed == sp) s->baud = p.baud;
  if (s->baud == 0) known = false;
  switch (t.c_cflag & CSIZE) {
    case CS5: s->dataBits = 5; break;
    case CS6: s->dataBits = 6; break;
    case CS7: s->dataBits = 7; break;
    default: s->dataBits = 8; break;
  }
  if (!(t.c_cflag & PARENB)) s->parity = Parity::None;
  else if (t.c_cflag & CMSPAR) s->parity = (t.c_cflag & PARODD) ? Parity::Mark : Parity::Space;
  else s->parity = (t.c_cflag & PARODD) ? Parity::Odd : Parity::Even;
  s->stopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
  s->xonXoff = (t.c_iflag & IXON) && (t.c_iflag & IXOFF);
  return known;
}

}  // namespace serial
