// The SDL2 backend: one window (full screen on the instrument), SDL input turned into our raw
// input (touch arrives as mouse input). The screen is composed in software, so it reaches the
// window through the window's own surface (shared memory on X11), changed rectangles only; no
// GL driver is loaded for it. QUORVEX_PRESENT=renderer chooses an SDL renderer and a streaming
// texture instead, for a display whose window surface cannot be had. The window layer says
// which rectangles changed; nothing is compared here.
#include <algorithm>
#include <SDL.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/ui/detail/backend.h"
#include "platform/ui/detail/x11_display_watch.h"
#include "platform/ui/keys.h"

namespace ui::detail {
namespace {

unsigned VirtualKey(SDL_Keycode k) {
  if (k >= SDLK_a && k <= SDLK_z) return 'A' + static_cast<unsigned>(k - SDLK_a);
  if (k >= SDLK_0 && k <= SDLK_9) return '0' + static_cast<unsigned>(k - SDLK_0);
  if (k >= SDLK_F1 && k <= SDLK_F12) return VK_F1 + static_cast<unsigned>(k - SDLK_F1);
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return VK_NUMPAD0 + 1 + static_cast<unsigned>(k - SDLK_KP_1);
  switch (k) {
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    case SDLK_MINUS: return 0xBD;
    case SDLK_PERIOD: return 0xBE;
    case SDLK_COMMA: return 0xBC;
    default: return 0;
  }
}

// Decodes the UTF-8 of a text-input event into code points.
void Utf8ToCodePoints(const char* s, std::vector<unsigned>& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(s);
  while (*p) {
    unsigned cp = *p;
    int extra = 0;
    if (cp >= 0xF0) { cp &= 0x07; extra = 3; }
    else if (cp >= 0xE0) { cp &= 0x0F; extra = 2; }
    else if (cp >= 0xC0) { cp &= 0x1F; extra = 1; }
    ++p;
    for (int i = 0; i < extra && (*p & 0xC0) == 0x80; ++i, ++p) cp = (cp << 6) | (*p & 0x3F);
    out.push_back(cp);
  }
}

// Set once the display's connection is lost (x11_display_watch.h); the window loop hears of it
// in Poll and the program ends its own way, drawing nothing any more.
std::atomic<bool> g_displayLost{false};
std::atomic<bool> g_displayLostTold{false};
std::atomic<int> g_wakeFd{-1};

void WakeFd(int fd) {
  if (fd < 0) return;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(fd, &one, sizeof one);
}

void OnDisplayConnectionLost() {
  g_displayLost = true;
  WakeFd(g_wakeFd.load());
}

class SdlBackend : public Backend {
 public:
  ~SdlBackend() override {
    if (g_displayLost.load()) return;  // nothing left to release on a display that is gone
    for (SDL_Cursor* c : cursors_) {
      if (c) SDL_FreeCursor(c);
    }
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    if (inited_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  bool Open(const InitOptions& options, Size& size) override {
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      std::fprintf(stderr, "ui: SDL: %s\n", SDL_GetError());
      return false;
    }
    inited_ = true;
    const Uint32 own = SDL_RegisterEvents(1);
    wakeEvent_ = own != static_cast<Uint32>(-1) ? own : static_cast<Uint32>(SDL_USEREVENT);
    Uint32 flags = SDL_WINDOW_SHOWN;
    // No size asked: the display's own, so the screens fill it (a window at its top left
    // corner, or the full screen).
    bool fitDisplay = false;
    if (size.cx <= 0 || size.cy <= 0) {
      SDL_DisplayMode mode;
      if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
        size = Size(mode.w, mode.h);
        fitDisplay = true;
      } else {
        size = Size(800, 600);
      }
    }
    if (options.fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    else if (fitDisplay) flags |= SDL_WINDOW_BORDERLESS;
    const int pos = fitDisplay ? 0 : SDL_WINDOWPOS_CENTERED;
    window_ = SDL_CreateWindow(options.title.c_str(), pos, pos, size.cx, size.cy, flags);
    if (!window_) {
      std::fprintf(stderr, "ui: SDL window: %s\n", SDL_GetError());
      return false;
    }
    const char* present = std::getenv("QUORVEX_PRESENT");
    const bool wantRenderer = present != nullptr && std::strcmp(present, "renderer") == 0;
    // Without this hint SDL backs the window surface with an accelerated texture, which loads
    // the GL driver (Mesa's software GL with LLVM on a PC without a GPU driver) after all.
    if (!wantRenderer) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (!wantRenderer && SDL_GetWindowSurface(window_) != nullptr) {
      std::fprintf(stderr, "ui: presenting through the window surface\n");
    } else if (!OpenRenderer(size)) {
      return false;
    }
    size_ = size;
    // On X the wait for input is our own: SDL's wake-up of its wait writes on a second X
    // connection of its own, whose loss Xlib would answer with exit.
    xFd_ = WatchX11Connection(window_, &OnDisplayConnectionLost);
    if (xFd_ >= 0) {
      wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
      g_wakeFd = wakeFd_;
    }
    SDL_StartTextInput();
    return true;
  }

  void Present(const draw::Bitmap& screen, const std::vector<Rect>& changed) override {
    if (screen.IsNull() || g_displayLost.load()) return;
    if (renderer_) {
      for (const Rect& r : changed) {
        const SDL_Rect sr{r.left, r.top, r.Width(), r.Height()};
        SDL_UpdateTexture(texture_, &sr, screen.Data() + static_cast<size_t>(r.top) * static_cast<size_t>(screen.Stride()) +
                                             static_cast<size_t>(r.left) * 4,
                          screen.Stride());
      }
      RenderTexture();
      return;
    }
    PresentToSurface(screen, changed);
  }

  void Poll(std::vector<InputEvent>& out) override {
    if (g_displayLost.load()) {
      if (!g_displayLostTold.exchange(true)) {
        InputEvent lost;
        lost.kind = InputEvent::Kind::DisplayLost;
        out.push_back(lost);
      }
      return;
    }
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      InputEvent ev;
      const SDL_Keymod mod = SDL_GetModState();
      ev.shift = mod & KMOD_SHIFT;
      ev.ctrl = mod & KMOD_CTRL;
      ev.alt = mod & KMOD_ALT;
      switch (e.type) {
        case SDL_QUIT:
          ev.kind = InputEvent::Kind::Quit;
          out.push_back(ev);
          break;
        case SDL_MOUSEMOTION:
          ev.kind = InputEvent::Kind::MouseMove;
          ev.pt = Point(e.motion.x, e.motion.y);
          out.push_back(ev);
          break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
          ev.kind = e.type == SDL_MOUSEBUTTONDOWN ? InputEvent::Kind::MouseDown : InputEvent::Kind::MouseUp;
          ev.pt = Point(e.button.x, e.button.y);
          ev.button = e.button.button == SDL_BUTTON_LEFT ? 0 : e.button.button == SDL_BUTTON_RIGHT ? 1 : 2;
          ev.clicks = e.button.clicks >= 2 && (e.button.clicks % 2 == 0) ? 2 : 1;
          out.push_back(ev);
          break;
        case SDL_MOUSEWHEEL: {
          int x = 0, y = 0;
          SDL_GetMouseState(&x, &y);
          ev.kind = InputEvent::Kind::Wheel;
          ev.pt = Point(x, y);
          ev.wheel = e.wheel.y * 120;
          out.push_back(ev);
          break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
          ev.kind = e.type == SDL_KEYDOWN ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
          ev.vk = VirtualKey(e.key.keysym.sym);
          ev.repeat = e.key.repeat != 0;
          if (ev.vk) out.push_back(ev);
          // Keys that produce no text input still type their character.
          if (e.type == SDL_KEYDOWN && (ev.vk == VK_BACK || ev.vk == VK_RETURN || ev.vk == VK_ESCAPE || ev.vk == VK_TAB)) {
            InputEvent ch = ev;
            ch.kind = InputEvent::Kind::Char;
            ch.ch = ev.vk == VK_TAB ? 9 : ev.vk == VK_BACK ? 8 : ev.vk == VK_RETURN ? 13 : 27;
            out.push_back(ch);
          }
          break;
        }
        case SDL_TEXTINPUT: {
          std::vector<unsigned> cps;
          Utf8ToCodePoints(e.text.text, cps);
          for (unsigned cp : cps) {
            InputEvent ch = ev;
            ch.kind = InputEvent::Kind::Char;
            ch.ch = cp;
            out.push_back(ch);
          }
          break;
        }
        case SDL_WINDOWEVENT:
          if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) exposed_ = true;
          break;
        default:
          break;
      }
    }
    if (exposed_) {
      exposed_ = false;
      if (renderer_) {
        RenderTexture();
      } else if (!last_.IsNull()) {
        // The window lost its contents (or its surface): show the whole last frame again.
        PresentToSurface(last_, {Rect(0, 0, last_.Width(), last_.Height())});
      }
    }
  }

