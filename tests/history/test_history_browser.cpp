// The results browser over a store of 50,000 results: opening (with the purge), paging, the
// two sort orders, searching, deleting rows with their raw records, and Detail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "analyzer/raw_test_data.h"
#include "analyzer/raw_test_data_rewrite.h"
#include "core/field_read.h"
#include "core/value_format.h"
#include "history/history_graphics.h"
#include "history/history_list.h"
#include "history/history_list_find.h"
#include "history/history_list_logic.h"
#include "history/history_search.h"
#include "lis/lis_link.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "results_store.h"
#include "tests/support/io_faults.h"

using namespace history_test;

namespace {

class BrowserTest : public StoreTest {
 protected:
  // Runs the browser; `script` works it from the driver's thread, then Exit closes it.
  void Run(CHistoryList& screen, const std::function<void(ui::TestDriver&)>& script) {
    EXPECT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
      script(s);
      s.Press(ui::IDCANCEL);
    }, 120000));
  }
  // Runs `f` once on the UI thread (the condition of RunUntil is checked there).
  template <class F>
  void Ui(ui::TestDriver& s, F f) {
    bool done = false;
    s.RunUntil([&] {
      if (!done) f();
      done = true;
      return true;
    });
  }
  void ExpectColumn(CHistoryList& screen, int col, int row) {
    const StoreRow r = RowOf(row);
    EXPECT_EQ(screen.Grid().GetItemText(0, col), r.sampleNo) << "column " << col << " row " << row;
    EXPECT_EQ(screen.Grid().GetItemText(1, col), r.testDate) << "column " << col;
    EXPECT_EQ(screen.Grid().GetItemText(2, col), r.testTime) << "column " << col;
    EXPECT_EQ(screen.Grid().GetItemText(3, col), r.wbc) << "column " << col;
  }
  std::string RawIndexKeys() {
    std::string keys;
    const std::string index = support::FileBytes(AppSettings.ProgramFolder + analyzer::kRawIndexFile);
    for (size_t at = 0; at + 32 <= index.size(); at += 32)
      keys += analyzer::IndexRecordKey(reinterpret_cast<const unsigned char*>(index.data() + at)) + "|";
    return keys;
  }
};

constexpr int kStore = 50000;

TEST_F(BrowserTest, ThePurgeOfEmptyRowsLooksOnlyAtRowsWithoutAResult) {
  // Opening the browser purges empty rows: over an index of the rows without a WBC, not over
  // every stored result.
  CADOConn conn;
  RecordsetPtr& rs = conn.OpenRecordset("explain query plan " + history::PurgeEmptyRowsSql());
  ASSERT_TRUE(conn.RecordsetOpen());
  std::string plan;
  for (; !rs->IsEOF(); rs->MoveNext()) {
    std::string detail;
    ReadField(*rs, "detail", detail);
    plan += detail + ";";
  }
  conn.CloseRecordset();
  EXPECT_NE(plan.find("USING INDEX PersonWithoutResult"), std::string::npos) << plan;
  // And it still keeps a profile and removes a row holding nothing.
  Sql("insert into Person(SampleNo,TestDate,TestTime,Name) values('1','2025-01-01','08:00:00','Ann')");
  Sql("insert into Person(SampleNo,TestDate,TestTime) values('2','2025-01-01','08:10:00')");
  Sql("insert into Person(SampleNo,TestDate,TestTime,WBC) values('3','2025-01-01','08:20:00','5.0')");
  Sql(history::PurgeEmptyRowsSql());
  EXPECT_EQ(Scalar("select group_concat(SampleNo) from Person"), "1,3");
}

