// Labels too long for their rectangle drawn in a smaller size of their font (as push-button
// captions are), and the check and radio marks scaled with the layout and centred on their label.
#include "controls/caption_fit.h"
#include "controls/xp_check_button.h"
#include "fixture.h"
#include "platform/ui/data_exchange.h"

namespace {

const draw::Font kArial16("Arial", 16);

// The width and height of `text` on one line in `font`, measured on a scratch bitmap.
ui::Rect OneLine(const std::string& text, const draw::Font& font) {
  draw::Bitmap scratch = draw::Bitmap::Create(4, 4, draw::kWhite);
  draw::DC dc(scratch);
  dc.SelectFont(font);
  ui::Rect r(0, 0, 1000, 0);
  dc.DrawText(text, &r, draw::kDtSingleLine | draw::kDtCalcRect);
  return r;
}

struct Labels : ui::Dialog {
  explicit Labels(const ui::DialogTemplate& t) : ui::Dialog(t) {}
};

// Three labels 16 px high: a short text in a wide one, and the same long text in a word-wrapped
// and in a one-line label, each narrower than the text at 16 px; no two in one row or column.
ui::DialogTemplate LabelsTemplate(int narrow) {
  ui::DialogTemplate t;
  t.cx = 300;
  t.cy = 100;
  t.style = ui::WS_POPUP | ui::WS_VISIBLE | ui::DS_CENTER;
  const uint32_t V = ui::WS_VISIBLE;
  t.Add("Static", 1, "Time", 150, 10, 100, 8, V | ui::SS_LEFT);
  t.Add("Static", 2, "Test Default Mode:", 10, 25, narrow, 8, V | ui::SS_LEFT);
  t.Add("Static", 3, "Test Default Mode:", 80, 40, narrow, 8, V | ui::SS_LEFTNOWORDWRAP);
  return t;
}

class LabelFitTest : public SkinnedTest {
 protected:
  void TearDown() override {
    ui::SetStaticTextFitter({});
    SkinnedTest::TearDown();
  }
  // Opens the labels with the 16 px face and paints them; the label controls by id.
  void Open(Labels& dlg) {
    ASSERT_TRUE(dlg.CreateModeless());
    for (int id : {1, 2, 3}) dlg.GetDlgItem(id)->SetFont(&kArial16);
    d.Screen();
  }
  static draw::Font DrawnIn(Labels& dlg, int id) { return static_cast<ui::Static*>(dlg.GetDlgItem(id))->TextFont(); }
};

}  // namespace

TEST_F(LabelFitTest, ALabelTooLongForItsRectangleIsDrawnInTheLargestSizeThatFitsOnOneLine) {
  InstallLabelTextFitting();
  Labels dlg(LabelsTemplate(40));
  Open(dlg);
  const int room = dlg.GetDlgItem(2)->GetClientRect().Width();
  ASSERT_GT(OneLine("Test Default Mode:", kArial16).Width(), room) << "the fixture's text must not fit at 16 px";
  EXPECT_EQ(DrawnIn(dlg, 1), kArial16) << "a text that fits keeps its font";
  for (int id : {2, 3}) {
    SCOPED_TRACE(id);
    const draw::Font f = DrawnIn(dlg, id);
    EXPECT_EQ(f.face, "Arial");
    EXPECT_LT(f.height, 16);
    // The text on one line fits at the size chosen, and would not one pixel larger.
    EXPECT_LE(OneLine("Test Default Mode:", f).Width(), room);
    draw::Font larger = f;
    ++larger.height;
    EXPECT_GT(OneLine("Test Default Mode:", larger).Width(), room);
  }
  // A new text is fitted again.
  dlg.SetDlgItemText(2, "Mode");
  d.Screen();
  EXPECT_EQ(DrawnIn(dlg, 2), kArial16);
}

TEST_F(LabelFitTest, WithoutTheProgramsFitterALabelKeepsItsFont) {
  Labels dlg(LabelsTemplate(40));
  Open(dlg);
  for (int id : {1, 2, 3}) EXPECT_EQ(DrawnIn(dlg, id), kArial16) << id;
}

