#include "skin_check.h"

#include <cstdlib>
#include <typeinfo>

#include "controls/small_widgets.h"
#include "controls/xp_check_button.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "core/onscreen_keyboard.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/draw/bitmap.h"
#include "platform/ui/resources.h"
#include "platform/ui/window.h"
#include "resources/skin/skin_ids.h"

namespace {

const char* StateName(skin::State s) {
  switch (s) {
    case skin::State::Normal: return "normal";
    case skin::State::Hover: return "hover";
    default: return "disabled";
  }
}

// The state the skin made face `id` for; false when `id` is no push-button face.
bool FaceState(unsigned id, skin::State& state) {
  for (const skin::SkinBitmap& b : skin::kSkinBitmaps)
    if (b.id == static_cast<int>(id) && b.kind == skin::Kind::Face) {
      state = b.state;
      return true;
    }
  return false;
}

bool Near(draw::Color a, draw::Color b) {
  return std::abs(draw::GetRValue(a) - draw::GetRValue(b)) + std::abs(draw::GetGValue(a) - draw::GetGValue(b)) +
             std::abs(draw::GetBValue(a) - draw::GetBValue(b)) <=
         30;
}

// A picture button (the keyboard key above all) as the operator sees it: the pixels of the
// picture it is to show (its own, or the keyboard picture for the keyboard button), magenta being
// the see-through colour, against those drawn at its top-left corner in the screen's picture.
// Nine in ten of them drawn, or the button is reported.
void CheckPictureDrawn(ui::Window* c, const draw::Bitmap& shot, std::vector<std::string>& out) {
  auto* key = dynamic_cast<CBitmapKeyButton*>(c);
  if (!key && c->GetDlgCtrlID() != kKeyboardButtonId) return;
  const draw::Bitmap picture =
      key && !key->KeyBitmap().IsNull() ? key->KeyBitmap() : ui::Resources::LoadBitmap(IDB_PLT_KEYBOARD);
  if (picture.IsNull()) {
    out.push_back("control " + std::to_string(c->GetDlgCtrlID()) + ": the keyboard picture is not there to compare");
    return;
  }
  const ui::Rect r = c->GetWindowRect();
  int pixels = 0, drawn = 0;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const draw::Color want = picture.GetPixel(x, y);
      if (want == draw::kMagenta) continue;
      ++pixels;
      const int sx = r.left + x, sy = r.top + y;
      if (x < r.Width() && y < r.Height() && sx >= 0 && sy >= 0 && sx < shot.Width() && sy < shot.Height() &&
          Near(shot.GetPixel(sx, sy), want))
        ++drawn;
    }
  if (pixels > 0 && drawn * 10 < pixels * 9)
    out.push_back("control " + std::to_string(c->GetDlgCtrlID()) + " (\"" + c->GetWindowText() +
                  "\") does not show its picture: " + std::to_string(drawn) + " of its " + std::to_string(pixels) +
                  " pixels drawn");
}

// The keyboard button lies clear of every group frame of its screen: wholly outside it, or inside
// it clear of its lines (four pixels at the sides and the bottom, the caption band of eight at the
// top), not on a line.
void CheckKeyOffFrames(ui::Window* screen, std::vector<std::string>& out) {
  const ui::Window* key = screen->GetDlgItem(kKeyboardButtonId);
  if (!key || !key->IsWindowVisible()) return;
  const ui::Rect k = key->GetWindowRect();
  std::vector<ui::Window*> parents{screen};
  for (size_t i = 0; i < parents.size(); ++i)
    for (ui::Window* c : parents[i]->Children()) {
      if (!c->IsWindowVisible()) continue;
      parents.push_back(c);
      auto* b = dynamic_cast<ui::Button*>(c);
      const bool frame = b && (b->Kind() == ui::BS_GROUPBOX || dynamic_cast<CXPGroupBox*>(c));
      if (!frame) continue;
      const ui::Rect g = c->GetWindowRect();
      const ui::Rect inner(g.left + 4, g.top + 8, g.right - 4, g.bottom - 4);
      if (!k.Intersects(g) || inner.Intersect(k) == k) continue;
      out.push_back("the keyboard button at " + std::to_string(k.left) + "," + std::to_string(k.top) +
                    " lies on the lines of group frame " + std::to_string(c->GetDlgCtrlID()) + " (" +
                    std::to_string(g.left) + "," + std::to_string(g.top) + " to " + std::to_string(g.right) + "," +
                    std::to_string(g.bottom) + ")");
    }
}

