// The skinned push button: its looks per state, hover, press, the space bar and missing skins.
#include "controls/caption_font.h"
#include "controls/xp_button.h"
#include "fixture.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "resources/skin/skin_ids.h"
#include "resources/skin/skin_paint.h"

namespace {

struct ButtonHost : ui::Dialog {
  CXPButton a, b, c;
  int clicks[3] = {0, 0, 0};
  explicit ButtonHost(const ui::DialogTemplate& t) : ui::Dialog(t) {}
  void DoDataExchange(ui::DataExchange& dx) override {
    ui::ExchangeControl(dx, 11, a);
    ui::ExchangeControl(dx, 12, b);
    ui::ExchangeControl(dx, 13, c);
  }
  bool OnInitDialog() override {
    ui::Dialog::OnInitDialog();
    a.SetBitmaps(446, 448, 447);
    b.SetBitmaps(446, 448, 447);
    c.SetBitmaps(446, 448, 447);
    return true;
  }
  bool OnCommand(int id, int code, ui::Window*) override {
    if (code == ui::BN_CLICKED && id >= 11 && id <= 13) {
      ++clicks[id - 11];
      return true;
    }
    return false;
  }
};

ui::DialogTemplate HostTemplate(const char* a = "Save", const char* b = "Print", const char* c = "Exit") {
  ui::DialogTemplate t;
  t.cx = 200;
  t.cy = 60;
  t.style = ui::WS_POPUP | ui::WS_VISIBLE | ui::DS_CENTER;
  const uint32_t V = ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_PUSHBUTTON;
  t.Add("Button", 11, a, 10, 10, 48, 16, V);
  t.Add("Button", 12, b, 70, 10, 48, 16, V);
  t.Add("Button", 13, c, 130, 10, 48, 16, V);
  return t;
}

// The skin's pixel that lands on the button's middle-left area (stretched 96x32 -> 96x32).
draw::Color SkinAt(int id, int x, int y) { return skin::Paint(*skin::FindSkinBitmap(id)).GetPixel(x, y); }

}  // namespace

TEST_F(SkinnedTest, ButtonLooksFollowStateHoverAndDisabled) {
  ButtonHost host(HostTemplate());
  ASSERT_TRUE(host.CreateModeless());
  host.c.EnableWindow(false);
  d.Settle();
  // The pointer rests on the second button: after the 1 ms hover time it shows the hover skin.
  const ui::Rect rb = host.b.GetWindowRect();
  d.MoveTo(ui::Point(rb.left + 4, rb.top + 4));
  d.Advance(5);
  d.Settle();
  EXPECT_TRUE(host.b.hover);
  EXPECT_FALSE(host.a.hover);
  const draw::Bitmap screen = d.Screen();
  screen.SavePng(PngPath("button_states"));
  // A spot left of the caption, inside the face.
  EXPECT_LT(ColourDistance(At(screen, &host.a, 8, 16), SkinAt(446, 8, 16)), 30);
  EXPECT_LT(ColourDistance(At(screen, &host.b, 8, 16), SkinAt(448, 8, 16)), 30);
  EXPECT_LT(ColourDistance(At(screen, &host.c, 8, 16), SkinAt(447, 8, 16)), 30);
  EXPECT_GT(ColourDistance(SkinAt(446, 8, 16), SkinAt(448, 8, 16)), 20);
  // The rounded corner is see-through: the dialog face shows, not magenta.
  EXPECT_NE(At(screen, &host.a, 0, 0), draw::kMagenta);
  EXPECT_TRUE(SkinLoadFailures().empty());

  // Leaving the button ends the hover look and tracking starts again on the next move.
  d.MoveTo(ui::Point(rb.left - 30, rb.bottom + 30));
  d.Settle();
  EXPECT_FALSE(host.b.hover);
  EXPECT_FALSE(host.b.tracking);
}

TEST_F(SkinnedTest, ButtonClicksByMouseButNeverBySpaceAndIsNoTabStop) {
  ButtonHost host(HostTemplate());
  ASSERT_TRUE(host.CreateModeless());
  d.Settle();
  EXPECT_FALSE(host.a.GetStyle() & ui::WS_TABSTOP);
  EXPECT_EQ(host.a.GetStyle() & ui::BS_TYPEMASK, ui::BS_OWNERDRAW);
  ASSERT_TRUE(d.Press(11));
  EXPECT_EQ(host.clicks[0], 1);
  host.a.SetFocus();
  d.Key(ui::VK_SPACE);
  d.Settle();
  EXPECT_EQ(host.clicks[0], 1);
}

