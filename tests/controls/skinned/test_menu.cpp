// The owner-drawn menu: conversion of a described menu, toolbar pictures, sizes and drawing.
#include "controls/menu_ex.h"
#include "fixture.h"

namespace {

std::vector<MenuItemDesc> FileMenu() {
  return {{0, "File", false, false,
           {{101, "Open", false, false, {}}, {0, "", false, false, {}}, {102, "Print", true, false, {}},
            {103, "Auto print", false, true, {}}}},
          {0, "Help", false, false, {{201, "About", false, false, {}}}}};
}

draw::Bitmap Square(draw::Color c) { return draw::Bitmap::Create(16, 16, c); }

}  // namespace

TEST_F(SkinnedTest, MenuConvertsItemsMapsToolbarPicturesAndMeasures) {
  RegisterMenuResource(128, FileMenu());
  CMenuEx menu;
  EXPECT_FALSE(menu.LoadMenu(999));
  ASSERT_TRUE(menu.LoadMenu(128));
  ASSERT_EQ(menu.items.size(), 2u);
  EXPECT_TRUE(menu.items[0]->isMenuBarItem);
  ASSERT_EQ(menu.subMenus.size(), 2u);
  EXPECT_FALSE(menu.subMenus[0]->items[0]->isMenuBarItem);
  EXPECT_TRUE(menu.subMenus[0]->items[1]->separator);

  ToolbarDesc bar;
  bar.buttons = {{101, 0}, {0, -1}, {201, 1}, {999, 0}};
  bar.normalImages = {Square(draw::RGB(200, 0, 0)), Square(draw::RGB(0, 200, 0))};
  bar.hotImages = {Square(draw::RGB(255, 120, 120)), Square(draw::RGB(120, 255, 120))};
  menu.MapToolbar(bar);
  menu.MapToolbar(bar);  // the same toolbar's lists are copied once
  EXPECT_EQ(menu.imageLists.size(), 2u);
  EXPECT_EQ(menu.FindItem(101)->normalImage, 0);
  EXPECT_EQ(menu.FindItem(201)->normalImage, 1);
  EXPECT_EQ(menu.FindItem(102)->normalImage, -1);

  int w = 0, h = 0;
  menu.MeasureItem(*menu.items[0], w, h);
  EXPECT_EQ(w, 4 * 5);
  EXPECT_EQ(h, 20);
  menu.MeasureItem(*menu.subMenus[0]->items[1], w, h);
  EXPECT_EQ(h, 7);
  menu.MeasureItem(*menu.FindItem(101), w, h);
  EXPECT_GE(h, 22);
  EXPECT_GT(w, 16 + 16);
  // A separator measured after items keeps its height.
  menu.MeasureItem(*menu.subMenus[0]->items[1], w, h);
  EXPECT_EQ(h, 7);
}

TEST_F(SkinnedTest, MenuItemsDrawSelectionPicturesSeparatorAndDisabledText) {
  CMenuEx menu;
  menu.Attach(FileMenu()[0].subItems);
  ToolbarDesc bar;
  bar.buttons = {{101, 0}};
  bar.normalImages = {Square(draw::RGB(200, 0, 0))};
  bar.hotImages = {Square(draw::RGB(0, 0, 200))};
  menu.MapToolbar(bar);
  const MenuStyle& s = SharedMenuStyle();
  auto paint = [&](const MenuItemRecord& item, unsigned state) {
    draw::Bitmap b = draw::Bitmap::Create(120, 24, draw::RGB(1, 2, 3));
    draw::DC dc(b);
    menu.DrawItem(dc, draw::Rect(0, 0, 120, 24), item, state);
    dc.Flush();
    return b;
  };
  const draw::Bitmap plain = paint(*menu.FindItem(101), 0);
  const draw::Bitmap hot = paint(*menu.FindItem(101), ui::ODS_SELECTED);
  EXPECT_EQ(plain.GetPixel(10, 12), draw::RGB(200, 0, 0));
  EXPECT_EQ(hot.GetPixel(10, 12), draw::RGB(0, 0, 200));
  EXPECT_EQ(plain.GetPixel(100, 2), s.menu);
  EXPECT_EQ(hot.GetPixel(100, 2), s.selection);
  const draw::Bitmap sep = paint(*menu.items[1], 0);
  EXPECT_EQ(sep.GetPixel(60, 12), s.frame);
  EXPECT_EQ(sep.GetPixel(10, 12), s.menu);  // the line starts after the picture column
  const draw::Bitmap off = paint(*menu.FindItem(102), 0);
  int grey = 0;
  for (int x = 27; x < 120; ++x)
    for (int y = 0; y < 24; ++y) grey += ColourDistance(off.GetPixel(x, y), s.disabledText) < 40;
  EXPECT_GT(grey, 5);
}