void Walk(ui::Window* w, const draw::Bitmap* shot, std::vector<std::string>& out) {
  for (ui::Window* c : w->Children()) {
    if (!c->IsWindowVisible()) continue;
    if (shot) CheckPictureDrawn(c, *shot, out);
    if (auto* b = dynamic_cast<CXPButton*>(c)) {
      // The working looks only: a screen may keep its normal face for the disabled look.
      const struct {
        unsigned id;
        skin::State want;
      } looks[] = {{b->normalBitmapId, skin::State::Normal}, {b->hoverBitmapId, skin::State::Hover}};
      for (const auto& look : looks) {
        skin::State got;
        if (look.id != 0 && FaceState(look.id, got) && got == skin::State::Disabled)
          out.push_back("control " + std::to_string(c->GetDlgCtrlID()) + " (\"" + c->GetWindowText() + "\") draws its " +
                        StateName(look.want) + " look with face " + std::to_string(look.id) + ", made for " +
                        StateName(got));
      }
    }
    // A plain push button or a picture key with nothing on its face (an owner-drawn button of
    // another kind draws its own picture).
    bool blank = false;
    if (auto* k = dynamic_cast<CBitmapKeyButton*>(c)) blank = k->KeyBitmap().IsNull();
    else if (auto* p = dynamic_cast<ui::Button*>(c); p && typeid(*c) == typeid(ui::Button))
      blank = (p->Kind() == ui::BS_PUSHBUTTON || p->Kind() == ui::BS_DEFPUSHBUTTON) && p->GetWindowText().empty() &&
              p->GetBitmap().IsNull();
    if (blank) out.push_back("control " + std::to_string(c->GetDlgCtrlID()) + " is a button with nothing on its face");
    // A captioned push button among the skinned ones is drawn in the system's own look.
    if (auto* p = dynamic_cast<ui::Button*>(c); p && typeid(*c) == typeid(ui::Button) &&
                                                (p->Kind() == ui::BS_PUSHBUTTON || p->Kind() == ui::BS_DEFPUSHBUTTON) &&
                                                !p->GetWindowText().empty())
      out.push_back("control " + std::to_string(c->GetDlgCtrlID()) + " (\"" + c->GetWindowText() +
                    "\") is a push button without the skin");
    Walk(c, shot, out);
  }
}

}  // namespace

std::vector<std::string> CheckButtonSkins(ui::Window* screen, const draw::Bitmap* shot) {
  std::vector<std::string> out;
  Walk(screen, shot, out);
  CheckKeyOffFrames(screen, out);
  return out;
}

std::vector<std::string> CheckMarkGroups(ui::Window* screen) {
  std::vector<std::string> out;
  std::vector<ui::Window*> parents{screen};
  for (size_t i = 0; i < parents.size(); ++i)
    for (ui::Window* c : parents[i]->Children()) {
      if (!c->IsWindowVisible()) continue;
      parents.push_back(c);
      auto height = [](ui::Window* w) {
        if (auto* k = dynamic_cast<CXPCheckButton*>(w)) return std::abs(k->labelFont.height);
        if (auto* r = dynamic_cast<CXPRadioButton*>(w)) return std::abs(r->labelFont.height);
        return 0;
      };
      if (!height(c) || c->GetWindowText().empty()) continue;
      // One line per label drawn larger than the smallest of its group.
      ui::Window* smallest = c;
      for (ui::Window* m : MarkGroup(c))
        if (height(m) && height(m) < height(smallest)) smallest = m;
      if (smallest != c)
        out.push_back("check box or radio " + std::to_string(c->GetDlgCtrlID()) + " (\"" + c->GetWindowText() +
                      "\") draws its label at " + std::to_string(height(c)) + " px, " +
                      std::to_string(smallest->GetDlgCtrlID()) + " (\"" + smallest->GetWindowText() +
                      "\") of its group at " + std::to_string(height(smallest)) + " px");
    }
  return out;
}

std::vector<std::string> CheckButtonRows(ui::Window* screen) {
  std::vector<std::string> out;
  std::vector<ui::Window*> parents{screen};
  for (size_t i = 0; i < parents.size(); ++i) {
    std::vector<CXPButton*> captioned;
    for (ui::Window* c : parents[i]->Children()) {
      if (!c->IsWindowVisible()) continue;
      parents.push_back(c);
      if (auto* b = dynamic_cast<CXPButton*>(c); b && b->arrowStyle == 0 && !b->GetWindowText().empty())
        captioned.push_back(b);
    }
    for (size_t a = 0; a < captioned.size(); ++a)
      for (size_t b = a + 1; b < captioned.size(); ++b) {
        const ui::Rect ra = captioned[a]->GetWindowRect(), rb = captioned[b]->GetWindowRect();
        if (ra.top != rb.top || ra.Height() != rb.Height()) continue;
        const int ha = std::abs(captioned[a]->captionFont.height), hb = std::abs(captioned[b]->captionFont.height);
        if (ha != hb)
          out.push_back("buttons " + std::to_string(captioned[a]->GetDlgCtrlID()) + " (\"" +
                        captioned[a]->GetWindowText() + "\") and " + std::to_string(captioned[b]->GetDlgCtrlID()) +
                        " (\"" + captioned[b]->GetWindowText() + "\") of one row draw their captions at " +
                        std::to_string(ha) + " and " + std::to_string(hb) + " px");
      }
  }
  return out;
}
