// The note of the count in progress: its reading (missing, empty, damaged, another version, a
// row of its count stored or not) and the start-up's naming of a result it left unnamed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/ado_conn.h"
#include "measurement/count_note.h"
#include "platform/sys/clock.h"
#include "program_folder.h"

using namespace measurement;

namespace {

const std::string kNote =
    "Quorvex count in progress\nversion=1\nSampleNo=12\nTestDate=2026-12-09\nTestTime=08:15:30\n";
const std::string kEnglishName =
    "Sample 12 (count started 2026-12-09 08:15:30): its result may have been shown but was not kept; count it again";

TEST(CountNote, ReadingTolerates) {
  struct Case {
    const char* name;
    std::string text;
    CountNoteState state;
  } cases[] = {
      {"a whole note", kNote, CountNoteState::Read},
      {"written on another system (CR LF)",
       "Quorvex count in progress\r\nversion=1\r\nSampleNo=12\r\nTestDate=2026-12-09\r\nTestTime=08:15:30\r\n",
       CountNoteState::Read},
      {"empty (its bytes never reached the disk)", "", CountNoteState::Empty},
      {"zero bytes where the text was", std::string(40, '\0'), CountNoteState::Damaged},
      {"cut after the version", "Quorvex count in progress\nversion=1\nSampl", CountNoteState::Damaged},
      {"no version", "Quorvex count in progress\nSampleNo=12\nTestDate=2026-12-09\nTestTime=08:15:30\n",
       CountNoteState::Damaged},
      {"an older version", "Quorvex count in progress\nversion=0\nSampleNo=12\n", CountNoteState::OtherVersion},
      {"a later version", "Quorvex count in progress\nversion=2\nSample=12\n", CountNoteState::OtherVersion},
      {"a sample number that is not one",
       "Quorvex count in progress\nversion=1\nSampleNo=1' or '1\nTestDate=2026-12-09\nTestTime=08:15:30\n",
       CountNoteState::Damaged},
      {"a sample number of nine digits",
       "Quorvex count in progress\nversion=1\nSampleNo=123456789\nTestDate=2026-12-09\nTestTime=08:15:30\n",
       CountNoteState::Damaged},
      {"a damaged date", "Quorvex count in progress\nversion=1\nSampleNo=12\nTestDate=2026-1-09\nTestTime=08:15:30\n",
       CountNoteState::Damaged},
      {"a damaged time", "Quorvex count in progress\nversion=1\nSampleNo=12\nTestDate=2026-12-09\nTestTime=08:15\n",
       CountNoteState::Damaged},
      {"another file", "[Setting]\nSOFTWAREVERSION=1\n", CountNoteState::Damaged},
  };
  for (const Case& c : cases) {
    const CountNoteRead r = ParseCountNote(c.text);
    EXPECT_EQ(r.state, c.state) << c.name;
    if (c.state == CountNoteState::Read) {
      EXPECT_EQ(r.note.sampleNo, "12") << c.name;
      EXPECT_EQ(r.note.testDate, "2026-12-09") << c.name;
      EXPECT_EQ(r.note.testTime, "08:15:30") << c.name;
    } else {
      EXPECT_FALSE(r.problem.empty()) << c.name;
    }
  }
  // What the keeper writes is what the start-up reads.
  EXPECT_EQ(CountNoteText(CountNote{"12", "2026-12-09", "08:15:30"}), kNote);
}

class CountNoteAtStartup : public ::testing::Test {
 protected:
  void SetUp() override { sys::Clock::UseManual(sys::LocalTime{2026, 12, 9, 9, 0, 0, 0, 3}); }
  void TearDown() override { sys::Clock::UseReal(); }

  // The start-up's part, on a connection of its own; the system log rows it wrote.
  std::string Start(int language = 1) {
    CADOConn conn;
    const std::string text = NameLostCount(conn, folder.folder(), language);
    conn.Disconnect();
    return text;
  }
  bool NoteLeft() const { return std::filesystem::exists(folder.file(kCountNoteFile)); }

