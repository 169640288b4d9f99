#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "analyzer/frame.h"
#include "analyzer/serial_port.h"
#include "app/screens/about_dlg.h"
#include "controls/message_box_dlg.h"
#include "platform/ui/app.h"
#include "platform/ui/message_box.h"
#include "screen_fixture.h"
#include "tools/boardsim/simulator.h"

namespace {

// A no-break space joins each version to its caption (and the words of the algorithm's caption),
// so that the label's wrapping never parts them; it reads as a blank.
#define NB "\xC2\xA0"

const char* const kInfo =
    "[EN]\nVersion=V2.1\nFrontVersion=Front-end\nAlgorithms=Algorithm\nCompany=C\nCopyRight=All Rights Reserved\n";

TEST(AboutText, TheExampleTextBeforeAndAfterTheBoardAnswers) {
  const std::string path = (std::filesystem::temp_directory_path() / "quorvex_about_info.ver").string();
  { FILE* f = std::fopen(path.c_str(), "w"); std::fputs(kInfo, f); std::fclose(f); }
  std::string text;
  ASSERT_TRUE(BuildAboutText(path, 1, "1.2", "1.0.4.0", "QX-4150", &text));
  EXPECT_EQ(text, "V2.1\n\nFront-end" NB "1.2        Algorithm" NB "1.0.4.0\n\nC\n\nAll Rights Reserved");
  ASSERT_TRUE(BuildAboutText(path, 1, "   ", "", "QX-4150", &text));
  EXPECT_EQ(text, "V2.1\n\nFront-end" NB "           Algorithm" NB "\n\nC\n\nAll Rights Reserved");
  ASSERT_TRUE(BuildAboutText(path, 1, "1.2", "x", "ZN-38 TOUCH", &text));
  EXPECT_EQ(text.rfind("\n\nV2.1", 0), 0u);
  ASSERT_TRUE(BuildAboutText(path, 1, "1.2", "x", "zn-38 touch", &text));
  EXPECT_EQ(text.rfind("V2.1", 0), 0u);
  // A section without the keys: the defaults; no CopyRight line.
  ASSERT_TRUE(BuildAboutText(path, 2, "1.2", "x", "", &text));
  EXPECT_EQ(text.rfind("Version 1.0e\n\nFront-end software version" NB "1.2        Front-end" NB "software" NB "version" NB "x", 0), 0u);
  std::filesystem::remove(path);
  EXPECT_FALSE(BuildAboutText(path, 1, "1.2", "x", "", &text));
}

class AboutTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    Write("ProduceInfo/Produceinfo.ver", kInfo);
    std::filesystem::copy_file(std::string(QUORVEX_PROGRAM_DIR) + "/libZentil.so", File("libZentil.so"));
    ASSERT_TRUE(board.Start().ok());
    setenv("QUORVEX_COM4", board.DevicePath().c_str(), 1);
  }
  void TearDown() override {
    unsetenv("QUORVEX_COM4");
    board.Stop();
    ScreenTest::TearDown();
  }
  boardsim::Simulator board;
};

TEST_F(AboutTest, ShowsTheBoardAndLibraryVersionsOnceTheBoardAnswers) {
  CAboutDlg about;
  bool ok = d.RunScript([&] { about.DoModal(); }, [&](ui::TestDriver& s) {
    EXPECT_TRUE(s.RunUntil([&] { return about.boardVersion == "2.1"; }, 3000));
    EXPECT_EQ(s.Text(IDC_ABOUT_TEXT), "V2.1\n\nFront-end" NB "2.1        Algorithm" NB "1.0.4.0\n\nC\n\nAll Rights Reserved");
    EXPECT_EQ(s.MessageBox(), nullptr);
    Shot("about_en");
    s.Press(ui::IDOK);
  });
  EXPECT_TRUE(ok);
  const auto frames = board.Received();
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames[0], analyzer::BuildCommandFrame(0xCC, 0x82, 0, 0));
}

