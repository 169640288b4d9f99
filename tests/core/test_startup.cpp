#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/app_startup.h"
#include "core/db_errors.h"
#include "core/layout.h"
#include "core/lis_link_state.h"
#include "platform/sys/single_instance.h"
#include "program_folder.h"

namespace fs = std::filesystem;

namespace {

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = AppSettings;
    AppSettings = AppSettingsValues();
    ClearRecentDbErrors();
  }
  void TearDown() override { AppSettings = saved_; }
  TempProgramFolder folder_;
  AppSettingsValues saved_;
};

TEST_F(StartupTest, MissingSettingsFileGivesTheDefaults) {
  ReadStartupSettings();
  EXPECT_EQ(LisLinkState.ServerAddress, "0.0.0.0");
  EXPECT_EQ(LisLinkState.ServerPort, 0);
  EXPECT_EQ(LisLinkState.AddressMode, 1);
  EXPECT_EQ(LisLinkState.LinkKind, 0);
  EXPECT_EQ(ChineseEditionFromSettings(1), 1);
  EXPECT_EQ(ChineseEditionFromSettings(0), 0);
}

TEST_F(StartupTest, SoftwareVersionDecidesTheChineseEdition) {
  struct Case { const char* ini; int fromLanguage; int expected; };
  const Case cases[] = {
      {"[Setting]\nSOFTWAREVERSION=1\n", 0, 1},
      {"[Setting]\nSOFTWAREVERSION=0\n", 1, 0},
      {"[Setting]\nSOFTWAREVERSION=2\n", 1, 0},
      {"[Setting]\nSOFTWAREVERSION=\n", 1, 1},   // empty keeps the language's choice
      {"[Setting]\nSOFTWAREVERSION=\n", 0, 0},
      {"[Setting]\nLZLON=1\n", 1, 1},            // no key: the default is the current value
      {"[setting]\nsoftwareversion=1\n", 0, 1},  // names without letter case
      {"[Setting]\nSOFTWAREVERSION=abc\n", 1, 0},
      {"[Setting]\nSOFTWAREVERSION=1abc\n", 0, 1},
  };
  for (const auto& c : cases) {
    folder_.write("Setting.ini", c.ini);
    EXPECT_EQ(ChineseEditionFromSettings(c.fromLanguage), c.expected) << c.ini << c.fromLanguage;
  }
}

