#include "core/sys_setting.h"

#include <charconv>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"

namespace {

template <typename T>
void ReadColumn(db::Recordset& rs, const char* name, std::optional<T>& out) {
  T value{};
  if (ReadField(rs, name, value)) out = value;
}

}  // namespace

SysSettingUpdate& SysSettingUpdate::Add(const char* column, const std::string& value) {
  if (!first_) sql_ += ",";
  first_ = false;
  sql_ += std::string(column) + " = " + value;
  return *this;
}

SysSettingUpdate& SysSettingUpdate::Set(const char* column, int64_t value) {
  return Add(column, std::to_string(value));
}

SysSettingUpdate& SysSettingUpdate::SetFixed2(const char* column, double value) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
  return Add(column, std::string(buf, r.ptr));
}

SysSettingUpdate& SysSettingUpdate::SetText(const char* column, const std::string& text) {
  return Add(column, "'" + SqlSafeText(text) + "'");
}

bool SysSettingUpdate::Execute(CADOConn& conn) const { return conn.Execute(sql_) > 0; }

SysSettingRead LoadSysSetting(CADOConn& conn) {
  SysSettingRead r;
  RecordsetPtr& rs = conn.OpenRecordset("Select * from SysSetting");
  r.opened = conn.RecordsetOpen();
  if (r.opened) {
    r.columns = FieldNamesOf(*rs);
    r.hasRow = HasRows(*rs);
  }
  if (r.hasRow) {
#define QX_SYS_SETTING_READ(type, name) ReadColumn(*rs, #name, r.row.name);
    QX_SYS_SETTING_COLUMNS(QX_SYS_SETTING_READ)
#undef QX_SYS_SETTING_READ
  }
  conn.CloseRecordset();
  return r;
}
