#include "analyzer/serial_window_sink.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/ui/app.h"
#include "platform/ui/window.h"

namespace analyzer {
namespace {

// Bytes on their way to one window. The worker appends; the window's thread takes them out
// one at a time and hands each to the window.
struct Inbox {
  ui::WindowHandle owner = 0;
  std::mutex mu;
  std::deque<std::pair<uint8_t, unsigned>> bytes;
  bool handOverPosted = false;  // a hand-over is queued or running: the worker posts no other
  bool handing = false;         // window's thread only: a byte handler is running
  std::atomic<bool> closed{false};
};

// Lives as long as the port keeps the sink: the port closed, waiting bytes are dropped.
struct SinkLife {
  std::shared_ptr<Inbox> inbox = std::make_shared<Inbox>();
  ~SinkLife() { inbox->closed = true; }
};

// On the window's thread. A handler that runs a nested loop does not get the next byte
// inside it: this hand-over is still running below it and goes on once the handler returns.
void HandOver(const std::shared_ptr<Inbox>& in) {
  if (in->handing) return;
  in->handing = true;
  for (;;) {
    std::pair<uint8_t, unsigned> b;
    {
      std::lock_guard<std::mutex> g(in->mu);
      if (in->closed) in->bytes.clear();
      if (in->bytes.empty()) {
        in->handOverPosted = false;
        break;
      }
      b = in->bytes.front();
      in->bytes.pop_front();
    }
    ui::SendMessageTo(in->owner, kSerialByteMessage, static_cast<ui::WParam>(b.first),
                      static_cast<ui::LParam>(b.second));
  }
  in->handing = false;
}

}  // namespace

ByteSink WindowByteSink(ui::WindowHandle owner) {
  if (owner == 0) return {};
  auto life = std::make_shared<SinkLife>();
  life->inbox->owner = owner;
  return [life](uint8_t byte, unsigned port) {
    const std::shared_ptr<Inbox>& in = life->inbox;
    {
      std::lock_guard<std::mutex> g(in->mu);
      in->bytes.emplace_back(byte, port);
      if (in->handOverPosted) return;
      in->handOverPosted = true;
    }
    std::shared_ptr<Inbox> keep = in;
    if (!ui::PostToUiThread([keep] { HandOver(keep); })) {
      std::lock_guard<std::mutex> g(in->mu);  // no window thread any more
      in->bytes.clear();
      in->handOverPosted = false;
    }
  };
}

ByteSink WindowByteSink(ui::Window* owner) { return owner ? WindowByteSink(owner->Handle()) : ByteSink{}; }

}  // namespace analyzer
