// The record cache that feeds a virtual grid from a query through a mapped file.
#include <gtest/gtest.h>

#include <filesystem>

#include "controls/grid/cache_line.h"
#include "controls/grid/odbc_db_grid_file.h"
#include "grid_test_support.h"
#include "platform/db/connection.h"
#include "platform/ui/test_driver.h"
#include "tests/support/io_faults.h"

namespace {

TEST(GridCacheLine, FieldsReadBackAsThemselves) {
  const std::vector<std::string> fields = {"plain", "a,b", "null", "", "back\\slash", "two\r\nlines",
                                           "\\c", "nul", "\\enull", "白细胞,Лейкоцити", ",", "null,null"};
  const std::string line = grid::BuildCacheLine(17, fields);
  EXPECT_EQ(line.substr(0, 3), "17=");
  EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
  EXPECT_EQ(line.find('\n'), line.size() - 1);  // one line, whatever the fields hold
  const std::vector<std::string> pieces = grid::SplitCacheLine(line.c_str());
  ASSERT_EQ(pieces.size(), fields.size() + 1);  // the piece after the last comma
  for (size_t i = 0; i < fields.size(); ++i) EXPECT_EQ(grid::DecodeCacheField(pieces[i]), fields[i]) << i;
  EXPECT_EQ(grid::EncodeCacheField(""), "null");
}

class GridRecordCache : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("grid_cache_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    db::OpenOptions o;
    o.create = true;
    ASSERT_TRUE(db_.Open((dir_ / "t.db").string(), o)) << db_.LastError();
    ASSERT_TRUE(db_.Execute("create table Person(SampleNo text, Name text, WBC real)"));
  }
  void TearDown() override {
    db_.Close();
    std::filesystem::remove_all(dir_);
  }
  void AddRows(int n, const std::string& name = "p") {
    db::Transaction t(db_);
    for (int i = 1; i <= n; ++i)
      ASSERT_TRUE(db_.Execute("insert into Person values('" + std::to_string(i) + "','" + name + "'," +
                              std::to_string(i) + ".5)"));
    ASSERT_TRUE(t.Commit());
  }
  std::string CachePath() const { return (dir_ / "cache.tmp").string(); }

  std::filesystem::path dir_;
  db::Connection db_;
};

TEST_F(GridRecordCache, FillsAVirtualGrid) {
  ASSERT_TRUE(db_.Execute("insert into Person values('1','a,b',7.5);"
                          "insert into Person values('2','null',NULL);"
                          "insert into Person values('3','',0);"
                          "insert into Person values('4','王芳 Олена',1e3)"));
  TestGrid g;
  COdbcDBGridFILE cache(&g, &db_, "select * from Person order by SampleNo", CachePath());
  ASSERT_EQ(cache.Open(), 0) << cache.LastMessage();
  EXPECT_TRUE(g.GetVirtualMode());
  EXPECT_EQ(g.GetRowCount(), 5);
  EXPECT_EQ(g.GetColumnCount(), 4);
  EXPECT_EQ(g.GetFixedRowCount(), 1);
  EXPECT_EQ(g.GetFixedColumnCount(), 1);
  EXPECT_EQ(g.GetItemText(0, 1), "SampleNo");
  EXPECT_EQ(g.GetItemText(0, 3), "WBC");
  EXPECT_EQ(g.GetItemText(3, 0), "3");
  EXPECT_EQ(g.GetItemText(0, 0), "");
  EXPECT_EQ(g.GetItemText(1, 2), "a,b");
  EXPECT_EQ(g.GetItemText(1, 3), "7.5");
  EXPECT_EQ(g.GetItemText(2, 2), "null");  // a stored text "null" is not an empty field
  EXPECT_EQ(g.GetItemText(2, 3), "");      // a stored Null is
  EXPECT_EQ(g.GetItemText(3, 2), "");
  EXPECT_EQ(g.GetItemText(4, 2), "王芳 Олена");
  EXPECT_EQ(g.GetItemText(4, 3), "1000");
  std::string out = "unchanged";
  EXPECT_EQ(cache.GetCellText(9, 1, out), -1);
  EXPECT_EQ(out, "unchanged");
  EXPECT_EQ(cache.GetCellText(1, 9, out), 0);  // fewer fields than asked: unchanged
  EXPECT_EQ(out, "unchanged");
}