TEST_F(StartupTest, ChineseEditionFromTheUsersLanguage) {
  struct Case { const char* lcAll; const char* lang; int expected; };
  const Case cases[] = {
      {"", "zh_CN.UTF-8", 1}, {"", "en_US.UTF-8", 0}, {"zh_TW.UTF-8", "en_US.UTF-8", 1},
      {"de_DE.UTF-8", "zh_CN.UTF-8", 0}, {"", "", 0},
  };
  const char* saved[3] = {std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")};
  std::string keep[3];
  for (int i = 0; i < 3; ++i) keep[i] = saved[i] ? saved[i] : "";
  unsetenv("LC_MESSAGES");
  for (const auto& c : cases) {
    setenv("LC_ALL", c.lcAll, 1);
    setenv("LANG", c.lang, 1);
    EXPECT_EQ(ChineseEditionFromSystemLanguage(), c.expected) << c.lcAll << "/" << c.lang;
  }
  const char* names[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  for (int i = 0; i < 3; ++i) {
    if (saved[i]) setenv(names[i], keep[i].c_str(), 1);
    else unsetenv(names[i]);
  }
}

TEST_F(StartupTest, DumpFilesAreDeletedOnlyWhenMoreThanFive) {
  for (int count : {5, 6}) {
    TempProgramFolder own;
    for (int i = 0; i < count; ++i) own.write("cc_" + std::to_string(1000 + i) + ".dmp", "dump");
    own.write("keep.dmp.txt", "x");
    EXPECT_EQ(CleanUpStartupFiles(), count > 5 ? count : 0) << count;
    int left = 0;
    for (auto& e : fs::directory_iterator(own.path()))
      if (e.path().extension() == ".dmp") ++left;
    EXPECT_EQ(left, count > 5 ? 0 : count) << count;
    EXPECT_TRUE(fs::exists(own.path() / "keep.dmp.txt"));
  }
}

TEST_F(StartupTest, CleanUpRemovesTheLockAndTraceFilesButNotTheDataStore) {
  for (const char* f : {"Vantorium.ldb", "serialdata.txt", "sampletestdata.txt", "Vantorium.mdb",
                        "Vantorium.mdb-wal", "checksum.txt"})
    folder_.write(f, "x");
  CleanUpStartupFiles();
  EXPECT_FALSE(fs::exists(folder_.path() / "Vantorium.ldb"));
  EXPECT_FALSE(fs::exists(folder_.path() / "serialdata.txt"));
  EXPECT_FALSE(fs::exists(folder_.path() / "sampletestdata.txt"));
  EXPECT_TRUE(fs::exists(folder_.path() / "Vantorium.mdb"));
  EXPECT_TRUE(fs::exists(folder_.path() / "Vantorium.mdb-wal"));
  EXPECT_TRUE(fs::exists(folder_.path() / "checksum.txt"));
  CleanUpStartupFiles();  // nothing to delete is no error
}

TEST_F(StartupTest, ProductName) {
  struct Case { const char* content; std::string expected; };
  const Case cases[] = {
      {"[Module]\nName=QX-4150\n", "QX-4150"},
      {"[Module]\nVersion=1\n", " "},  // a missing key gives one blank
      {"[Module]\nName=\n", "before"},  // an empty text keeps the name
  };
  for (const auto& c : cases) {
    AppSettings.ProductName = "before";
    folder_.write("ProduceInfo/Produceinfo.ver", c.content);
    ReadProduceInfo();
    EXPECT_EQ(AppSettings.ProductName, c.expected) << c.content;
  }
  folder_.write("ProduceInfo/Produceinfo.ver", "[Module]\nName=" + std::string(150, 'N') + "\n");
  ReadProduceInfo();
  EXPECT_EQ(AppSettings.ProductName, std::string(99, 'N'));

  fs::remove_all(folder_.path() / "ProduceInfo");
  AppSettings.ProductName.clear();
  ReadProduceInfo();
  EXPECT_EQ(AppSettings.ProductName, "");
}

TEST_F(StartupTest, LisSettingsAndTheAddressMode) {
  folder_.write("Setting.ini",
                "[LIS]\nCLIENT=192.168.1.20\nMASK=255.255.255.0\nGATEWAY=192.168.1.1\n"
                "SERVER=127.0.0.1\nPORT=5100\nDOUBLE=1\nWARNING=1\nTYPE=0\n[COMMUNITY]\nType=1\n");
  LisLinkState.NetworkReady = 0;
  LisLinkState.ApplyPending = 1;
  ReadStartupSettings();
  EXPECT_EQ(LisLinkState.OwnAddress, "192.168.1.20");
  EXPECT_EQ(LisLinkState.SubnetMask, "255.255.255.0");
  EXPECT_EQ(LisLinkState.Gateway, "192.168.1.1");
  EXPECT_EQ(LisLinkState.ServerAddress, "127.0.0.1");
  EXPECT_EQ(LisLinkState.ServerPort, 5100);
  EXPECT_EQ(LisLinkState.Bidirectional, 1);
  EXPECT_EQ(LisLinkState.AlarmSending, 1);
  EXPECT_EQ(LisLinkState.AddressMode, 0);
  EXPECT_EQ(LisLinkState.LinkKind, 1);
  EXPECT_EQ(LisLinkState.NetworkReady.load(), 0);  // fixed addresses wait to be applied
  EXPECT_EQ(LisLinkState.ApplyPending.load(), 1);

  folder_.write("Setting.ini", "[LIS]\nTYPE=1\n");
  ReadStartupSettings();
  EXPECT_EQ(LisLinkState.NetworkReady.load(), 1);
  EXPECT_EQ(LisLinkState.ApplyPending.load(), 0);
  EXPECT_EQ(LisLinkState.AlarmSending, 0);

  // A port outside 1..65535 names no server.
  for (const char* port : {"70000", "65536", "-5", "0"}) {
    folder_.write("Setting.ini", std::string("[LIS]\nPORT=") + port + "\n");
    ReadStartupSettings();
    EXPECT_EQ(LisLinkState.ServerPort, 0) << port;
  }
  folder_.write("Setting.ini", "[LIS]\nPORT=65535\n");
  ReadStartupSettings();
  EXPECT_EQ(LisLinkState.ServerPort, 65535);
}

TEST_F(StartupTest, ASecondCopyIsTurnedAway) {
  sys::SingleInstance first, second;
  EXPECT_EQ(SingleInstanceName(), "Quorvex.EXE");
  EXPECT_TRUE(AcquireSingleInstance(first, folder_.path().string()));
  EXPECT_FALSE(AcquireSingleInstance(second, folder_.path().string()));
  first.Release();
  EXPECT_TRUE(AcquireSingleInstance(second, folder_.path().string()));
}

TEST_F(StartupTest, AFreshProgramFolderStartsCreatesItsDataStoreAndReadsItsSettings) {
  folder_.write("Setting.ini", "[Setting]\nSOFTWAREVERSION=1\n");
  folder_.write("ProduceInfo/Produceinfo.ver", "[Module]\nName=QX-4150\n");
  AppSettings.LayoutScale = 1.25f;
  CADOConn conn;
  ASSERT_TRUE(RunCoreStartup(conn));
  EXPECT_EQ(SharedDialogFont().height, 20);
  EXPECT_TRUE(RecentDbErrors().empty()) << RecentDbErrors()[0];
  EXPECT_TRUE(fs::exists(folder_.path() / "Vantorium.mdb"));
  EXPECT_EQ(AppSettings.ProgramFolder, folder_.path().string() + "/");
  EXPECT_EQ(AppSettings.ProductName, "QX-4150");
  EXPECT_EQ(AppSettings.ChineseEdition, 1);
  EXPECT_EQ(AppSettings.LanguageIndex, 0);
  EXPECT_EQ(AppSettings.SerialNumber, "");
  EXPECT_TRUE(conn.IsConnected());

  // What a screen writes is there at the next start.
  EXPECT_EQ(conn.Execute("update SysSetting set SLanguage=3, SerialNum='QX0001'"), 1);
  conn.Disconnect();
  AppSettings = AppSettingsValues();
  CADOConn again;
  ASSERT_TRUE(RunCoreStartup(again));
  EXPECT_EQ(AppSettings.LanguageIndex, 3);
  EXPECT_EQ(AppSettings.SerialNumber, "QX0001");
}

TEST_F(StartupTest, AnUnreachableDataStoreIsReportedAndStartupGoesOn) {
  // A folder where the file should be: it can be neither created nor opened.
  fs::create_directories(folder_.path() / "Vantorium.mdb");
  CADOConn conn;
  EXPECT_FALSE(RunCoreStartup(conn));
  EXPECT_FALSE(RecentDbErrors().empty());
}

TEST_F(StartupTest, AnUnreachableDataStoreIsToldInTheLanguageOfTheRestOfTheStart) {
  // The language index is not read yet when the store fails to open: its boxes take the
  // edition's language, the one the start-up screen settles for every later box (an
  // international edition shows no Chinese, so its OK button is "OK", not "确定").
  fs::create_directories(folder_.path() / "Vantorium.mdb");
  struct Case {
    const char* softwareVersion;
    int language;
  } cases[] = {{"0", 1}, {"1", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.softwareVersion);
    AppSettings = AppSettingsValues();
    folder_.write("Setting.ini", std::string("[Setting]\nSOFTWAREVERSION=") + c.softwareVersion + "\n");
    std::vector<int> languages;
    SetDbErrorSink([&](const std::string&) { languages.push_back(AppSettings.LanguageIndex); });
    CADOConn conn;
    EXPECT_FALSE(RunCoreStartup(conn));
    SetDbErrorSink(nullptr);
    ASSERT_FALSE(languages.empty());
    for (int language : languages) EXPECT_EQ(language, c.language);
    // The start-up screen's step that settles the language for the rest keeps it.
    FitLanguageToEdition();
    EXPECT_EQ(AppSettings.LanguageIndex, c.language);
  }
}

TEST(ParseLeadingNumberTest, Table) {
  struct Case { const char* text; double value; };
  const Case cases[] = {{"1.5", 1.5}, {" 2", 2}, {"-0.25x", -0.25}, {"+3", 3}, {"", 0},
                        {"x1", 0}, {"1,5", 1}, {"7e1", 70}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(ParseLeadingNumber(c.text), c.value) << c.text;
}

}  // namespace

namespace {

TEST(StartupTextsTest, HelpFilesTitlesAndPortMessages) {
  AppSettingsValues saved = AppSettings;
  AppSettings.ProductName = "QX-4150";
  struct Case { int language; const char* file; const char* title; };
  const Case cases[] = {
      {0, "Quorvex.chm", "QX-4150 全自动血细胞分析仪"},
      {1, "QuorvexEN.chm", "QX-4150 Auto Hematology Analyzer"},
      {2, "QuorvexSP.chm", "QX-4150 Auto Hematology Analyzer"},
      {3, "QuorvexFH.chm", "QX-4150 Auto Hematology Analyzer"},
      {4, "QuorvexUA.chm", "QX-4150 Автоматичний гематологічний аналізатор"},
  };
  for (const auto& c : cases) {
    std::string path = HelpFilePath(c.language);
    EXPECT_EQ(path.substr(path.rfind('/') + 1), c.file);
    EXPECT_EQ(HelpWindowTitle(c.language), c.title);
  }
  EXPECT_STREQ(PrinterPortFailedText(1), "Failed to initialize printer COM port!");
  EXPECT_STREQ(BoardPortFailedText(0), "前端通信串口初始化失败！");
  EXPECT_EQ(PrinterPortFailedText(5), nullptr);
  EXPECT_EQ(BoardPortFailedText(-1), nullptr);
  AppSettings = saved;
}

}  // namespace

#include "platform/sys/host_fakes.h"

namespace {

TEST(ExitTest, ThePcIsSwitchedOffOnlyWhenTheShutdownAskedForIt) {
  sys::FakePowerControl power;
  sys::SetPowerControl(&power);
  AppSettingsValues saved = AppSettings;
  AppSettings.PowerOffFlag = 0;
  EXPECT_FALSE(PowerOffIfRequested());
  EXPECT_EQ(power.calls, 0);
  AppSettings.PowerOffFlag = 1;
  EXPECT_TRUE(PowerOffIfRequested());
  EXPECT_EQ(power.calls, 1);
  sys::SetPowerControl(nullptr);
  AppSettings = saved;
}

TEST_F(StartupTest, TheNewDataStoreHoldsExactlyTheCatalogue) {
  CADOConn conn;
  ASSERT_TRUE(OpenAndUpgradeDataStore(conn));
  for (const char* table : kDataStoreTables)
    EXPECT_EQ(RawScalar(std::string("select count(*) from sqlite_master where type='table' and name='") +
                        table + "'"), "1") << table;
  EXPECT_EQ(RawScalar("select count(*) from sqlite_master where type='table'"), "22");
}

}  // namespace