  MeasurementFolder folder;
};

TEST_F(CountNoteAtStartup, NamesALostResultOnceAndOnlyWhenItsRowIsMissing) {
  // Rows as the count writes them carry a value text in WBC; the patient screen's and the
  // LIS's rows do not.
  const std::string counted = "insert into Person(SampleNo, TestDate, TestTime, WBC) values";
  struct Case {
    const char* name;
    std::string note;  // empty: no note
    std::string rows;  // inserted before the start
    bool named;
  } cases[] = {
      {"no note", "", "", false},
      {"an empty note", " ", "", false},
      {"a damaged note", "Quorvex count in progress\nversion=1\nSampleNo=x\n", "", false},
      {"a note of an older version", "Quorvex count in progress\nversion=0\n", "", false},
      {"no row of the sample", kNote, "", true},
      {"the count's row stored (cut before the note was removed)", kNote,
       counted + "('12','2026-12-09','08:16:02','7.20')", false},
      {"the count's row stored at its start's second", kNote, counted + "('12','2026-12-09','08:15:30','7.20')",
       false},
      {"the count's row stored after midnight", kNote, counted + "('12','2026-12-10','00:00:41','7.20')", false},
      {"only an earlier result of the number (the count's update lost)", kNote,
       counted + "('12','2026-12-09','07:40:00','6.10')", true},
      {"only patient data entered during the count",
       kNote, "insert into Person(SampleNo, TestDate, TestTime, Name) values('12','2026-12-09','08:15:50','Ana')", true},
      {"a result of another sample", kNote, counted + "('13','2026-12-09','08:16:02','7.20')", true},
      {"the same number on the day before", kNote, counted + "('12','2026-12-08','09:00:00','7.20')", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Exec("delete from Person");
    Exec("delete from SysLog");
    std::filesystem::remove(folder.file(kCountNoteFile));
    if (!c.note.empty()) folder.write(kCountNoteFile, c.note == " " ? "" : c.note);
    if (!c.rows.empty()) Exec(c.rows);
    const std::string text = Start();
    EXPECT_EQ(text, c.named ? kEnglishName : "");
    EXPECT_EQ(Scalar("select count(*) from SysLog"), c.named ? "1" : "0");
    if (c.named) {
      EXPECT_EQ(Scalar("select Date || ' ' || Time || '|' || Event || '|' || Result from SysLog"),
                "2026-12-09 09:00:00|Sample test|" + kEnglishName);
    }
    EXPECT_FALSE(NoteLeft());
    // Named once: the next start says nothing more.
    EXPECT_EQ(Start(), "");
    EXPECT_EQ(Scalar("select count(*) from SysLog"), c.named ? "1" : "0");
  }
}

TEST_F(CountNoteAtStartup, NamesItInTheLanguageOfTheRun) {
  const char* expected[5] = {
      "样本 12（2026-12-09 08:15:30 开始测试）的结果可能已显示但未保存，请重新测试",
      kEnglishName.c_str(),
      "Muestra 12 (recuento iniciado 2026-12-09 08:15:30): su resultado pudo mostrarse pero no se guardó; vuelva a "
      "contarla",
      "Échantillon 12 (comptage commencé le 2026-12-09 08:15:30) : son résultat a pu être affiché mais n'a pas été "
      "enregistré ; comptez-le à nouveau",
      "Проба 12 (аналіз розпочато 2026-12-09 08:15:30): її результат міг бути показаний, але не збережений; "
      "повторіть аналіз"};
  const char* event[5] = {"样本测试", "Sample test", "Muestra de prueba", "Tester de echantillon", "Аналіз"};
  for (int lang = 0; lang < 5; ++lang) {
    SCOPED_TRACE(lang);
    Exec("delete from SysLog");
    folder.write(kCountNoteFile, kNote);
    EXPECT_EQ(Start(lang), expected[lang]);
    EXPECT_EQ(Scalar("select Event from SysLog"), event[lang]);
  }
}

TEST_F(CountNoteAtStartup, AStoreThatCannotBeAskedKeepsTheNoteForTheNextStart) {
  folder.write(kCountNoteFile, kNote);
  // A folder where the store should be: it cannot be opened.
  std::filesystem::rename(folder.file("Vantorium.mdb"), folder.file("Vantorium.mdb.away"));
  std::filesystem::create_directory(folder.file("Vantorium.mdb"));
  EXPECT_EQ(Start(), "");
  EXPECT_TRUE(NoteLeft());
  std::filesystem::remove(folder.file("Vantorium.mdb"));
  std::filesystem::rename(folder.file("Vantorium.mdb.away"), folder.file("Vantorium.mdb"));
  EXPECT_EQ(Start(), kEnglishName);
  EXPECT_FALSE(NoteLeft());
}

TEST_F(CountNoteAtStartup, TheKeeperLeavesANoteOnlyForAResultShownAndNotStored) {
  const std::string path = folder.file(kCountNoteFile);
  const sys::LocalTime start{2026, 12, 9, 8, 15, 30, 0, 3};
  struct Case {
    const char* name;
    void (*end)(CountNoteKeeper&);
    bool left;
  } cases[] = {
      {"row stored", [](CountNoteKeeper& k) { k.Stored(); }, false},
      {"row refused", [](CountNoteKeeper& k) { k.NotStored(); }, true},
      {"aborted, time-out or fault", [](CountNoteKeeper& k) { k.EndedWithoutResult(); }, false},
      {"row refused, then the test's end", [](CountNoteKeeper& k) {
         k.NotStored();
         k.EndedWithoutResult();
       }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(path);
    CountNoteKeeper keeper(path);
    keeper.Begin("12", start);
    EXPECT_EQ(FileBytes(path), kNote);
    c.end(keeper);
    EXPECT_EQ(NoteLeft(), c.left);
  }
}

}  // namespace
