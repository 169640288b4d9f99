#include "core/field_read.h"

#include <cmath>

#include "platform/sys/path_map.h"

namespace {

template <class Key>
bool Take(db::Recordset& rs, Key key, std::string& out) {
  if (!rs.IsOpen()) return false;
  db::Value v = rs.Field(key);
  if (v.IsNull()) return false;
  out = v.AsText();
  return true;
}

template <class Key>
bool TakeReal(db::Recordset& rs, Key key, double& out) {
  if (!rs.IsOpen()) return false;
  db::Value v = rs.Field(key);
  if (v.IsNull()) return false;
  double d;
  if (!v.TryDouble(&d)) d = 0.0;  // a text that holds no number converts to 0, as a variant does
  out = d;
  return true;
}

template <class Key>
bool TakeInt(db::Recordset& rs, Key key, int64_t& out) {
  if (!rs.IsOpen()) return false;
  db::Value v = rs.Field(key);
  if (v.IsNull()) return false;
  out = v.AsInt(0);
  return true;
}

template <class Key, class T>
bool TakeNarrow(db::Recordset& rs, Key key, T& out) {
  int64_t wide;
  if (!TakeInt(rs, key, wide)) return false;
  out = static_cast<T>(static_cast<uint64_t>(wide));  // keep the low bits
  return true;
}

}  // namespace

#define QX_READ_FIELD(KeyType)                                                                   \
  bool ReadField(db::Recordset& rs, KeyType k, std::string& out) { return Take(rs, k, out); }    \
  bool ReadField(db::Recordset& rs, KeyType k, double& out) { return TakeReal(rs, k, out); }     \
  bool ReadField(db::Recordset& rs, KeyType k, float& out) {                                     \
    double d;                                                                                    \
    if (!TakeReal(rs, k, d)) return false;                                                       \
    out = static_cast<float>(d);                                                                 \
    return true;                                                                                 \
  }                                                                                              \
  bool ReadField(db::Recordset& rs, KeyType k, int64_t& out) { return TakeInt(rs, k, out); }     \
  bool ReadField(db::Recordset& rs, KeyType k, int32_t& out) { return TakeNarrow(rs, k, out); }  \
  bool ReadField(db::Recordset& rs, KeyType k, int16_t& out) { return TakeNarrow(rs, k, out); }  \
  bool ReadField(db::Recordset& rs, KeyType k, uint16_t& out) { return TakeNarrow(rs, k, out); } \
  bool ReadField(db::Recordset& rs, KeyType k, uint8_t& out) { return TakeNarrow(rs, k, out); }

QX_READ_FIELD(std::string_view)
QX_READ_FIELD(int)

#undef QX_READ_FIELD

bool HasRows(db::Recordset& rs) { return rs.IsOpen() && !(rs.IsBOF() && rs.IsEOF()); }

std::vector<std::string> FieldNamesOf(db::Recordset& rs) {
  if (!rs.IsOpen()) return {};
  return rs.FieldNames();
}

bool HasColumnNamed(const std::vector<std::string>& names, std::string_view column) {
  for (const auto& n : names)
    if (sys::EqualsNoCase(n, std::string(column))) return true;
  return false;
}
