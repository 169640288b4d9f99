// The question after moved divider lines: its three answers, Escape, and its looks.
#include <gtest/gtest.h>

#include "measurement/patient/adjust_graph.h"
#include "person_info_fixture.h"
#include "platform/ui/keys.h"

class AdjustGraph : public ScreenTest {};

TEST_F(AdjustGraph, AnswersOfTheThreeButtonsAndEscape) {
  const struct {
    int press;      // control id, or 0 for the Escape key
    int answer;
    int modal;
  } cases[] = {
      {ui::IDOK, CAdjustGraph::kKeep, ui::IDOK},
      {IDC_AG_RECOVER, CAdjustGraph::kRecover, ui::IDOK},  // ends as OK, answers 1
      {ui::IDCANCEL, CAdjustGraph::kReturn, ui::IDCANCEL},
      {0, CAdjustGraph::kReturn, ui::IDCANCEL},
  };
  for (const auto& c : cases) {
    CAdjustGraph dlg;
    dlg.answer = 99;
    int modal = -5;
    ASSERT_TRUE(d.RunScript([&] { modal = dlg.DoModal(); },
                            [&](ui::TestDriver& s) {
                              EXPECT_EQ(s.Text(ui::IDOK), "OK");
                              EXPECT_EQ(s.Text(IDC_AG_RECOVER), "Recover");
                              EXPECT_EQ(s.Text(ui::IDCANCEL), "Cancel");
                              EXPECT_EQ(s.Text(IDC_AG_QUESTION).rfind("Save the changes?\r\n", 0), 0u);
                              if (c.press) s.Press(c.press);
                              else s.Key(ui::VK_ESCAPE);
                            }));
    EXPECT_EQ(dlg.answer, c.answer) << c.press;
    EXPECT_EQ(modal, c.modal) << c.press;
  }
}

TEST_F(AdjustGraph, LooksInFiveLanguages) {
  const char* names[5] = {"zh", "en", "es", "fr", "uk"};
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    const AdjustGraphTexts t = AdjustGraphTextsFor(lang);
    EXPECT_EQ(std::count(t.question.begin(), t.question.end(), '\n'), 4) << lang;
    CAdjustGraph dlg;
    d.RunScript([&] { dlg.DoModal(); },
                [&](ui::TestDriver& s) {
                  EXPECT_EQ(s.Text(IDC_AG_RECOVER), t.recover);
                  EXPECT_TRUE(s.SaveScreenshot(PngPath(std::string("adjust_graph_") + names[lang])));
                  s.Press(ui::IDCANCEL);
                });
  }
  EXPECT_EQ(AdjustGraphTextsFor(2).ok, "Aceptar");
  EXPECT_EQ(AdjustGraphTextsFor(3).cancel, "Annuler");
}