TEST_F(BrowserTest, AnApostropheIsStoredOneWayWhereverItComesFromAndFoundInBothStoredForms) {
  // A profile from the LIS stores its apostrophes as the screens do (U+2018).
  measurement::SampleProfileRecord r;
  r.sampleNo = "31";
  r.name = "O'Brien";
  r.medicalNo = "M'7";
  r.dept = "St' Ann";
  ASSERT_TRUE(lis::StoreLisProfile(r));
  EXPECT_EQ(Scalar("select Name from Person where SampleNo='31'"), "O\u2018Brien");
  EXPECT_EQ(Scalar("select MedicalNo from Person where SampleNo='31'"), "M\u20187");
  EXPECT_EQ(Scalar("select Dept from Person where SampleNo='31'"), "St\u2018 Ann");
  // A name typed on screen, and one the LIS stored before with a plain apostrophe.
  Sql("insert into Person(SampleNo,TestDate,TestTime,Name,MedicalNo) values('32','2025-01-02','09:00:00','Mary O\u2018Brien','M\u20187')");
  Sql("insert into Person(SampleNo,TestDate,TestTime,Name,MedicalNo) values('33','2025-01-02','09:10:00','O''Brien Jr','M''7')");
  Sql("insert into Person(SampleNo,TestDate,TestTime,Name,MedicalNo) values('34','2025-01-02','09:20:00','OBrien','M7')");
  const auto numbers = [&](const history::SearchFields& f) {
    history::SearchError e;
    return Scalar("select group_concat(SampleNo) from (select SampleNo from Person" +
                  history::BuildSearchCondition(f, 2026, &e) + " order by SampleNo)");
  };
  history::SearchFields byName;
  byName.name = "O'Brien";
  EXPECT_EQ(numbers(byName), "31,32,33");
  history::SearchFields byMedical;
  byMedical.medicalNo = "M'7";
  EXPECT_EQ(numbers(byMedical), "31,32,33");
}

}  // namespace

TEST_F(BrowserTest, OpensNewestFirstPagesAndColoursMarkedValues) {
  BuildStore(kStore);
  // A profile entered ahead of its count stays; a row with nothing at all goes.
  Sql("insert into Person(SampleNo,TestDate,TestTime,Name) values('41','2020-01-01','07:00:00','Waiting')");
  Sql("insert into Person(SampleNo,TestDate,TestTime,WBC) values('42','2020-01-01','07:10:00','')");
  CHistoryList screen;
  Run(screen, [&](ui::TestDriver& s) {
    EXPECT_EQ(Scalar("select count(*) from Person where Name='Waiting'"), "1");
    EXPECT_EQ(Scalar("select count(*) from Person where SampleNo='42'"), "0");
    const int total = kStore + 1;
    EXPECT_EQ(screen.StatusLine(), StrPrintf("Total records: %d Current records: 100(Page %d)", total, 501));
    EXPECT_EQ(screen.FilledColumns(), 100);
    for (int c : {1, 2, 100}) ExpectColumn(screen, c, kStore - c);
    // Row 49995 (column 5) has the mark " H" (every 5th row), row 49999 (column 1) none.
    EXPECT_EQ(screen.Grid().GetItemText(3, 5), "8.5 H");
    EXPECT_EQ(screen.Grid().GetItemFgColour(3, 5), draw::RGB(122, 63, 121));
    EXPECT_EQ(screen.Grid().GetItemText(3, 1), "8.9");
    EXPECT_EQ(screen.Grid().GetItemFgColour(3, 1), draw::RGB(66, 85, 92));
    Ui(s, [&] { screen.OnPageDown(); });
    ExpectColumn(screen, 1, kStore - 101);
    EXPECT_EQ(screen.StatusLine(), StrPrintf("Total records: %d Current Records: 100(Page 500)", total));
    Ui(s, [&] { screen.OnPageUp(); });
    ExpectColumn(screen, 1, kStore - 1);
    Ui(s, [&] { screen.OnPageUp(); });  // already the newest page
    ExpectColumn(screen, 1, kStore - 1);
    // To the oldest page: one column, the waiting profile (dated before every result).
    Ui(s, [&] {
      for (int i = 0; i < 600; ++i) screen.OnPageDown();
    });
    EXPECT_EQ(screen.Paging().currentPage, 1);
    EXPECT_EQ(screen.FilledColumns(), 1);
    EXPECT_EQ(screen.Grid().GetItemText(0, 1), "41");
    EXPECT_EQ(screen.Grid().GetItemText(0, 2), "");
    Shot("history_list_en");
  });
}

TEST_F(BrowserTest, SortsBySampleNumberWhenTheSettingSaysSo) {
  BuildStore(400);
  Sql("update SysSetting set HistoryListSortStyle=1");
  CHistoryList screen;
  Run(screen, [&](ui::TestDriver& s) {
    // Highest number first (40, not "9" as text would sort), newest day first among equals.
    ExpectColumn(screen, 1, 399);
    ExpectColumn(screen, 2, 359);
    ExpectColumn(screen, 10, 39);
    ExpectColumn(screen, 11, 398);
  });
}

