#pragma once
// CMenuEx: an owner-drawn menu whose items show small pictures taken from a toolbar's image
// lists, in the menu colours of the system. Menus are described in code (MenuItemDesc) and
// registered by numeric id, as the other resources are; the owner window supplies the font
// that items are measured with.
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/draw/bitmap.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/window.h"

struct MenuItemDesc {
  unsigned id = 0;  // 0 with no sub-items: a separator
  std::string text;
  bool disabled = false;
  bool checked = false;
  std::vector<MenuItemDesc> subItems;
};

// Registers a menu resource (replacing any earlier one of that id).
void RegisterMenuResource(unsigned id, const std::vector<MenuItemDesc>& items);

struct MenuItemRecord {
  unsigned commandId = 0;
  std::string text;  // at most 1024 characters
  bool isMenuBarItem = false;
  int normalImageList = -1;
  int hotImageList = -1;
  int normalImage = -1;
  int hotImage = -1;
  bool disabled = false;
  bool checked = false;
  bool separator = false;
};

struct ToolbarDesc {
  struct Button {
    unsigned commandId = 0;  // 0: a separator
    int image = -1;
  };
  std::vector<Button> buttons;
  std::vector<draw::Bitmap> normalImages;  // 16 x 16 each
  std::vector<draw::Bitmap> hotImages;
};

// One look for all menus.
struct MenuStyle {
  draw::Color menu, selection, menuBar, text, disabledText, frame;
  int pictureWidth = 16, pictureHeight = 16, pictureMargin = 3, textGap = 5, verticalGap = 3;
  bool selectionFrame = false;
};
const MenuStyle& SharedMenuStyle();

class CMenuEx {
 public:
  explicit CMenuEx(ui::Window* owner = nullptr);
  virtual ~CMenuEx() = default;

  bool LoadMenu(unsigned resourceId);
  bool Attach(const std::vector<MenuItemDesc>& items);
  void MapToolbar(const ToolbarDesc& toolbar);

  virtual void DrawItem(draw::DC& dc, const draw::Rect& rect, const MenuItemRecord& item, unsigned state);
  virtual void MeasureItem(const MenuItemRecord& item, int& width, int& height);

  // The record of a command in this menu or its sub-menus (null when none).
  MenuItemRecord* FindItem(unsigned commandId);

  ui::Window* ownerWindow = nullptr;
  std::vector<std::unique_ptr<CMenuEx>> subMenus;
  std::vector<std::unique_ptr<MenuItemRecord>> items;
  std::vector<const ToolbarDesc*> toolbars;
  std::vector<std::vector<draw::Bitmap>> imageLists;

 private:
  void Convert(const std::vector<MenuItemDesc>& descs, bool topLevel);
  CMenuEx* root_ = this;
};
