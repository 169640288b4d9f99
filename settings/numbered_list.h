#pragma once
// The department and doctor lists: tables whose first column SeqNo numbers the rows 1..N as
// the screens list them, followed by text columns. The list the screen shows and the table are
// kept alike: every change is stored first and the list follows only what was stored.
#include <string>
#include <vector>

class CADOConn;

namespace settings {

struct NumberedRow {
  int seqNo = 0;
  std::vector<std::string> cells;  // the text columns after SeqNo ("" for NULL)
};

struct NumberedTable {
  const char* table;                  // "Department", "Doctor"
  std::vector<const char*> columns;   // the text columns in table order
};
const NumberedTable& DepartmentTable();
const NumberedTable& DoctorTable();

// The rows in SeqNo order. False when the table cannot be read (reported by the data layer).
bool LoadNumberedRows(CADOConn& conn, const NumberedTable& t, std::vector<NumberedRow>* rows);

// Appends a row numbered after the last; the list gets it only when the insert succeeded.
bool AppendNumberedRow(CADOConn& conn, const NumberedTable& t, std::vector<NumberedRow>& rows,
                       const std::vector<std::string>& cells);
// Rewrites the cells of list row `index`; the list changes only when the update succeeded.
bool ModifyNumberedRow(CADOConn& conn, const NumberedTable& t, std::vector<NumberedRow>& rows, size_t index,
                       const std::vector<std::string>& cells);
// Deletes the list rows `indexes` and numbers the rest 1..N again, in one transaction. On
// success and on failure the list is read back from the table, so both always agree.
bool DeleteNumberedRows(CADOConn& conn, const NumberedTable& t, std::vector<NumberedRow>& rows,
                        const std::vector<size_t>& indexes);

// Operator text as stored: blanks trimmed at both ends, apostrophes made safe.
std::string StoredListText(const std::string& typed);

}  // namespace settings