TEST_F(BrowserTest, SearchesEachFieldAndKeepsTheConditionForDetail) {
  BuildStore(kStore);
  Sql("insert into Person(SampleNo,TestDate,TestTime,Name,WBC,Sex,MedicalNo,BedNo,Dept) values"
      "('5','2025-05-05','09:00:00','50% off','5.0','Female','M-1','B-2','ICU')");
  Sql("insert into Person(SampleNo,TestDate,TestTime,Name,WBC) values('6','2025-05-05','09:10:00','500 off','5.0')");
  auto countOf = [&](const history::SearchFields& f) {
    history::SearchError e;
    const std::string c = history::BuildSearchCondition(f, 2026, &e);
    return Scalar("select count(*) from Person" + c);
  };
  history::SearchFields byName;
  byName.name = "Patient 4999";  // 4999 and 49990..49999
  EXPECT_EQ(countOf(byName), "11");
  history::SearchFields wild;
  wild.name = "50%";
  EXPECT_EQ(countOf(wild), "1");
  wild.name = "_atient";
  EXPECT_EQ(countOf(wild), "0");
  history::SearchFields exact;
  exact.sex = "Female";
  exact.medicalNo = "M-1";
  exact.bedNo = "B-2";
  exact.dept = "ICU";
  EXPECT_EQ(countOf(exact), "1");
  // Sample 7 in the first 28-day month of 2022: one row a day.
  history::SearchFields month;
  month.sampleNo = "7";
  month.startYear = "2022";
  month.startMonth = "01";
  month.startDay = "01";
  month.endYear = "2022";
  month.endMonth = "01";
  month.endDay = "28";
  EXPECT_EQ(countOf(month), "28");

  CHistoryList screen;
  Run(screen, [&](ui::TestDriver& s) {
    history::SearchError e;
    const std::string c = history::BuildSearchCondition(month, 2026, &e);
    Ui(s, [&] { screen.ApplySearch(c, 28); });
    EXPECT_EQ(screen.StatusLine(), "Total records: 28 Current Records: 28(Page 1)");
    EXPECT_EQ(screen.FilledColumns(), 28);
    ExpectColumn(screen, 1, 27 * kPerDay + 6);
    ExpectColumn(screen, 28, 6);
    EXPECT_NE(screen.ListSql().find(c), std::string::npos);
    // A part of a name: rows 4999 and 49990..49999, newest first.
    const std::string n = history::BuildSearchCondition(byName, 2026, &e);
    Ui(s, [&] { screen.ApplySearch(n, 11); });
    EXPECT_EQ(screen.FilledColumns(), 11);
    for (int k = 0; k < 10; ++k) ExpectColumn(screen, 1 + k, 49999 - k);
    ExpectColumn(screen, 11, 4999);
  });
}

