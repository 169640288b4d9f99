#pragma once
// The rows of one query, read through a cursor.
//
// A query over one table (SELECT <columns> FROM <table> [WHERE ...] [ORDER BY ...]
// [LIMIT ...]) is held as a keyset: opening it reads only the rowids of the result, in the
// query's order; a row's contents are fetched when the cursor moves onto it. So a recordset
// over 50,000 results opens in milliseconds, its RecordCount is exact, and a row that another
// connection changed after opening reads with its new contents. Other queries (joins,
// counts, aggregates, GROUP BY, DISTINCT, column expressions) are run at once and held whole.
//
// Position: before the first row (BOF), on a row, or after the last (EOF). An empty recordset
// is at BOF and EOF both. Opening puts the cursor on the first row.
//
// Rows deleted through Delete() leave the keyset: later rows move up one position, and
// RecordCount drops. The cursor stays on the deleted row (it reads Null, AbsolutePosition is
// kUnknownPosition) until the next move, which goes on from where it was: MoveNext to the row
// that followed, MovePrevious to the one before.
//
// Rows deleted by another connection (or by an Execute) after opening keep their place and
// count, so positions and pages stay as they were at opening; such a row reads as all Null
// and RowDeleted() tells it apart. Rows inserted after opening are not in the keyset; open
// the query again to see them.
//
// A recordset is used by one thread at a time, the thread that uses its connection. It
// stays valid after its connection closes, but is then closed. Nothing here throws or
// aborts; a call on a closed recordset, a bad field name or a move past the ends fails
// (false or Null) and sets LastError().
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/value.h"

namespace db {

class Connection;
struct Session;

// AbsolutePosition / AbsolutePage when the cursor is not on a row.
inline constexpr int kUnknownPosition = -1;  // on a deleted row, or the recordset is closed
inline constexpr int kBOFPosition = -2;
inline constexpr int kEOFPosition = -3;

class Recordset {
 public:
  Recordset();
  ~Recordset();
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;
  Recordset(Recordset&&) noexcept;
  Recordset& operator=(Recordset&&) noexcept;

  // Opens the query on the connection (closing what this recordset held). On failure the
  // recordset is closed and LastError() (and the connection's) holds the engine's text.
  bool Open(Connection& connection, std::string_view sql);
  // Closes; assigned fields that were not written are dropped. Closing twice does nothing.
  void Close();
  bool IsOpen() const;
  enum class State { Closed = 0, Open = 1 };
  State GetState() const { return IsOpen() ? State::Open : State::Closed; }
  // True when the rows are held as a keyset (Update and Delete work), false when held whole.
  bool IsKeyset() const;
  const std::string& Sql() const;

  // Cursor.
  bool IsBOF() const;
  bool IsEOF() const;
  bool MoveFirst();     // false when empty (then BOF and EOF)
  bool MoveLast();      // false when empty
  bool MoveNext();      // false when already at EOF; moving off the last row gives EOF
  bool MovePrevious();  // false when already at BOF; moving off the first row gives BOF
  // Exact number of rows (rows this recordset deleted not counted); -1 when closed.
  int RecordCount() const;
  // 1-based position of the current row, or kBOFPosition / kEOFPosition / kUnknownPosition.
  int AbsolutePosition() const;
  // Moves to row `position` (1..RecordCount). Out of range: false, the cursor stays.
  bool SetAbsolutePosition(int position);

  // Pages: rows 1..PageSize are page 1, and so on. PageSize starts at 10.
  int PageSize() const;
  bool SetPageSize(int rows);  // rows >= 1
  int PageCount() const;       // 0 when empty, -1 when closed
  int AbsolutePage() const;    // page of the current row, or a k...Position value
  bool SetAbsolutePage(int page);  // moves to the first row of the page (1..PageCount)

  // Fields of the current row. Names compare without letter case; the first of two equal
  // names wins. Names are in the order of the query's columns (table order for "*").
  int FieldCount() const;
  std::string FieldName(int index) const;  // "" when out of range
  const std::vector<std::string>& FieldNames() const;
  int FieldIndex(std::string_view name) const;  // -1 when there is no such field
  bool HasField(std::string_view name) const { return FieldIndex(name) >= 0; }
  // Value of a field of the current row (with any assignment not yet written). Null when
  // the field does not exist, the cursor is not on a row, or the row was deleted; then
  // LastError() says which.
  Value Field(int index);
  Value Field(std::string_view name);
  // True when the current row was deleted (by this recordset or by another connection).
  bool RowDeleted();

  // Assigns a field of the current row; written by Update() (or by the next move, which
  // writes pending assignments first). Only on a keyset recordset.
  bool SetField(int index, const Value& v);
  bool SetField(std::string_view name, const Value& v);
  bool IsEditing() const;  // assignments not yet written
  // Writes the current row's assigned fields back to its table row (by rowid). On failure
  // the assignments stay pending, so the caller may retry or CancelUpdate.
  bool Update();
  void CancelUpdate();
  // Deletes the current row from its table. See the position rules above.
  bool Delete();

  // Text of the failure of the last call that can fail (Open, the moves and positioning,
  // Field, SetField, Update, Delete, RowDeleted); empty when that call succeeded. So a Null
  // from Field() with an empty LastError() is a stored Null.
  const std::string& LastError() const;

 private:
  friend class Connection;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace db