TEST_F(SkinnedTest, HeldDownCaptionMovesOnePixelDisabledNeverMoves) {
  // Same button painted up and down: the caption's ink moves by (1, 1).
  struct Case {
    bool enabled;
    int expectedShift;
  };
  for (const Case& c : {Case{true, 1}, Case{false, 0}}) {
    SCOPED_TRACE(c.enabled ? "enabled" : "disabled");
    CXPButton b;
    b.SetBitmaps(446, 448, 0);
    auto paint = [&](bool down) {
      draw::Bitmap bmp = draw::Bitmap::Create(96, 32, draw::kWhite);
      draw::DC dc(bmp);
      ui::DrawItemInfo info;
      info.dc = &dc;
      info.rcItem = ui::Rect(0, 0, 96, 32);
      info.itemState = (down ? ui::ODS_SELECTED : 0u) | (c.enabled ? 0u : ui::ODS_DISABLED);
      b.SetWindowText("I");
      b.DrawItem(info);
      dc.Flush();
      return bmp;
    };
    const draw::Bitmap up = paint(false), down = paint(true);
    // The first column (from the left) where the two pictures differ from a plain face.
    auto inkLeft = [](const draw::Bitmap& bm) {
      for (int x = 20; x < 76; ++x)
        for (int y = 4; y < 28; ++y) {
          const draw::Color p = bm.GetPixel(x, y), q = bm.GetPixel(10, y);
          if (ColourDistance(p, q) > 90) return x;
        }
      return -1;
    };
    ASSERT_GE(inkLeft(up), 0);
    EXPECT_EQ(inkLeft(down) - inkLeft(up), c.expectedShift);
  }
}

TEST_F(SkinnedTest, ArrowTrianglesPerStyle) {
  struct Case {
    int style;
    ui::Point p0, p1, p2;
  };
  // A 40 x 30 button: x0 = 12, y0 = 7.
  const Case cases[] = {
      {1, {20, 7}, {28, 23}, {12, 23}},
      {2, {20, 23}, {12, 7}, {28, 7}},
      {3, {12, 15}, {28, 7}, {28, 23}},
      {4, {28, 15}, {12, 23}, {12, 7}},
  };
  for (const Case& c : cases) {
    ui::Point pts[3];
    ASSERT_TRUE(XPButtonArrowPoints(c.style, 40, 30, false, pts));
    EXPECT_EQ(pts[0], c.p0);
    EXPECT_EQ(pts[1], c.p1);
    EXPECT_EQ(pts[2], c.p2);
    ASSERT_TRUE(XPButtonArrowPoints(c.style, 40, 30, true, pts));
    EXPECT_EQ(pts[0], ui::Point(c.p0.x + 1, c.p0.y + 1));
  }
  ui::Point pts[3];
  EXPECT_FALSE(XPButtonArrowPoints(0, 40, 30, false, pts));
}

TEST_F(SkinnedTest, MissingSkinIsLoggedAndDrawnPlainWithoutAMessageBox) {
  ButtonHost host(HostTemplate());
  ASSERT_TRUE(host.CreateModeless());
  host.a.SetBitmaps(9001, 9002, 0);
  host.a.Invalidate();
  const draw::Bitmap screen = d.Screen();
  EXPECT_EQ(d.MessageBox(), nullptr);
  const auto failures = SkinLoadFailures();
  ASSERT_FALSE(failures.empty());
  EXPECT_EQ(failures.front(), "9001: Load BTN Normal status Bitmap Error!");
  // The plain face, not the dialog background.
  EXPECT_LT(ColourDistance(At(screen, &host.a, 6, 16), draw::RGB(35, 75, 105)), 10);
}