TEST_F(BrowserTest, ANameSearchCheckedByTheDialogListsEveryRowFoundInTheListsOrder) {
  constexpr int n = 2500;
  BuildStore(n);
  // Both stored forms of an apostrophe, dated after every row of the store.
  Sql("insert into Person(SampleNo,TestDate,TestTime,Name,WBC) values('41','2030-01-01','08:00:00','Mary O\u2018Brien','5.0')");
  Sql("insert into Person(SampleNo,TestDate,TestTime,Name,WBC) values('42','2030-01-01','09:00:00','O''Brien Jr','5.0')");
  struct Found {
    std::string sampleNo, testDate, testTime;
  };
  // The rows a part of a name finds, worked out here from the store's rule: the name holds the
  // text in any letter case; newest first, or by sample number (as a number), newest first.
  const auto expected = [&](const std::string& part, int sortStyle) {
    const auto lower = [](std::string t) {
      for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return t;
    };
    std::vector<Found> rows;
    for (int i = 0; i < n; ++i)
      if (lower(RowOf(i).name).find(lower(part)) != std::string::npos)
        rows.push_back({RowOf(i).sampleNo, RowOf(i).testDate, RowOf(i).testTime});
    if (lower("Mary O\u2018Brien").find(lower(part)) != std::string::npos) rows.push_back({"41", "2030-01-01", "08:00:00"});
    std::sort(rows.begin(), rows.end(), [&](const Found& a, const Found& b) {
      if (sortStyle != 0 && a.sampleNo != b.sampleNo) return std::stoi(a.sampleNo) > std::stoi(b.sampleNo);
      if (a.testDate != b.testDate) return a.testDate > b.testDate;
      return a.testTime > b.testTime;
    });
    return rows;
  };
  std::vector<std::string> boxes;
  ui::SetMessageBoxHandler([&](ui::Window*, const std::string& text, const std::string&, unsigned) {
    boxes.push_back(text);
    return ui::IDOK;
  });
  struct Case {
    int sortStyle;
    std::string part;
    size_t rows;
  };
  // "Patient 1": rows 1, 10..19, 100..199, 1000..1999; "ent 24": 24, 240..249, 2400..2499.
  for (const Case& c : {Case{0, "pATIENT 1", 1111}, Case{1, "pATIENT 1", 1111}, Case{0, "ent 24", 111},
                        Case{1, "ent 24", 111}}) {
    Sql("update SysSetting set HistoryListSortStyle=" + std::to_string(c.sortStyle));
    const std::vector<Found> want = expected(c.part, c.sortStyle);
    ASSERT_EQ(want.size(), c.rows);
    CHistoryList screen;
    Run(screen, [&](ui::TestDriver& s) {
      // A condition that finds nothing keeps the dialog open and the list as it was.
      bool accepted = true;
      CHistoryListFind find;
      screen.CheckSearchesHere(find);
      find.fields.name = "Nobody";
      Ui(s, [&] { accepted = find.Accept(); });
      EXPECT_FALSE(accepted);
      EXPECT_EQ(boxes.back(), "No record meets the condition!");
      EXPECT_EQ(screen.Paging().total, n + 2);
      find.fields.name = c.part;
      Ui(s, [&] {
        accepted = find.Accept();
        if (accepted) screen.ApplySearch(find.condition, find.recordCount);
      });
      ASSERT_TRUE(accepted);
      EXPECT_EQ(find.recordCount, static_cast<int>(want.size()));
      const int pages = static_cast<int>((want.size() + 99) / 100);
      EXPECT_EQ(screen.StatusLine(), StrPrintf("Total records: %d Current Records: %d(Page %d)",
                                               static_cast<int>(want.size()), std::min<int>(100, want.size()), pages));
      // Every page, newest first: each column its row of the list.
      for (int page = 0; page < pages; ++page) {
        const int onPage = std::min<int>(100, static_cast<int>(want.size()) - page * 100);
        EXPECT_EQ(screen.FilledColumns(), onPage) << "page " << page;
        for (int col = 1; col <= onPage; ++col) {
          const Found& f = want[static_cast<size_t>(page * 100 + col - 1)];
          ASSERT_EQ(screen.Grid().GetItemText(0, col), f.sampleNo) << c.part << " page " << page << " column " << col;
          ASSERT_EQ(screen.Grid().GetItemText(1, col), f.testDate) << c.part << " page " << page << " column " << col;
          ASSERT_EQ(screen.Grid().GetItemText(2, col), f.testTime) << c.part << " page " << page << " column " << col;
        }
        Ui(s, [&] { screen.OnPageDown(); });
      }
      // Both stored forms of an apostrophe are found.
      find.fields.name = "o'brien";
      Ui(s, [&] {
        accepted = find.Accept();
        if (accepted) screen.ApplySearch(find.condition, find.recordCount);
      });
      ASSERT_TRUE(accepted);
      EXPECT_EQ(screen.FilledColumns(), 2);
      EXPECT_EQ(screen.Grid().GetItemText(0, 1), "42");
      EXPECT_EQ(screen.Grid().GetItemText(0, 2), "41");
    });
  }
}