// Where a check box or radio button puts its mark and label: the mark is 15 px grown with the
// layout scale (rounded) and no higher than the control, 3 px before the label's room, and
// centred on the label line (on the control without a label).
TEST(CheckMarkLayout, MarkScalesWithTheLayoutAndCentresOnTheLabel) {
  draw::Bitmap scratch = draw::Bitmap::Create(4, 4, draw::kWhite);
  draw::DC dc(scratch);
  const draw::Font font("Arial", 20);
  const int line = OneLine("Auto print", font).Height();
  struct Case {
    ui::Rect item;
    const char* text;
    float scale;
    int side, markTop;
  };
  const Case cases[] = {
      {ui::Rect(0, 0, 200, 15), "", 1.0f, 15, 0},
      {ui::Rect(0, 0, 200, 30), "", 1.0f, 15, 7},     // (30 - 15) / 2
      {ui::Rect(0, 0, 200, 30), "", 1.25f, 19, 5},    // 15 x 1.25 = 18.75; (30 - 19) / 2
      {ui::Rect(0, 0, 200, 12), "", 1.25f, 12, 0},    // no higher than the control
      {ui::Rect(10, 100, 210, 140), "Auto print", 1.25f, 19, 100 + (40 - line) / 2 + (line - 19) / 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " " + std::to_string(c.item.Height()) + " at " + std::to_string(c.scale));
    const MarkLayout l = LayOutMark(dc, c.item, c.text, font, c.scale);
    EXPECT_EQ(l.mark, ui::Rect::FromSize(c.item.left, c.markTop, c.side, c.side));
    EXPECT_EQ(l.textRoom, ui::Rect(c.item.left + c.side + 3, c.item.top, c.item.right, c.item.bottom));
    if (*c.text) {
      EXPECT_EQ(l.text.top, c.item.top + (c.item.Height() - line) / 2);
    }
  }
}

namespace {

// Radio buttons in a row and check boxes in a column, each 60 x 10 units (120 x 20 px at scale
// 1.0), at 16 px; one long label in each group, and a radio of another height apart.
struct Marks : ui::Dialog {
  CXPRadioButton r1, r2, r3, other;
  CXPCheckButton c1, c2;
  Marks() : ui::Dialog(Template()) {}
  static ui::DialogTemplate Template() {
    ui::DialogTemplate t;
    t.cx = 300;
    t.cy = 100;
    t.style = ui::WS_POPUP | ui::WS_VISIBLE | ui::DS_CENTER;
    const uint32_t V = ui::WS_VISIBLE;
    t.Add("Button", 11, "Whole", 10, 10, 60, 10, V | ui::BS_AUTORADIOBUTTON | ui::WS_GROUP);
    t.Add("Button", 12, "Pre-diluted blood sample", 80, 10, 60, 10, V | ui::BS_AUTORADIOBUTTON);
    t.Add("Button", 13, "QC", 150, 10, 60, 10, V | ui::BS_AUTORADIOBUTTON);
    t.Add("Button", 14, "Apart", 150, 60, 60, 14, V | ui::BS_AUTORADIOBUTTON | ui::WS_GROUP);
    t.Add("Button", 21, "Print", 10, 40, 60, 10, V | ui::BS_AUTOCHECKBOX);
    t.Add("Button", 22, "Send every result at once", 10, 55, 60, 10, V | ui::BS_AUTOCHECKBOX);
    return t;
  }
  void DoDataExchange(ui::DataExchange& dx) override {
    ui::ExchangeControl(dx, 11, r1);
    ui::ExchangeControl(dx, 12, r2);
    ui::ExchangeControl(dx, 13, r3);
    ui::ExchangeControl(dx, 14, other);
    ui::ExchangeControl(dx, 21, c1);
    ui::ExchangeControl(dx, 22, c2);
  }
};

}  // namespace