TEST_F(SkinnedTest, ZeroBitmapIdsAreRefusedWithAMessage) {
  struct Case {
    unsigned normal, hover;
    const char* message;
  };
  const Case cases[] = {{0, 448, "BTN First Resource ID Error!"}, {446, 0, "BTN Second Resource ID Error!"}};
  for (const Case& c : cases) {
    CXPButton b;
    b.SetBitmaps(1, 2, 3);
    std::string shown;
    ui::SetMessageBoxHandler([&](ui::Window*, const std::string& text, const std::string&, unsigned) {
      shown = text;
      return ui::IDOK;
    });
    b.SetBitmaps(c.normal, c.hover, 447);
    EXPECT_EQ(shown, c.message);
    EXPECT_EQ(b.normalBitmapId, 1u);
    EXPECT_EQ(b.hoverBitmapId, 2u);
    EXPECT_EQ(b.disabledBitmapId, 3u);
  }
}

TEST_F(SkinnedTest, CaptionFontFollowsLanguageAndLayoutScale) {
  struct Case {
    int language;
    float scale;
    const char* face;
    int height;
  };
  const Case cases[] = {{0, 1.0f, "微软雅黑", 22}, {1, 1.0f, "Arial", 17}, {0, 1.25f, "微软雅黑", 27}, {3, 1.25f, "Arial", 21}};
  for (const Case& c : cases) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(c.language);
    AppSettings.LayoutScale = c.scale;
    const draw::Font f = ButtonCaptionFont();
    EXPECT_EQ(f.face, c.face);
    EXPECT_EQ(f.height, c.height);
  }
  AppSettings.LayoutScale = 1.0f;
}

TEST_F(SkinnedTest, LongCaptionWrapsAndStaysCentred) {
  CXPButton b;
  b.SetBitmaps(446, 448, 0);
  b.SetWindowText("Print the selected results now");
  draw::Bitmap bmp = draw::Bitmap::Create(90, 80, draw::kWhite);
  draw::DC dc(bmp);
  ui::DrawItemInfo info;
  info.dc = &dc;
  info.rcItem = ui::Rect(0, 0, 90, 80);
  b.DrawItem(info);
  dc.Flush();
  // Rows with caption ink (light text on the dark face).
  int top = -1, bottom = -1;
  for (int y = 0; y < 80; ++y)
    for (int x = 10; x < 80; ++x)
      if (draw::GetRValue(bmp.GetPixel(x, y)) > 200 && draw::GetBValue(bmp.GetPixel(x, y)) > 200 &&
          ColourDistance(bmp.GetPixel(x, y), draw::kWhite) > 5) {
        if (top < 0) top = y;
        bottom = y;
      }
  ASSERT_GE(top, 0);
  EXPECT_GT(bottom - top, 30);  // more than one line
  EXPECT_LE(std::abs((top + bottom) / 2 - 40), 4);
}

namespace {

// Paints a button of w x h with `text` (and once with no text) and returns both pictures.
struct Painted {
  draw::Bitmap withText, bare;
  draw::Font font;
};
Painted PaintCaption(const std::string& text, int w, int h) {
  Painted out;
  CXPButton b;
  b.SetBitmaps(446, 448, 447);
  for (const std::string& t : {text, std::string()}) {
    draw::Bitmap bmp = draw::Bitmap::Create(w, h, draw::kWhite);
    draw::DC dc(bmp);
    ui::DrawItemInfo info;
    info.dc = &dc;
    info.rcItem = ui::Rect(0, 0, w, h);
    b.SetWindowText(t);
    b.DrawItem(info);
    dc.Flush();
    (t.empty() ? out.bare : out.withText) = bmp;
    if (!t.empty()) out.font = b.captionFont;
  }
  return out;
}

// Measured here, independently of the button: whether `text` in `font`, broken only between
// words, fits `w` x `h`.
bool FitsByHand(const std::string& text, const draw::Font& font, int w, int h) {
  draw::Bitmap scratch = draw::Bitmap::Create(4, 4, draw::kWhite);
  draw::DC dc(scratch);
  dc.SelectFont(font);
  std::string word;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ' ' || text[i] == '\n') {
      draw::Rect r(0, 0, w, 0);
      dc.DrawText(word, &r, draw::kDtSingleLine | draw::kDtCalcRect);
      if (r.Width() > w) return false;
      word.clear();
    } else {
      word += text[i];
    }
  }
  draw::Rect block(0, 0, w, 0);
  dc.DrawText(text, &block, draw::kDtCenter | draw::kDtWordBreak | draw::kDtCalcRect);
  return block.Width() <= w && block.Height() <= h;
}

}  // namespace