TEST_F(AboutTest, NoiseIsSkippedAndBadFramesShowOneWarningAtATime) {
  CAboutDlg about;
  bool ok = d.RunScript([&] { about.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(s.RunUntil([&] { return about.boardVersion == "2.1"; }, 3000));
    auto post = [&](const std::vector<uint8_t>& bytes, unsigned port = 4) {
      for (uint8_t b : bytes) ui::PostMessageTo(about.Handle(), analyzer::kSerialByteMessage, b, port);
      s.Settle();
    };
    analyzer::CommandFrame good = analyzer::BuildCommandFrame(0xCC, 0x82, 0, 0);
    good[5] = 12;
    good[12] = analyzer::CommandFrameCheck(good);
    // Junk before a frame does not shift it.
    std::vector<uint8_t> bytes = {0x01, 0x02, 0x03};
    bytes.insert(bytes.end(), good.begin(), good.end());
    post(bytes);
    EXPECT_EQ(about.boardVersion, "1.2");
    EXPECT_EQ(s.MessageBox(), nullptr);
    // Bytes of port 0 and 5 are ignored.
    analyzer::CommandFrame other = good;
    other[5] = 33;
    other[12] = analyzer::CommandFrameCheck(other);
    post(std::vector<uint8_t>(other.begin(), other.end()), 0);
    post(std::vector<uint8_t>(other.begin(), other.end()), 5);
    EXPECT_EQ(about.boardVersion, "1.2");
    // Three damaged frames in a row: one warning.
    analyzer::CommandFrame bad = good;
    bad[12] ^= 0x55;
    std::vector<uint8_t> noisy;
    for (int i = 0; i < 3; ++i) noisy.insert(noisy.end(), bad.begin(), bad.end());
    post(noisy);
    EXPECT_EQ(s.MessageBoxText(), "Checksum error");
    EXPECT_EQ(about.checksumWarnings, 1);
    s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
    EXPECT_EQ(s.MessageBox(), nullptr);
    // Collection goes on afresh.
    post(std::vector<uint8_t>(other.begin(), other.end()));
    EXPECT_EQ(about.boardVersion, "3.3");
    s.Press(ui::IDOK);
  });
  EXPECT_TRUE(ok);
}

TEST_F(AboutTest, AMissingBoardPortIsReportedAndTheBoxStillOpens) {
  setenv("QUORVEX_COM4", File("no-such-port").c_str(), 1);
  CAboutDlg about;
  bool ok = d.RunScript([&] { about.DoModal(); }, [&](ui::TestDriver& s) {
    EXPECT_EQ(s.MessageBoxText(), "Failed to initialize communications COM port!");
    s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
    EXPECT_EQ(s.Text(IDC_ABOUT_TEXT), "V2.1\n\nFront-end" NB "           Algorithm" NB "\n\nC\n\nAll Rights Reserved");
    s.Press(ui::IDOK);
  });
  EXPECT_TRUE(ok);
}

TEST_F(AboutTest, ScreenshotsInFiveLanguages) {
  Write("ProduceInfo/Produceinfo.ver",
        std::string(kInfo) + "[CN]\nVersion=V2.1\nFrontVersion=前端版本\nAlgorithms=算法版本\nCompany=公司\nCopyRight=版权所有\n"
                             "[ES]\nVersion=V2.1\nFrontVersion=Version frontal\nAlgorithms=Algoritmo\n"
                             "[FR]\nVersion=V2.1\nFrontVersion=Version carte\nAlgorithms=Algorithme\n"
                             "[UA]\nVersion=V2.1\nFrontVersion=Версія плати\nAlgorithms=Алгоритм\n");
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    CAboutDlg about;
    bool ok = d.RunScript([&] { about.DoModal(); }, [&](ui::TestDriver& s) {
      s.RunUntil([&] { return about.boardVersion == "2.1"; }, 3000);
      Shot(std::string("about_") + kLanguageNames[lang]);
      s.Press(ui::IDOK);
    });
    EXPECT_TRUE(ok);
  }
}

}  // namespace
