#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/ado_conn.h"
#include "app/screens/backup_files.h"
#include "app/screens/bak_recover.h"
#include "app/screens/folder_pick.h"
#include "controls/message_box_dlg.h"
#include "platform/db/connection.h"
#include "platform/sys/path_map.h"
#include "platform/ui/message_box.h"
#include "screen_fixture.h"
#include "tests/support/screen_pixels.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string ScalarIn(const std::string& file, const std::string& sql) {
  db::Connection c;
  if (!c.Open(file)) return "<" + c.LastError() + ">";
  auto rs = c.OpenRecordset(sql);
  if (!rs->IsOpen()) return "<" + rs->LastError() + ">";
  return rs->IsEOF() ? "" : rs->Field(0).AsText();
}

class BackupTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    Write("TD.dat", "raw-1");
    Write("TDI.dat", "index-1");
    Write("Setting.ini", "[Setting]\nSOFTWAREVERSION=0\n");
    Sql("delete from SysLog");
    backup = Folder() / "backup";
  }
  fs::path backup;
};

TEST_F(BackupTest, RoundTripWithALiveConnectionWriting) {
  // A connection of the program keeps writing: its rows live in the write-ahead log until a
  // checkpoint, and a plain file copy would miss them.
  CADOConn live;
  ASSERT_EQ(live.Execute("insert into SysLog values('2026-1-5','08:00:00','Before','backup')"), 1);
  const CopyOutcome out = BackupProgramFiles(Folder().string() + "/", backup.string());
  ASSERT_TRUE(out.ok()) << (out.failed.empty() ? "" : out.failed[0]);
  EXPECT_EQ(ScalarIn((backup / "Vantorium.mdb").string(), "select Event from SysLog"), "Before");
  EXPECT_EQ(ReadFile(backup / "TD.dat"), "raw-1");
  EXPECT_EQ(ReadFile(backup / "TDI.dat"), "index-1");
  EXPECT_EQ(ReadFile(backup / "Setting.ini"), "[Setting]\nSOFTWAREVERSION=0\n");

  ASSERT_EQ(live.Execute("insert into SysLog values('2026-1-5','09:00:00','After','backup')"), 1);
  Write("TD.dat", "raw-2");
  Write("Setting.ini", "changed");
  // The backup folder names the database in lower case; it is found all the same.
  fs::rename(backup / "Vantorium.mdb", backup / "vantorium.mdb");
  const CopyOutcome back = RestoreProgramFiles(Folder().string() + "/", backup.string());
  ASSERT_TRUE(back.ok()) << (back.failed.empty() ? "" : back.failed[0]);
  EXPECT_TRUE(back.missing.empty());
  EXPECT_EQ(ReadFile(Folder() / "TD.dat"), "raw-1");
  EXPECT_EQ(ReadFile(Folder() / "Setting.ini"), "[Setting]\nSOFTWAREVERSION=0\n");
  // The open connection sees the restored data store, not a torn file.
  RecordsetPtr& rs = live.OpenRecordset("select count(*) from SysLog");
  ASSERT_TRUE(live.RecordsetOpen());
  EXPECT_EQ(rs->Field(0).AsText(), "1");
  live.CloseRecordset();
  EXPECT_EQ(Scalar("select Event from SysLog"), "Before");
  EXPECT_EQ(Scalar("pragma integrity_check"), "ok");
}