TEST_F(SkinnedTest, CaptionsThatDoNotFitAreDrawnSmallerNeverClipped) {
  // Buttons of the test screen (76 x 44 at scale 1.0, 95 x 55 at 1.25) and of the main menu
  // (108 x 64). The room a caption may use is the button less 3 + h/16 at the sides and
  // 1 + h/24 at top and bottom: 66 x 40 for 76 x 44, 83 x 49 for 95 x 55, 94 x 58 for 108 x 64.
  struct Case {
    int language;
    float scale;
    const char* text;
    int w, h, roomW, roomH;
    bool shrinks;
  };
  const Case cases[] = {
      {1, 1.0f, "Save", 76, 44, 66, 40, false},
      {2, 1.0f, "Examinar nuevamente", 76, 44, 66, 40, true},
      {2, 1.25f, "Examinar nuevamente", 95, 55, 83, 49, true},
      {3, 1.0f, "Imprimer(&P)", 76, 44, 66, 40, true},
      {4, 1.0f, "Розчинник(&L)", 76, 44, 66, 40, true},
      {0, 1.0f, "稀释液(&L)", 76, 44, 66, 40, true},
      {4, 1.0f, "Повторний\nаналіз", 76, 44, 66, 40, true},
      {2, 1.0f, "Control de Calidad", 108, 64, 94, 58, false},
      {1, 1.0f, "CALIBRATION", 108, 64, 94, 58, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    AppSettings.LanguageIndex = static_cast<uint8_t>(c.language);
    AppSettings.LayoutScale = c.scale;
    const draw::Font nominal = ButtonCaptionFont();
    const Painted p = PaintCaption(c.text, c.w, c.h);
    EXPECT_EQ(p.font.face, nominal.face);
    // The largest size that fits: the one drawn fits, one pixel more does not (or it is the
    // caption's own size).
    EXPECT_TRUE(FitsByHand(c.text, p.font, c.roomW, c.roomH)) << p.font.height;
    EXPECT_EQ(p.font.height < nominal.height, c.shrinks) << p.font.height << " of " << nominal.height;
    if (p.font.height < nominal.height) {
      draw::Font bigger = p.font;
      ++bigger.height;
      EXPECT_FALSE(FitsByHand(c.text, bigger, c.roomW, c.roomH)) << p.font.height;
    }
    // Not a pixel of the caption outside the room: there the picture is the bare button.
    const int dx = (c.w - c.roomW) / 2, dy = (c.h - c.roomH) / 2;
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) {
        if (x >= dx && x < c.w - dx && y >= dy && y < c.h - dy) continue;
        ASSERT_EQ(p.withText.GetPixel(x, y), p.bare.GetPixel(x, y)) << "ink at " << x << "," << y;
      }
  }
  AppSettings.LanguageIndex = 1;
  AppSettings.LayoutScale = 1.0f;
}

// A row of buttons draws its captions in one size: the size the longest caption needs on its
// own; a button of another row keeps its own size, and a shorter caption brings the row back.
TEST_F(SkinnedTest, ButtonsOfOneRowDrawTheirCaptionsInOneSize) {
  AppSettings.LanguageIndex = 2;
  ui::DialogTemplate t = HostTemplate("Guardar", "Examinar nuevamente", "Salir");
  t.cy = 90;
  t.Add("Button", 14, "Salir", 10, 40, 48, 16, ui::WS_VISIBLE | ui::BS_PUSHBUTTON);
  ButtonHost host(t);
  CXPButton below;
  ASSERT_TRUE(host.CreateModeless());
  ASSERT_TRUE(below.SubclassDlgItem(14, &host));
  below.SetBitmaps(446, 448, 447);
  d.Screen();
  const ui::Rect face = host.b.GetClientRect();
  const draw::Font nominal = ButtonCaptionFont();
  const draw::Font alone = PaintCaption("Examinar nuevamente", face.Width(), face.Height()).font;
  ASSERT_LT(alone.height, nominal.height) << "the long caption must need a smaller size";
  for (CXPButton* b : {&host.a, &host.b, &host.c}) EXPECT_EQ(b->captionFont, alone) << b->GetWindowText();
  EXPECT_EQ(below.captionFont, nominal);
  host.b.SetWindowText("Imprimir");
  d.Screen();
  for (CXPButton* b : {&host.a, &host.b, &host.c}) EXPECT_EQ(b->captionFont, nominal) << b->GetWindowText();
  AppSettings.LanguageIndex = 1;
}
