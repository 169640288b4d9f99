#include "core/write_log.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "core/lis_link_state.h"
#include "platform/net/socket_send.h"
#include "platform/sys/clock.h"
#include "platform/sys/debug_output.h"


namespace {

std::mutex g_hookMutex;
AlarmSender g_sender;

// UTF-8 to UTF-16, at most `limit` code units, never splitting a surrogate pair.
void CopyUtf16(const std::string& in, char16_t* out, size_t limit) {
  size_t n = 0;
  for (size_t i = 0; i < in.size();) {
    unsigned char c = static_cast<unsigned char>(in[i]);
    uint32_t cp;
    size_t len;
    if (c < 0x80) { cp = c; len = 1; }
    else if ((c >> 5) == 6) { cp = c & 0x1F; len = 2; }
    else if ((c >> 4) == 14) { cp = c & 0x0F; len = 3; }
    else if ((c >> 3) == 30) { cp = c & 0x07; len = 4; }
    else { cp = 0xFFFD; len = 1; }
    if (i + len > in.size()) { cp = 0xFFFD; len = in.size() - i; }
    else
      for (size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(in[i + k]) & 0x3F);
    i += len;
    if (cp >= 0x10000) {
      if (n + 2 > limit) break;
      cp -= 0x10000;
      out[n++] = static_cast<char16_t>(0xD800 + (cp >> 10));
      out[n++] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      if (n + 1 > limit) break;
      out[n++] = static_cast<char16_t>(cp);
    }
  }
}

}  // namespace

void SetAlarmSender(AlarmSender sender) {
  std::lock_guard<std::mutex> g(g_hookMutex);
  g_sender = std::move(sender);
}

AlarmRecord MakeAlarmRecord(const std::string& text, const std::string& time) {
  AlarmRecord r;
  std::memset(&r, 0, sizeof r);
  std::string stamp = time;
  if (stamp.empty()) {
    sys::LocalTime t = sys::Clock::Now();
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %.2d:%.2d:%.2d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    stamp = buf;
  }
  CopyUtf16(stamp, r.time, 31);
  CopyUtf16(text, r.message, 255);
  return r;
}

void WriteLog(const std::string& text, const std::string& time) {
  AlarmRecord record = MakeAlarmRecord(text, time);
  sys::DebugOutput(text);

  if (LisLinkState.AlarmSending != 1 || LisLinkState.LisConnected.load() == 0 ||
      LisLinkState.LinkKind == 0)
    return;
  AlarmSender sender;
  {
    std::lock_guard<std::mutex> g(g_hookMutex);
    sender = g_sender;
  }
  if (sender) sender(record);
}