TEST_F(BackupTest, FailuresAreReportedNotHidden) {
  // A folder whose parent is missing is not made.
  CopyOutcome out = BackupProgramFiles(Folder().string() + "/", (Folder() / "no" / "such").string());
  EXPECT_TRUE(out.folderFailed);
  EXPECT_TRUE(out.copied.empty());
  // A destination that cannot be written is named.
  fs::create_directories(backup / "TD.dat" / "in-the-way");
  out = BackupProgramFiles(Folder().string() + "/", backup.string());
  EXPECT_FALSE(out.ok());
  ASSERT_EQ(out.failed.size(), 1u);
  EXPECT_NE(out.failed[0].find("TD.dat"), std::string::npos);
  EXPECT_TRUE(fs::exists(backup / "TDI.dat"));
  // A restore source that is not a database leaves the live file alone.
  fs::create_directories(Folder() / "bad");
  Write("bad/vantorium.mdb", "this is not a database");
  Sql("insert into SysLog values('2026-1-5','08:00:00','Kept','x')");
  out = RestoreProgramFiles(Folder().string() + "/", (Folder() / "bad").string());
  EXPECT_FALSE(out.ok());
  EXPECT_EQ(out.missing.size(), 3u);
  EXPECT_EQ(Scalar("select Event from SysLog"), "Kept");
}

TEST_F(BackupTest, ScreenReportsEachOutcome) {
  auto run = [&](int mode, const std::string& where, const std::function<void(ui::TestDriver&)>& answer) {
    CBakRecover screen;
    screen.mode = mode;
    bool ok = d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
      EXPECT_EQ(s.Text(IDC_BAK_FOLDER), "C:\\QuorvexData");
      s.Find(IDC_BAK_FOLDER)->SetWindowText(where);
      s.Press(ui::IDOK);
      answer(s);
      s.Press(ui::IDCANCEL);
    });
    EXPECT_TRUE(ok);
  };
  auto expectBox = [](ui::TestDriver& s, const std::string& text) {
    EXPECT_EQ(s.MessageBoxText(), text);
    s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
  };
  run(1, (Folder() / "no" / "such").string(), [&](ui::TestDriver& s) { expectBox(s, "Create directory failed!"); });
  // A failed backup is logged with what it could not write.
  EXPECT_EQ(Scalar("select Event || '/' || Result from SysLog"), "Backup/Failed: " + (Folder() / "no" / "such").string());
  Sql("delete from SysLog");
  run(1, backup.string(), [&](ui::TestDriver& s) { expectBox(s, "Backup finished!"); });
  EXPECT_EQ(Scalar("select Event || '/' || Result from SysLog"), "Backup/Finished");
  fs::remove(backup / "TD.dat");
  run(0, backup.string(), [&](ui::TestDriver& s) {
    EXPECT_EQ(s.MessageBoxText(), "Are you sure to recover the system data?");
    s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OKCANCEL, ui::IDOK));
    expectBox(s, (backup / "TD.dat").string() + " file not found!");
    // A backup without its raw data is no backup: nothing is restored.
    expectBox(s, "Recovery failed!");
  });
  run(1, Folder().string(), [&](ui::TestDriver& s) {
    expectBox(s, "Backup failed!\nThe program folder cannot be the backup folder!");
  });
  fs::create_directories(backup / "TD.dat" / "in-the-way");
  Sql("delete from SysLog");
  run(1, backup.string(), [&](ui::TestDriver& s) {
    EXPECT_EQ(s.MessageBoxText().rfind("Backup failed!\n", 0), 0u) << s.MessageBoxText();
    s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
  });
  EXPECT_EQ(Scalar("select Event || '/' || Result from SysLog"), "Backup/Failed: " + (backup / "TD.dat").string());
  run(0, (Folder() / "absent").string(), [&](ui::TestDriver& s) { expectBox(s, "The directory not found!"); });
}

TEST_F(BackupTest, BrowseCancelledLeavesTheFolder) {
  SetFolderPicker([](const std::string&, const std::string&) { return std::string(); });
  CBakRecover screen;
  bool ok = d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    s.Press(IDC_BAK_BROWSE);
    EXPECT_EQ(s.Text(IDC_BAK_FOLDER), "C:\\QuorvexData");
    s.Press(ui::IDCANCEL);
  });
  EXPECT_TRUE(ok);
  SetFolderPicker(nullptr);
}

