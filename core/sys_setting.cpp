#include "core/sys_setting.h"

#include "core/ado_conn.h"
#include "core/field_read.h"

namespace {

template <typename T>
void ReadColumn(db::Recordset& rs, const char* name, std::optional<T>& out) {
  T value{};
  if (ReadField(rs, name, value)) out = value;
}

}  // namespace

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
