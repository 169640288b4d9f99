#pragma once
// COdbcDBGridFILE feeds a grid in virtual mode from the result of an SQL query: it counts
// the rows and columns, sizes the grid (one header row with the field names, one header
// column with the record numbers), and fetches the records in batches of 500 into a file
// mapped into memory, one text line a record (see cache_line.h), from which each cell's
// text is looked up when the grid asks for it. When the file fills up the cache is built
// again 10 MiB larger, behind the grid: the grid itself is not touched, since the grid asks
// for cells while it paints. Failures show a message (Chinese, as the data tools always did) and
// return -1; the grid keeps what it had.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/db/connection.h"
#include "platform/db/recordset.h"
#include "platform/sys/file_io.h"

class CGridCtrl;
struct CellRecord;

class COdbcDBGridFILE {
 public:
  COdbcDBGridFILE(CGridCtrl* grid, db::Connection* database, const std::string& query,
                  const std::string& filePath);
  ~COdbcDBGridFILE();
  COdbcDBGridFILE(const COdbcDBGridFILE&) = delete;
  COdbcDBGridFILE& operator=(const COdbcDBGridFILE&) = delete;

  // Counts, sizes the grid, opens the query and makes the mapped file; installs FillCell as
  // the grid's cell callback. 0 or -1.
  int Open();
  void Close();
  // Text of record `row` (from 1), field `col` (from 1). 0, or -1 when the record cannot be
  // had (then `out` is unchanged); -1 also once after the cache was rebuilt larger.
  int GetCellText(int row, int col, std::string& out);
  int GetColumnName(int index, std::string& out);
  // The grid's request for one cell: field names in row 0, record numbers in column 0.
  int FillCell(CellRecord* item);
  static bool FillCellCallback(CellRecord* item, intptr_t param);

  int RowCount() const { return rowCount_; }
  int ColumnCount() const { return columnCount_; }
  uint32_t FileSize() const { return fileSize_; }
  // The size the next Open maps (8 MiB to start with).
  void SetFileSize(uint32_t bytes) { fileSize_ = bytes; }
  // Where messages go (a message box on screen); they are also kept in LastMessage().
  void SetMessageSink(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }
  const std::string& LastMessage() const { return lastMessage_; }

  static constexpr uint32_t kInitialFileSize = 0x800000;
  static constexpr uint32_t kGrowth = 0xA00000;
  static constexpr int kBatchRows = 500;
  static constexpr uint32_t kReserve = 500;

 private:
  struct RowEntry {
    bool loaded = false;
    const char* text = nullptr;
  };
  int Fail(const char* message);
  int CountRows(int* rows);
  int CountColumns(int* cols);
  int CreateCache();
  int RebuildCache();
  int FetchBatch();

  CGridCtrl* grid_;
  std::vector<RowEntry> rowIndex_;
  sys::MappedFile cache_;
  char* view_ = nullptr;
  char* writeCursor_ = nullptr;
  int nextRow_ = 1;
  std::string filePath_;
  uint32_t fileSize_ = kInitialFileSize;
  uint32_t mappedSize_ = 0;
  db::Connection* database_;
  std::string query_;
  db::Recordset recordset_;
  int rowCount_ = 0;
  int columnCount_ = 0;
  std::function<void(const std::string&)> sink_;
  std::string lastMessage_;
};
