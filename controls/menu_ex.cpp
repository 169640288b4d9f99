#include "controls/menu_ex.h"

#include <map>

#include "platform/ui/controls/controls.h"
#include "platform/ui/messages.h"

namespace {

std::map<unsigned, std::vector<MenuItemDesc>>& MenuResources() {
  static std::map<unsigned, std::vector<MenuItemDesc>> m;
  return m;
}

}  // namespace

void RegisterMenuResource(unsigned id, const std::vector<MenuItemDesc>& items) { MenuResources()[id] = items; }

const MenuStyle& SharedMenuStyle() {
  static const MenuStyle s = [] {
    MenuStyle m;
    m.menu = ui::SysColor(ui::COLOR_WINDOW);
    m.selection = ui::SysColor(ui::COLOR_HIGHLIGHT);
    m.menuBar = ui::SysColor(ui::COLOR_BTNFACE);
    m.text = ui::SysColor(ui::COLOR_WINDOWTEXT);
    m.disabledText = ui::SysColor(ui::COLOR_GRAYTEXT);
    m.frame = ui::SysColor(ui::COLOR_BTNSHADOW);
    return m;
  }();
  return s;
}

CMenuEx::CMenuEx(ui::Window* owner) : ownerWindow(owner) {}

bool CMenuEx::LoadMenu(unsigned resourceId) {
  auto it = MenuResources().find(resourceId);
  if (it == MenuResources().end()) return false;
  items.clear();
  subMenus.clear();
  Convert(it->second, true);
  return true;
}

bool CMenuEx::Attach(const std::vector<MenuItemDesc>& descs) {
  items.clear();
  subMenus.clear();
  Convert(descs, false);
  return true;
}

void CMenuEx::Convert(const std::vector<MenuItemDesc>& descs, bool topLevel) {
  for (const MenuItemDesc& d : descs) {
    auto rec = std::make_unique<MenuItemRecord>();
    rec->commandId = d.id;
    rec->text = d.text.size() > 1024 ? d.text.substr(0, 1024) : d.text;
    rec->isMenuBarItem = topLevel;
    rec->disabled = d.disabled;
    rec->checked = d.checked;
    rec->separator = d.id == 0 && d.subItems.empty();
    items.push_back(std::move(rec));
    if (!d.subItems.empty()) {
      auto sub = std::make_unique<CMenuEx>(ownerWindow);
      sub->root_ = root_;
      sub->Convert(d.subItems, false);
      subMenus.push_back(std::move(sub));
    }
  }
}

MenuItemRecord* CMenuEx::FindItem(unsigned commandId) {
  for (auto& r : items)
    if (!r->separator && r->commandId == commandId) return r.get();
  for (auto& s : subMenus)
    if (MenuItemRecord* r = s->FindItem(commandId)) return r;
  return nullptr;
}

void CMenuEx::MapToolbar(const ToolbarDesc& toolbar) {
  // One copy of the toolbar's image lists per toolbar.
  int normalList = -1, hotList = -1;
  for (size_t i = 0; i < toolbars.size(); ++i)
    if (toolbars[i] == &toolbar) {
      normalList = static_cast<int>(2 * i);
      hotList = static_cast<int>(2 * i + 1);
    }
  if (normalList < 0) {
    toolbars.push_back(&toolbar);
    imageLists.push_back(toolbar.normalImages);
    imageLists.push_back(toolbar.hotImages);
    normalList = static_cast<int>(imageLists.size()) - 2;
    hotList = static_cast<int>(imageLists.size()) - 1;
  }
  for (const auto& b : toolbar.buttons) {
    if (b.commandId == 0) continue;
    MenuItemRecord* r = FindItem(b.commandId);
    if (!r) continue;
    r->normalImageList = normalList;
    r->hotImageList = toolbar.hotImages.empty() ? -1 : hotList;
    r->normalImage = b.image;
    r->hotImage = b.image;
  }
}

void CMenuEx::MeasureItem(const MenuItemRecord& item, int& width, int& height) {
  const MenuStyle& s = SharedMenuStyle();
  if (item.isMenuBarItem) {
    width = static_cast<int>(ui::Utf8Length(item.text)) * 5;
    height = 20;
    return;
  }
  if (item.separator) {
    width = 0;
    height = 2 * s.verticalGap + 1;
    return;
  }
  draw::DC dc;
  dc.SelectFont(ownerWindow ? *ownerWindow->GetFont() : ui::DefaultFont());
  const draw::Size ext = dc.GetTextExtent(item.text);
  width = s.pictureWidth + 2 * (s.textGap + s.pictureMargin) + ext.cx;
  // At least the picture and its margins high; the shared gap itself is not changed, so a
  // later separator keeps its height.
  height = std::max(ext.cy + 2 * s.verticalGap, s.pictureHeight + 2 * s.pictureMargin);
}

void CMenuEx::DrawItem(draw::DC& dc, const draw::Rect& r, const MenuItemRecord& item, unsigned state) {
  const MenuStyle& s = SharedMenuStyle();
  const bool selected = (state & ui::ODS_SELECTED) != 0;
  const bool disabled = item.disabled || (state & (ui::ODS_DISABLED | ui::ODS_GRAYED));
  dc.FillSolidRect(r, item.isMenuBarItem ? s.menuBar : s.menu);
  const int column = s.pictureWidth + 2 * s.pictureMargin;
  if (item.separator) {
    const int y = (r.top + r.bottom) / 2;
    dc.FillSolidRect(draw::Rect(r.left + column, y, r.right, y + 1), s.frame);
    return;
  }
  if (selected && !disabled) {
    dc.SelectPen(draw::Pen::Solid(s.frame));
    dc.SelectBrush(draw::Brush::Solid(s.selection));
    dc.Rectangle(r);
  }
  const draw::Rect pic = draw::Rect::FromSize(r.left + s.pictureMargin, r.top + (r.Height() - s.pictureHeight) / 2,
                                              s.pictureWidth, s.pictureHeight);
  const int list = selected && item.hotImageList >= 0 ? item.hotImageList : item.normalImageList;
  const int image = selected && item.hotImageList >= 0 ? item.hotImage : item.normalImage;
  if (list >= 0 && list < static_cast<int>(root_->imageLists.size()) && image >= 0 &&
      image < static_cast<int>(root_->imageLists[list].size())) {
    const draw::Bitmap& b = root_->imageLists[list][image];
    dc.TransparentBlt(pic.left, pic.top, pic.Width(), pic.Height(), b, 0, 0, b.Width(), b.Height(), draw::kMagenta);
  } else if (item.checked) {
    dc.SelectPen(draw::Pen::Solid(disabled ? s.disabledText : s.text, 2));
    dc.MoveTo(pic.left + 3, pic.top + 8);
    dc.LineTo(pic.left + 7, pic.top + 12);
    dc.LineTo(pic.left + 13, pic.top + 4);
  }
  dc.SetBkMode(draw::BkMode::Transparent);
  dc.SetTextColor(disabled ? s.disabledText : selected ? ui::SysColor(ui::COLOR_HIGHLIGHTTEXT) : s.text);
  if (ownerWindow) dc.SelectFont(*ownerWindow->GetFont());
  draw::Rect tr = r;
  unsigned fmt = draw::kDtSingleLine | draw::kDtVCenter | draw::kDtExpandTabs;
  if (item.isMenuBarItem) {
    fmt |= draw::kDtCenter;
  } else {
    tr.left += column + s.textGap;
  }
  dc.DrawText(item.text, &tr, fmt);
}
