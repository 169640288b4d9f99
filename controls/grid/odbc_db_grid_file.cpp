#include "controls/grid/odbc_db_grid_file.h"

#include <cstring>

#include "controls/grid/cache_line.h"
#include "controls/grid/grid_ctrl.h"
#include "platform/sys/file_io.h"
#include "platform/sys/path_map.h"
#include "platform/ui/app.h"

COdbcDBGridFILE::COdbcDBGridFILE(CGridCtrl* grid, db::Connection* database, const std::string& query,
                                 const std::string& filePath)
    : grid_(grid), filePath_(filePath), database_(database), query_(query) {}

COdbcDBGridFILE::~COdbcDBGridFILE() { Close(); }

int COdbcDBGridFILE::Fail(const char* message) {
  lastMessage_ = message;
  if (sink_) sink_(lastMessage_);
  return -1;
}

int COdbcDBGridFILE::CountRows(int* rows) {
  if (!database_) return Fail("odbc dbgrid 中的数据库指针为空");
  if (!database_->IsOpen()) return Fail("odbc dbgrid 中的数据库处于关闭状态");
  db::Recordset rs;
  if (!rs.Open(*database_, "select count(*) from ( " + query_ + ") cnt")) return -1;
  *rows = rs.IsEOF() ? 0 : static_cast<int>(rs.Field(0).AsInt(0));
  rs.Close();
  return 0;
}

int COdbcDBGridFILE::CountColumns(int* cols) {
  if (!database_) return Fail("odbc dbgrid 中的数据库指针为空");
  if (!database_->IsOpen()) return Fail("odbc dbgrid 中的数据库处于关闭状态");
  db::Recordset rs;
  if (!rs.Open(*database_, query_)) return -1;
  const int n = rs.FieldCount();
  rs.Close();
  if (n >= 500) return -1;
  *cols = n;
  return 0;
}

int COdbcDBGridFILE::Open() {
  if (!grid_) return Fail("发生错误，指向dbgrid控件的指针为空");
  int rows = 0;
  if (CountRows(&rows) != 0) return -1;
  rowCount_ = rows;
  grid_->SetVirtualMode(true);
  grid_->SetRowCount(rowCount_ + 1);
  grid_->SetFixedRowCount(1);
  int cols = 0;
  if (CountColumns(&cols) != 0) return -1;
  columnCount_ = cols;
  if (!recordset_.Open(*database_, query_)) return Fail("为查询语句打开记录集时失败");
  grid_->SetColumnCount(columnCount_ + 1);
  grid_->SetFixedColumnCount(1);
  grid_->SetCallbackFunc(&COdbcDBGridFILE::FillCellCallback, reinterpret_cast<intptr_t>(this));
  return CreateCache();
}

int COdbcDBGridFILE::CreateCache() {
  try {
    rowIndex_.assign(static_cast<size_t>(rowCount_), RowEntry());
  } catch (...) {
    return Fail("分配用于存储每行记录的信息的结构失败");
  }
  sys::MappedFile::Step failed = sys::MappedFile::Step::None;
  if (!cache_.Create(sys::MapPath(filePath_), fileSize_, &failed)) {
    if (failed == sys::MappedFile::Step::Open) return Fail("创建文件失败");
    return Fail(failed == sys::MappedFile::Step::Size ? "创建文件映射失败" : "映射文件失败");
  }
  view_ = cache_.data();
  mappedSize_ = fileSize_;
  writeCursor_ = view_;
  *writeCursor_ = '\0';
  nextRow_ = 1;
  return 0;
}

void COdbcDBGridFILE::Close() {
  writeCursor_ = nullptr;
  rowIndex_.clear();
  rowIndex_.shrink_to_fit();
  recordset_.Close();
  cache_.Unmap();
  view_ = nullptr;
  mappedSize_ = 0;
  nextRow_ = 1;
}

int COdbcDBGridFILE::RebuildCache() {
  // Runs inside the grid's cell callback, often while the grid paints: the grid keeps its
  // shape, sizes, selection and focus, and only the cache behind it is made again, larger,
  // from the start of the query.
  recordset_.Close();
  cache_.Unmap();
  view_ = nullptr;
  writeCursor_ = nullptr;
  if (!recordset_.Open(*database_, query_)) return Fail("为查询语句打开记录集时失败");
  // The cell that asked stays blank in this paint; the grid paints again once this paint is
  // over (if the grid still exists then).
  if (grid_ && grid_->IsWindow()) {
    const ui::WindowHandle handle = grid_->Handle();
    ui::PostToUiThread([handle] {
      if (ui::Window* w = ui::Window::FromHandle(handle)) w->Invalidate(false);
    });
  }
  return CreateCache();
}

int COdbcDBGridFILE::FetchBatch() {
  if (!view_ || !recordset_.IsOpen()) return -1;
  for (int k = 0; k < kBatchRows && !recordset_.IsEOF(); ++k) {
    // A result that grew after it was counted has no place in the index.
    if (nextRow_ > static_cast<int>(rowIndex_.size())) break;
    std::vector<std::string> fields;
    fields.reserve(static_cast<size_t>(columnCount_));
    for (int f = 0; f < columnCount_; ++f) fields.push_back(recordset_.Field(f).AsText());
    const std::string line = grid::BuildCacheLine(nextRow_, fields);
    const size_t used = static_cast<size_t>(writeCursor_ - view_);
    // Room for the line and its terminating zero, and never into the reserve at the end.
    if (used + kReserve >= mappedSize_ || used + line.size() + 1 > mappedSize_) return -1;
    rowIndex_[nextRow_ - 1] = RowEntry{true, writeCursor_};
    std::memcpy(writeCursor_, line.data(), line.size());
    writeCursor_[line.size()] = '\0';
    writeCursor_ += line.size();
    ++nextRow_;
    recordset_.MoveNext();
  }
  *writeCursor_ = '\0';
  return 0;
}

int COdbcDBGridFILE::GetCellText(int row, int col, std::string& out) {
  if (row < 1 || row > static_cast<int>(rowIndex_.size()) || col < 1) return -1;
  while (!rowIndex_[row - 1].loaded) {
    if (!recordset_.IsOpen() || recordset_.IsEOF()) return -1;  // fewer records than counted
    if (FetchBatch() != 0) {
      fileSize_ += kGrowth;
      RebuildCache();
      return -1;
    }
  }
  const std::vector<std::string> pieces = grid::SplitCacheLine(rowIndex_[row - 1].text);
  if (col <= static_cast<int>(pieces.size())) out = grid::DecodeCacheField(pieces[col - 1]);
  return 0;
}

int COdbcDBGridFILE::GetColumnName(int index, std::string& out) {
  out = recordset_.FieldName(index);
  return 0;
}

int COdbcDBGridFILE::FillCell(CellRecord* item) {
  if (!item) return -1;
  if (item->row == 0 && item->col >= 1) return GetColumnName(item->col - 1, item->text);
  if (item->row >= 1 && item->col == 0) {
    item->text = std::to_string(item->row);
    return 0;
  }
  if (item->row >= 1 && item->col >= 1) {
    if (GetCellText(item->row, item->col, item->text) != 0) {
      item->text.clear();
      return -1;
    }
  }
  return 0;
}

bool COdbcDBGridFILE::FillCellCallback(CellRecord* item, intptr_t param) {
  return reinterpret_cast<COdbcDBGridFILE*>(param)->FillCell(item) == 0;
}