TEST_F(GridRecordCache, NoRowsGivesTheHeadingsOnly) {
  TestGrid g;
  COdbcDBGridFILE cache(&g, &db_, "select SampleNo, Name from Person", CachePath());
  ASSERT_EQ(cache.Open(), 0) << cache.LastMessage();
  EXPECT_EQ(g.GetRowCount(), 1);
  EXPECT_EQ(g.GetColumnCount(), 3);
  EXPECT_EQ(g.GetItemText(0, 1), "SampleNo");
  EXPECT_EQ(g.GetItemText(0, 2), "Name");
}

TEST_F(GridRecordCache, ReadsBeyondTheFirstBatch) {
  AddRows(1203);
  TestGrid g;
  COdbcDBGridFILE cache(&g, &db_, "select * from Person order by rowid", CachePath());
  ASSERT_EQ(cache.Open(), 0);
  EXPECT_EQ(g.GetItemText(1203, 1), "1203");
  EXPECT_EQ(g.GetItemText(501, 3), "501.5");
  EXPECT_EQ(g.GetItemText(1, 1), "1");
}

TEST_F(GridRecordCache, AFullFileIsRebuiltLarger) {
  AddRows(300);
  TestGrid g;
  COdbcDBGridFILE cache(&g, &db_, "select * from Person order by rowid", CachePath());
  cache.SetFileSize(4096);
  ASSERT_EQ(cache.Open(), 0);
  std::string out;
  EXPECT_EQ(cache.GetCellText(300, 1, out), -1);  // fails once while the cache grows
  EXPECT_EQ(cache.FileSize(), 4096u + COdbcDBGridFILE::kGrowth);
  EXPECT_EQ(std::filesystem::file_size(CachePath()), 4096u + COdbcDBGridFILE::kGrowth);
  EXPECT_EQ(cache.GetCellText(300, 1, out), 0);
  EXPECT_EQ(out, "300");
  EXPECT_EQ(g.GetRowCount(), 301);
}

// A paint reads cell after cell through the grid's callback with the grid's rows, sizes and
// selection fixed for the pass; the cache filling up in the middle must leave the grid as it is.
TEST_F(GridRecordCache, ARebuildWhileTheGridReadsItsCellsLeavesTheGridAsItIs) {
  AddRows(300);
  TestGrid g;
  COdbcDBGridFILE cache(&g, &db_, "select * from Person order by rowid", CachePath());
  cache.SetFileSize(4096);
  ASSERT_EQ(cache.Open(), 0);
  g.SetColumnWidth(2, 123);
  g.SetRowHeight(5, 41);
  g.SetSelectedRange(3, 1, 3, 3);
  g.MoveFocus(3, 2);
  const int rows = g.GetRowCount();
  ASSERT_EQ(rows, 301);
  for (int r = 1; r < rows; ++r)
    for (int c = 1; c <= 3; ++c) {
      g.GetItemText(r, c);
      ASSERT_EQ(g.GetRowCount(), rows) << r << "," << c;
      ASSERT_EQ(g.GetColumnCount(), 4) << r << "," << c;
    }
  EXPECT_EQ(cache.FileSize(), 4096u + COdbcDBGridFILE::kGrowth);
  EXPECT_EQ(g.ColumnWidthAt(2), 123);
  EXPECT_EQ(g.RowHeightAt(5), 41);
  EXPECT_EQ(g.GetFocusCell(), CCellID(3, 2));
  EXPECT_TRUE(g.IsCellSelected(3, 1));
  EXPECT_TRUE(g.IsCellSelected(3, 3));
  EXPECT_EQ(g.Invariants(), "");
  EXPECT_EQ(g.GetItemText(300, 1), "300");
  EXPECT_EQ(g.GetItemText(150, 3), "150.5");
}