TEST_F(BrowserTest, DeletesChosenRowsWithTheirRawRecordsByWholeKey) {
  BuildStore(250, 1);
  CHistoryList screen;
  Run(screen, [&](ui::TestDriver& s) {
    // The newest page holds rows 249..150; columns 3 and 5 are rows 247 and 245, and the day
    // of row 247 (day 6) also holds sample 17 (row 256 > 249, so take day 5: rows 200..239).
    ExpectColumn(screen, 3, 247);
    bool ok = false;
    // Row 206 is sample 7 of day 5 and row 216 its sample 17: column 250 - 206 = 44.
    Ui(s, [&] { ok = screen.DeleteColumns({3, 5, 44}); });
    ASSERT_TRUE(ok);
    // The raw files are rewritten off the UI thread.
    Ui(s, [&] { screen.WaitForRawRemoval(); });
    for (int row : {247, 245, 206}) {
      const StoreRow r = RowOf(row);
      EXPECT_EQ(Scalar("select count(*) from Person where SampleNo='" + r.sampleNo + "' and TestDate='" + r.testDate + "'"),
                "0");
    }
    EXPECT_EQ(Scalar("select count(*) from Person"), "247");
    const std::string keys = RawIndexKeys();
    EXPECT_EQ(std::count(keys.begin(), keys.end(), '|'), 247);
    for (int row : {247, 245, 206})
      EXPECT_EQ(keys.find(analyzer::RawDataKey(RowOf(row).testDate, RowOf(row).sampleNo) + "|"), std::string::npos);
    EXPECT_NE(keys.find(analyzer::RawDataKey(RowOf(216).testDate, RowOf(216).sampleNo) + "|"), std::string::npos);
    // Index and data stay paired: the record kept for row 216 holds row 216's histograms.
    uint8_t record[analyzer::kRawDataRecordSize];
    ASSERT_TRUE(analyzer::ReadRawRecord(AppSettings.ProgramFolder,
                                        analyzer::RawDataKey(RowOf(216).testDate, RowOf(216).sampleNo), record));
    float first = 0;
    std::memcpy(&first, record, 4);
    EXPECT_FLOAT_EQ(first, RawOf(216).wbc[0]);
    // The page closed up: former columns 4, 6, 7 now stand in 3, 4, 5.
    ExpectColumn(screen, 3, 246);
    ExpectColumn(screen, 4, 244);
    ExpectColumn(screen, 5, 243);
    EXPECT_EQ(screen.StatusLine(), "Total records: 247 Current Records: 100(Page 3)");
    bool all = false;
    Ui(s, [&] { all = screen.DeleteAll(); });
    ASSERT_TRUE(all);
    EXPECT_EQ(Scalar("select count(*) from Person"), "0");
    EXPECT_TRUE(std::filesystem::exists(AppSettings.ProgramFolder + "TD.dat"));
    EXPECT_EQ(std::filesystem::file_size(AppSettings.ProgramFolder + "TD.dat"), 0u);
    EXPECT_EQ(std::filesystem::file_size(AppSettings.ProgramFolder + "TDI.dat"), 0u);
    EXPECT_EQ(screen.StatusLine(), "Total records: 0");
    EXPECT_FALSE(s.Enabled(IDC_HL_DELETE));
    EXPECT_FALSE(s.Enabled(IDC_HL_DETAIL));
    EXPECT_TRUE(s.Enabled(ui::IDCANCEL));
  });
}

namespace {

// The first delete's rewrite is held at its first step until the test lets it go (or, when
// the screen waits for it, until the hold gives up).
std::mutex g_holdLock;
std::condition_variable g_holdChanged;
bool g_held = false, g_release = false, g_gaveUp = false;
bool HoldFirstRewrite(const char* step) {
  if (std::strcmp(step, "temp-written") != 0) return true;
  std::unique_lock<std::mutex> l(g_holdLock);
  if (g_held) return true;
  g_held = true;
  g_holdChanged.notify_all();
  g_gaveUp = !g_holdChanged.wait_for(l, std::chrono::seconds(30), [] { return g_release; });
  return true;
}

}  // namespace