TEST_F(BackupTest, BrowsePicksAFolderWithTheProgramsOwnPicker) {
  fs::create_directories(Folder() / "usb");
  CBakRecover screen;
  bool ok = d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    s.Find(IDC_BAK_FOLDER)->SetWindowText((Folder() / "usb").string());
    s.Press(IDC_BAK_BROWSE);
    EXPECT_EQ(s.Text(10), (Folder() / "usb").string());  // the picker starts at the folder shown
    Shot("backup_browse");
    s.Press(ui::IDOK);
    EXPECT_EQ(s.Text(IDC_BAK_FOLDER), (Folder() / "usb").string());
    s.Press(ui::IDCANCEL);
  });
  EXPECT_TRUE(ok);
}

// The default folder does not exist yet: the picker opens at the data folder (the folder that
// stands for drive C:), not at the root of the machine, and wears the screens' skin: no caption
// bar of the framework, the dialog frame on its edge and the light stripe under the top band.
TEST_F(BackupTest, BrowseOpensAtTheDataFolderWhenTheDefaultIsMissing) {
  const fs::path drives = Folder() / "drives";
  sys::SetDriveRoot(drives.string());
  const std::string data = (drives / "drive_c").string();
  CBakRecover screen;
  std::string shown;
  std::vector<std::string> listed;
  support::WindowEdges edges;
  draw::Color underBand = 0;
  bool ok = d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    EXPECT_EQ(s.Text(IDC_BAK_FOLDER), "C:\\QuorvexData");
    s.Press(IDC_BAK_BROWSE);
    shown = s.Text(IDC_PICK_PATH);
    auto* list = dynamic_cast<ui::ListBox*>(s.Find(IDC_PICK_LIST));
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < list->GetCount(); ++i) listed.push_back(list->GetText(i));
    ui::Window* picker = s.TopWindow();
    edges = support::ReadWindowEdges(s, picker);
    underBand = s.Screen().GetPixel(edges.window.left + 6, edges.window.top + 27);
    Shot("backup_browse_default");
    s.Press(ui::IDOK);
    EXPECT_EQ(s.Text(IDC_BAK_FOLDER), data);
    s.Press(ui::IDCANCEL);
  });
  sys::SetDriveRoot("");
  EXPECT_TRUE(ok);
  EXPECT_EQ(shown, data);
  EXPECT_TRUE(fs::is_directory(data));
  EXPECT_EQ(listed, std::vector<std::string>{".."});  // a new data folder holds no folders yet
  EXPECT_TRUE(edges.Frameless());
  EXPECT_EQ(edges.top, draw::RGB(0, 76, 120));
  EXPECT_EQ(underBand, draw::RGB(205, 213, 215));
}

TEST(FolderPickStart, WantedFolderElseDataFolder) {
  support::ScratchProgramFolder folder("quorvex_pick_", /*withDataStore=*/false);
  sys::SetDriveRoot((folder.path() / "drives").string());
  const std::string data = (folder.path() / "drives" / "drive_c").string();
  fs::create_directories(folder.path() / "usb");
  EXPECT_EQ(PickerStartFolder((folder.path() / "usb").string()), (folder.path() / "usb").string());
  EXPECT_EQ(PickerStartFolder((folder.path() / "usb").string() + "/"), (folder.path() / "usb").string());
  EXPECT_EQ(PickerStartFolder((folder.path() / "absent").string()), data);
  EXPECT_EQ(PickerStartFolder(""), data);
  sys::SetDriveRoot("");
}

TEST_F(BackupTest, ScreenshotsInFiveLanguages) {
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    for (int mode : {1, 0}) {
      CBakRecover screen;
      screen.mode = mode;
      bool ok = d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
        Shot(std::string(mode ? "backup_" : "restore_") + kLanguageNames[lang]);
        s.Press(ui::IDCANCEL);
      });
      EXPECT_TRUE(ok);
    }
  }
}

}  // namespace