  bool WaitForInput(int64_t timeoutMs) override {
    if (g_displayLost.load()) {  // no input comes any more; the program is ending
      SDL_Delay(static_cast<Uint32>(timeoutMs < 0 ? 20 : std::min<int64_t>(timeoutMs, 20)));
      return true;
    }
    if (wakeFd_ >= 0) {
      // What Xlib has read already is taken first; then the X connection or a wake-up.
      SDL_PumpEvents();
      if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) return true;
      pollfd p[2] = {{xFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
      ::poll(p, 2, timeoutMs < 0 ? -1 : static_cast<int>(std::min<int64_t>(timeoutMs, 1 << 30)));
      uint64_t count = 0;
      [[maybe_unused]] const ssize_t n = ::read(wakeFd_, &count, sizeof count);
      return true;
    }
    // SDL waits on the display connection itself; a pushed wake event ends the wait early.
    if (timeoutMs < 0) {
      SDL_WaitEvent(nullptr);
    } else {
      SDL_WaitEventTimeout(nullptr, static_cast<int>(std::min<int64_t>(timeoutMs, 1 << 30)));
    }
    return true;
  }
  void InterruptWait() override {
    if (wakeFd_ >= 0) {
      WakeFd(wakeFd_);
      return;
    }
    SDL_Event e{};
    e.type = wakeEvent_;
    SDL_PushEvent(&e);
  }
  void SetCursorVisible(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }
  void SetCursorShape(CursorShape shape) override {
    const int i = static_cast<int>(shape);
    static const SDL_SystemCursor kSdl[] = {SDL_SYSTEM_CURSOR_ARROW,  SDL_SYSTEM_CURSOR_IBEAM,  SDL_SYSTEM_CURSOR_WAIT,
                                            SDL_SYSTEM_CURSOR_CROSSHAIR, SDL_SYSTEM_CURSOR_SIZEWE, SDL_SYSTEM_CURSOR_SIZENS,
                                            SDL_SYSTEM_CURSOR_SIZEALL, SDL_SYSTEM_CURSOR_HAND, SDL_SYSTEM_CURSOR_NO};
    if (i < 0 || i >= 9) return;
    if (!cursors_[i]) cursors_[i] = SDL_CreateSystemCursor(kSdl[i]);
    if (cursors_[i]) SDL_SetCursor(cursors_[i]);
  }
  void SetClipboard(const std::string& text) override { SDL_SetClipboardText(text.c_str()); }
  bool GetClipboard(std::string& text) override {
    if (!SDL_HasClipboardText()) return false;
    char* t = SDL_GetClipboardText();
    if (!t) return false;
    text = t;
    SDL_free(t);
    return true;
  }
  BackendKind Kind() const override { return BackendKind::Sdl; }

 private:
  Uint32 wakeEvent_ = SDL_USEREVENT;  // pushed only to end a wait; Poll passes it over
  int xFd_ = -1;                      // the X connection, when the window is on X
  int wakeFd_ = -1;                   // ends our own wait on it (never closed: see g_wakeFd)
  bool OpenRenderer(const Size& size) {
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) return false;
    SDL_RenderSetLogicalSize(renderer_, size.cx, size.cy);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, size.cx, size.cy);
    if (!texture_) return false;
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer_, &info) == 0) std::fprintf(stderr, "ui: presenting through the %s renderer\n", info.name);
    return true;
  }

  void RenderTexture() {
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
  }

  // Copies the changed rectangles of the frame into the window surface and shows just those.
  // A window of another size than the frame (a desktop that refused the size) gets the whole
  // frame scaled.
  void PresentToSurface(const draw::Bitmap& screen, const std::vector<Rect>& changed) {
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    if (!target) return;
    last_ = screen;
    if (target->w != screen.Width() || target->h != screen.Height() || target->format->BytesPerPixel != 4 ||
        target->format->Rmask != 0x00FF0000u || target->format->Gmask != 0x0000FF00u ||
        target->format->Bmask != 0x000000FFu) {
      SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(screen.Data()), screen.Width(),
                                                               screen.Height(), 32, screen.Stride(), SDL_PIXELFORMAT_ARGB8888);
      if (!source) return;
      SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
      SDL_BlitScaled(source, nullptr, target, nullptr);
      SDL_FreeSurface(source);
      SDL_UpdateWindowSurface(window_);
      return;
    }
    // The surface holds the same 32-bit words as the frame: the rectangles are copied as the
    // offscreen display copies them.
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
    CopyChangedRects(screen, changed, static_cast<uint8_t*>(target->pixels), target->pitch);
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    std::vector<SDL_Rect> rects;
    rects.reserve(changed.size());
    for (const Rect& r : changed) rects.push_back(SDL_Rect{r.left, r.top, r.Width(), r.Height()});
    if (!rects.empty()) SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(rects.size()));
  }

  bool inited_ = false;
  bool exposed_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  SDL_Cursor* cursors_[9] = {};
  Size size_;
  draw::Bitmap last_;  // shares the composed screen's pixels: shown again when exposed
};

}  // namespace

std::unique_ptr<Backend> MakeSdlBackend() { return std::make_unique<SdlBackend>(); }

}  // namespace ui::detail