// The same on screen: the first paint fills the cache past its end; the grid window keeps its
// shape and paints the records once the cache is rebuilt.
TEST_F(GridRecordCache, ARebuildDuringAPaintLeavesTheGridWindowAsItIs) {
  AddRows(300);
  ASSERT_TRUE(ui::TestDriver::Start(800, 600));
  {
    ui::TestDriver d;
    ui::Window host;
    ASSERT_TRUE(host.Create("Static", "host", ui::WS_POPUP | ui::WS_VISIBLE, draw::Rect(0, 0, 800, 600), nullptr));
    CGridCtrl g;
    ASSERT_TRUE(g.Create(draw::Rect(0, 0, 600, 400), &host, 77, ui::WS_CHILD | ui::WS_VISIBLE));
    COdbcDBGridFILE cache(&g, &db_, "select * from Person order by rowid", CachePath());
    cache.SetFileSize(4096);
    ASSERT_EQ(cache.Open(), 0);
    g.SetColumnWidth(2, 123);
    g.SetSelectedRange(3, 1, 3, 3);
    g.MoveFocus(3, 2);
    g.Invalidate(false);
    d.Settle();
    EXPECT_EQ(cache.FileSize(), 4096u + COdbcDBGridFILE::kGrowth);
    EXPECT_EQ(g.GetRowCount(), 301);
    EXPECT_EQ(g.ColumnWidthAt(2), 123);
    EXPECT_EQ(g.GetFocusCell(), CCellID(3, 2));
    EXPECT_TRUE(g.IsCellSelected(3, 3));
    EXPECT_EQ(g.GetItemText(2, 1), "2");
  }
  ui::TestDriver::Stop();
}

TEST_F(GridRecordCache, ALineLongerThanTheRoomLeftIsNeverWrittenPastTheView) {
  // One record far longer than the view: it must not be copied in at all.
  ASSERT_TRUE(db_.Execute("insert into Person values('1','" + std::string(20000, 'x') + "',1)"));
  TestGrid g;
  COdbcDBGridFILE cache(&g, &db_, "select * from Person", CachePath());
  cache.SetFileSize(4096);
  ASSERT_EQ(cache.Open(), 0);
  std::string out;
  EXPECT_EQ(cache.GetCellText(1, 2, out), -1);
  EXPECT_EQ(cache.GetCellText(1, 2, out), 0);
  EXPECT_EQ(out, std::string(20000, 'x'));
}

TEST_F(GridRecordCache, Failures) {
  std::vector<std::string> shown;
  TestGrid g;
  {
    COdbcDBGridFILE cache(nullptr, &db_, "select * from Person", CachePath());
    EXPECT_EQ(cache.Open(), -1);
    EXPECT_EQ(cache.LastMessage(), "发生错误，指向dbgrid控件的指针为空");
  }
  {
    COdbcDBGridFILE cache(&g, nullptr, "select * from Person", CachePath());
    EXPECT_EQ(cache.Open(), -1);
    EXPECT_EQ(cache.LastMessage(), "odbc dbgrid 中的数据库指针为空");
  }
  {
    COdbcDBGridFILE cache(&g, &db_, "select * from Person", (dir_ / "no/such/dir/c.tmp").string());
    cache.SetMessageSink([&](const std::string& m) { shown.push_back(m); });
    EXPECT_EQ(cache.Open(), -1);
    EXPECT_EQ(shown, std::vector<std::string>{"创建文件失败"});
  }
  {
    COdbcDBGridFILE cache(&g, &db_, "select nothing from Nowhere", CachePath());
    EXPECT_EQ(cache.Open(), -1);
  }
  db_.Close();
  {
    COdbcDBGridFILE cache(&g, &db_, "select * from Person", CachePath());
    EXPECT_EQ(cache.Open(), -1);
    EXPECT_EQ(cache.LastMessage(), "odbc dbgrid 中的数据库处于关闭状态");
  }
}

TEST_F(GridRecordCache, EachStepOfTheMappedFileSaysWhatFailed) {
  AddRows(3);
  struct Case {
    sys::IoOp op;
    const char* message;
  } cases[] = {{sys::IoOp::Open, "创建文件失败"}, {sys::IoOp::Truncate, "创建文件映射失败"}, {sys::IoOp::Map, "映射文件失败"}};
  for (const Case& c : cases) {
    TestGrid g;
    COdbcDBGridFILE cache(&g, &db_, "select * from Person", CachePath());
    std::vector<std::string> shown;
    cache.SetMessageSink([&](const std::string& m) { shown.push_back(m); });
    {
      support::IoFaults faults;
      faults.Add({c.op, "cache.tmp", 1, support::IoFaults::Error(ENOSPC)});
      EXPECT_EQ(cache.Open(), -1) << c.message;
    }
    EXPECT_EQ(shown, std::vector<std::string>{c.message});
    std::string text;
    EXPECT_EQ(cache.GetCellText(1, 1, text), -1) << "no cache, no cell";
  }
}

}  // namespace