TEST_F(BrowserTest, ASecondDeleteDoesNotWaitForTheFirstOnesRewrite) {
  BuildStore(250, 1);
  g_held = g_release = g_gaveUp = false;
  analyzer::SetRawRewriteCheckpoint(HoldFirstRewrite);
  CHistoryList screen;
  Run(screen, [&](ui::TestDriver& s) {
    // Column 1 is the newest row: 249, then 248 once 249 has gone.
    bool first = false, second = false;
    Ui(s, [&] { first = screen.DeleteColumns({1}); });
    ASSERT_TRUE(first);
    {
      std::unique_lock<std::mutex> l(g_holdLock);
      g_holdChanged.wait(l, [] { return g_held; });
    }
    Ui(s, [&] { second = screen.DeleteColumns({1}); });
    ASSERT_TRUE(second);
    {
      std::lock_guard<std::mutex> l(g_holdLock);
      // The second delete came back while the first rewrite was still held.
      EXPECT_FALSE(g_gaveUp);
      g_release = true;
    }
    g_holdChanged.notify_all();
    ExpectColumn(screen, 1, 247);
    EXPECT_EQ(screen.StatusLine(), "Total records: 248 Current Records: 100(Page 3)");
    Ui(s, [&] { screen.WaitForRawRemoval(); });
    analyzer::SetRawRewriteCheckpoint(nullptr);
    // Both records went; every other row keeps its own.
    const std::string keys = RawIndexKeys();
    EXPECT_EQ(std::count(keys.begin(), keys.end(), '|'), 248);
    for (int row = 0; row < 250; ++row) {
      const std::string key = analyzer::RawDataKey(RowOf(row).testDate, RowOf(row).sampleNo);
      uint8_t record[analyzer::kRawDataRecordSize];
      const bool found = analyzer::ReadRawRecord(AppSettings.ProgramFolder, key, record);
      if (row >= 248) {
        EXPECT_FALSE(found) << "row " << row;
        continue;
      }
      ASSERT_TRUE(found) << "row " << row;
      float wbc = 0, rbc = 0;
      std::memcpy(&wbc, record, 4);
      std::memcpy(&rbc, record + 1024, 4);
      EXPECT_FLOAT_EQ(wbc, RawOf(row).wbc[0]) << "row " << row;
      EXPECT_FLOAT_EQ(rbc, RawOf(row).rbc[0]) << "row " << row;
    }
  });
  analyzer::SetRawRewriteCheckpoint(nullptr);
}

TEST_F(BrowserTest, ADeleteThatFailsKeepsEveryRowAndFile) {
  BuildStore(120, 1);
  // A trigger makes the second delete fail: the first must be rolled back with it.
  Sql("create trigger KeepSeven before delete on Person when old.SampleNo='7' begin select raise(abort,'kept'); end");
  ui::SetMessageBoxHandler([](ui::Window*, const std::string&, const std::string&, unsigned) { return ui::IDOK; });
  const std::string before = support::FileBytes(AppSettings.ProgramFolder + "TDI.dat");
  CHistoryList screen;
  Run(screen, [&](ui::TestDriver& s) {
    // Rows 119 (sample 40) and 86 (sample 7) are columns 1 and 34.
    ExpectColumn(screen, 34, 86);
    bool ok = true;
    Ui(s, [&] { ok = screen.DeleteColumns({1, 34}); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(Scalar("select count(*) from Person"), "120");
    EXPECT_EQ(support::FileBytes(AppSettings.ProgramFolder + "TDI.dat"), before);
    ExpectColumn(screen, 1, 119);
  });
}

TEST_F(BrowserTest, ARawFileErrorDuringADeleteIsSaidInTheInterfaceLanguage) {
  BuildStore(40, 1);
  const char* expected[5] = {
      "已删除结果的直方图数据未能从数据文件中清除 (TD.dat, TDI.dat)！",
      "The histogram data of the deleted results could not be removed (TD.dat, TDI.dat)!",
      "No se pudieron borrar los datos de histograma de los resultados borrados (TD.dat, TDI.dat)!",
      "Les donnees d'histogramme des resultats effaces n'ont pas pu etre supprimees (TD.dat, TDI.dat)!",
      "Не вдалося видалити дані гістограм видалених результатів (TD.dat, TDI.dat)!"};
  for (int l = 0; l < 5; ++l) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(l);
    std::vector<std::string> boxes;
    ui::SetMessageBoxHandler([&](ui::Window*, const std::string& text, const std::string&, unsigned) {
      boxes.push_back(text);
      return ui::IDOK;
    });
    CHistoryList screen;
    Run(screen, [&](ui::TestDriver& s) {
      bool ok = false;
      {
        support::IoFaults faults;
        faults.Add({sys::IoOp::Write, "TDTemp.dat", 1, support::IoFaults::Error(EIO)});
        Ui(s, [&] {
          ok = screen.DeleteColumns({1});
          screen.WaitForRawRemoval();
        });
      }
      EXPECT_TRUE(ok);  // the row went; its raw record stays for now (and the removal ended)
      s.RunUntil([&] { return !boxes.empty(); });
      ASSERT_EQ(boxes.size(), 1u) << l;
      EXPECT_EQ(boxes[0], expected[l]);
    });
  }
}

TEST_F(BrowserTest, ScreenshotsInTheFiveLanguages) {
  BuildStore(300);
  const char* names[5] = {"zh", "en", "es", "fr", "ua"};
  for (int l = 0; l < 5; ++l) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(l);
    CHistoryList screen;
    Run(screen, [&](ui::TestDriver& s) {
      Ui(s, [&] { screen.ApplySelection(2, 4); });
      EXPECT_EQ(screen.SelectedColumns(), (std::vector<int>{2, 3, 4}));
      Shot(std::string("history_list_") + names[l]);
    });
  }
}

