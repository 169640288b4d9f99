#include "core/sys_setting.h"

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "platform/sys/c_number.h"

namespace {

template <typename T>
void ReadColumn(db::Recordset& rs, const char* name, std::optional<T>& out) {
  T value{};
  if (ReadField(rs, name, value)) out = value;
}

}  // namespace

SysSettingUpdate& SysSettingUpdate::Add(const char* column, std::string value) {
  columns_.emplace_back(column);
  values_.push_back(std::move(value));
  return *this;
}

SysSettingUpdate& SysSettingUpdate::Set(const char* column, int64_t value) {
  return Add(column, std::to_string(value));
}

SysSettingUpdate& SysSettingUpdate::SetFixed(const char* column, double value, int decimals) {
  return Add(column, sys::FormatFixed(value, decimals));
}

SysSettingUpdate& SysSettingUpdate::SetText(const char* column, const std::string& text) {
  return Add(column, "'" + SqlSafeText(text) + "'");
}

std::string SysSettingUpdate::Sql() const {
  std::string sql = "update SysSetting set ";
  for (size_t i = 0; i < columns_.size(); ++i) sql += (i ? "," : "") + columns_[i] + " = " + values_[i];
  return sql;
}

std::string SysSettingUpdate::InsertSql() const {
  std::string names, values;
  for (size_t i = 0; i < columns_.size(); ++i) {
    names += (i ? "," : "") + columns_[i];
    values += (i ? "," : "") + values_[i];
  }
  return "insert into SysSetting(" + names + ") values(" + values + ")";
}

bool SysSettingUpdate::Execute(CADOConn& conn) const { return conn.Execute(Sql()) > 0; }

bool SysSettingUpdate::ExecuteOrInsert(CADOConn& conn) const {
  const SysSettingRead read = LoadSysSetting(conn);
  if (!read.opened) return false;  // reported by the data layer
  return conn.Execute(read.hasRow ? Sql() : InsertSql()) > 0;
}

bool AddSysSettingColumn(CADOConn& conn, const char* column, const char* type) {
  return conn.Execute(std::string("alter table SysSetting add column ") + column + " " + type) > 0;
}

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
