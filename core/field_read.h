#pragma once
// Reading fields of the current row the way every screen does: a Null value (or a missing field,
// or a recordset that did not open) leaves the target as it was, and the call says whether a
// value was taken. Integer targets take the low bits of the stored whole number (a byte column
// read into uint8_t keeps its low 8 bits), as the screens' variant conversions do.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/recordset.h"

bool ReadField(db::Recordset& rs, std::string_view name, std::string& out);
bool ReadField(db::Recordset& rs, std::string_view name, double& out);
bool ReadField(db::Recordset& rs, std::string_view name, float& out);
bool ReadField(db::Recordset& rs, std::string_view name, int64_t& out);
bool ReadField(db::Recordset& rs, std::string_view name, int32_t& out);
bool ReadField(db::Recordset& rs, std::string_view name, int16_t& out);
bool ReadField(db::Recordset& rs, std::string_view name, uint16_t& out);
bool ReadField(db::Recordset& rs, std::string_view name, uint8_t& out);

bool ReadField(db::Recordset& rs, int index, std::string& out);
bool ReadField(db::Recordset& rs, int index, double& out);
bool ReadField(db::Recordset& rs, int index, float& out);
bool ReadField(db::Recordset& rs, int index, int64_t& out);
bool ReadField(db::Recordset& rs, int index, int32_t& out);
bool ReadField(db::Recordset& rs, int index, int16_t& out);
bool ReadField(db::Recordset& rs, int index, uint16_t& out);
bool ReadField(db::Recordset& rs, int index, uint8_t& out);

// True when the recordset is open and holds at least one row (it is not at its
// beginning-of-file mark right after opening).
bool HasRows(db::Recordset& rs);

// The field names of a query's result, in order ("*" gives the table's column order); empty
// when the recordset is not open.
std::vector<std::string> FieldNamesOf(db::Recordset& rs);

// Whether `names` holds `column`, compared without letter case (the engine treats column names
// that way, so a differently cased column is the same column).
bool HasColumnNamed(const std::vector<std::string>& names, std::string_view column);