TEST_F(SkinnedTest, CheckBoxesAndRadiosOfOneRowOrColumnDrawTheirLabelsInOneSize) {
  Marks dlg;
  ASSERT_TRUE(dlg.CreateModeless());
  for (int id : {11, 12, 13, 14, 21, 22}) dlg.GetDlgItem(id)->SetFont(&kArial16);
  d.Screen();
  // The long labels take more than one line at 16 px, and the controls have room for one.
  const int room = dlg.r2.GetClientRect().Width() - MarkSide(dlg.r2.GetClientRect().Height(), 1.0f) - 3;
  ASSERT_GT(OneLine("Pre-diluted blood sample", kArial16).Width(), room) << "the fixture's label must not fit";
  ASSERT_LT(dlg.r2.GetClientRect().Height(), 2 * 16);
  EXPECT_LT(std::abs(dlg.r2.labelFont.height), 16);
  EXPECT_EQ(dlg.r1.labelFont.height, dlg.r2.labelFont.height) << "the row's short label";
  EXPECT_EQ(dlg.r3.labelFont.height, dlg.r2.labelFont.height) << "the row's short label";
  EXPECT_LT(std::abs(dlg.c2.labelFont.height), 16);
  EXPECT_EQ(dlg.c1.labelFont.height, dlg.c2.labelFont.height) << "the column's short label";
  // Another height is another group: its short label keeps its size.
  EXPECT_EQ(std::abs(dlg.other.labelFont.height), 16);
}

namespace {

// Labels 60 x 8 units (120 x 16 px at scale 1.0) at 16 px: a row of three (one of them long) and a
// column below its first, a label of another height in the row's line and one of another font
// in the column.
ui::DialogTemplate LabelGroupTemplate() {
  ui::DialogTemplate t;
  t.cx = 300;
  t.cy = 120;
  t.style = ui::WS_POPUP | ui::WS_VISIBLE | ui::DS_CENTER;
  const uint32_t V = ui::WS_VISIBLE | ui::SS_LEFT;
  t.Add("Static", 1, "Time", 10, 10, 60, 8, V);
  t.Add("Static", 2, "Test Default Mode of the analyzer", 75, 10, 60, 8, V);
  t.Add("Static", 3, "Mode", 140, 10, 60, 8, V);
  t.Add("Static", 4, "Date", 10, 25, 60, 8, V);       // the column under the first
  t.Add("Static", 5, "Hospital", 10, 40, 60, 8, V);   // another font
  t.Add("Static", 6, "Printer", 205, 10, 60, 12, V);  // another height
  return t;
}

}  // namespace

TEST_F(LabelFitTest, LabelsOfOneRowOrColumnDrawTheirTextsInOneSize) {
  InstallLabelTextFitting();
  Labels dlg(LabelGroupTemplate());
  ASSERT_TRUE(dlg.CreateModeless());
  const draw::Font bold("Arial", 16, 700);
  for (int id : {1, 2, 3, 4, 6}) dlg.GetDlgItem(id)->SetFont(&kArial16);
  dlg.GetDlgItem(5)->SetFont(&bold);
  d.Screen();
  // The long text takes more than the label's one line at 16 px.
  const ui::Rect room = dlg.GetDlgItem(2)->GetClientRect();
  ASSERT_GT(OneLine("Test Default Mode of the analyzer", kArial16).Width(), room.Width());
  ASSERT_LT(room.Height(), 2 * 16);
  const draw::Font fitted = DrawnIn(dlg, 2);
  EXPECT_LT(fitted.height, 16);
  EXPECT_GE(fitted.height, 8) << "never below the readable floor";
  for (int id : {1, 3, 4}) EXPECT_EQ(DrawnIn(dlg, id), fitted) << "label " << id << " of the group";
  EXPECT_EQ(DrawnIn(dlg, 5), bold) << "a label in another font is apart";
  EXPECT_EQ(DrawnIn(dlg, 6), kArial16) << "a label of another height is apart";
  // The long text shortened: the whole group draws at its font again.
  dlg.SetDlgItemText(2, "Test");
  d.Screen();
  for (int id : {1, 2, 3, 4}) EXPECT_EQ(DrawnIn(dlg, id), kArial16) << "label " << id;
}