TEST_F(BrowserTest, SearchDialogRefusesReversedDatesAndConditionsWithoutRows) {
  BuildStore(80);
  std::vector<std::string> boxes;
  ui::SetMessageBoxHandler([&](ui::Window*, const std::string& text, const std::string&, unsigned) {
    boxes.push_back(text);
    return ui::IDOK;
  });
  CHistoryListFind find;
  find.fields.startYear = "2023";
  find.fields.endYear = "2022";
  EXPECT_FALSE(find.Accept());
  EXPECT_EQ(boxes.back(), "The start date should be earlier than end date!");
  find.fields = {};
  find.fields.name = "Nobody";
  EXPECT_FALSE(find.Accept());
  EXPECT_EQ(boxes.back(), "No record meets the condition!");
  find.fields.name = "Patient 7";  // 7 and 70..79
  ASSERT_TRUE(find.Accept());
  EXPECT_EQ(find.recordCount, 11);
  EXPECT_EQ(find.condition, " where Name like '%Patient 7%' escape '\\'");
}

TEST_F(BrowserTest, DetailPrintSendAndStatisticsWorkOnTheSelection) {
  BuildStore(80);
  CHistoryList screen;
  Run(screen, [&](ui::TestDriver& s) {
    // Nothing selected.
    s.Press(IDC_HL_DETAIL);
    EXPECT_EQ(s.MessageBoxText(), "Please select a sample!");
    s.AnswerMessageBox(ui::IDOK);
    s.Press(IDC_HL_PRINT);
    EXPECT_EQ(s.MessageBoxText(), "Please select a sample!");
    s.AnswerMessageBox(ui::IDOK);
    // Columns 1..5 are rows 79..75.
    Ui(s, [&] { screen.ApplySelection(1, 5); });
    const std::vector<history::ResultSnapshot> snap = screen.SelectedSnapshots();
    ASSERT_EQ(snap.size(), 5u);
    EXPECT_EQ(snap[0].sampleNo, RowOf(79).sampleNo);
    EXPECT_EQ(snap[4].testDate, RowOf(75).testDate);
    EXPECT_EQ(snap[2].texts[3], RowOf(77).wbc);
    // Print starts a job on the selection and the screen comes back when it ends. (Send opens
    // the LIS send screen: test_history_send.)
    s.Press(IDC_HL_PRINT);
    EXPECT_TRUE(s.RunUntil([&] { return !screen.PrintBusy(); }, 60000));
    EXPECT_TRUE(screen.WaitForPrintJob(10000));
    EXPECT_EQ(s.Text(IDC_HL_PRINT), "Print");
    EXPECT_TRUE(s.Enabled(IDC_HL_SEND));
    // F5: mean and CV of the selected WBC values, worked out from the fixture's rule
    // (rows 75..79 hold 4.0 + (i % 50) / 10; row 77 is "- - -" and is left out).
    double sum = 0, n = 0;
    std::vector<double> v;
    for (int i = 75; i <= 79; ++i)
      if (i % 7 != 3) v.push_back(4.0 + (i % 50) / 10.0);
    for (double x : v) sum += x, ++n;
    const double mean = sum / n;
    double sq = 0;
    for (double x : v) sq += (x - mean) * (x - mean);
    const double cv = std::sqrt(sq / (n - 1)) / mean * 100.0;
    s.Key(ui::VK_F5);
    EXPECT_EQ(s.Text(1893), StrPrintf("%.2f", mean));
    EXPECT_EQ(s.Text(1894), StrPrintf("%.1f", cv));
    Shot("history_stat_en");
    s.Press(ui::IDOK);
    // Detail opens the view on the first selected column.
    s.Press(IDC_HL_DETAIL);
    EXPECT_EQ(s.Text(IDC_HG_SAMPLE), RowOf(79).sampleNo);
    EXPECT_EQ(s.Text(IDC_HG_POSITION), "80/80");
    s.Press(ui::IDCANCEL);
  });
}
