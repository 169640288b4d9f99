#include "core/sys_log.h"

#include <cstdio>
#include <mutex>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/value_format.h"
#include "core/person_row.h"

const char* SysLogText(SysLogWord word, int language) {
  switch (word) {
    case SysLogWord::Startup: return PickText(language, "开机", "Startup", "Inicio", "Mise en route", "Запуск");
    case SysLogWord::Normal: return PickText(language, "正常", "Normal", "Normal", "Normale", "Норма");
    case SysLogWord::ShutDown: return PickText(language, "关机", "Shut Down", "Apagar", "Shut Down", "Вимикання");
    case SysLogWord::Abnormal: return PickText(language, "异常", "Abnormal", "Anormal", "Anormal", "За межами норми");
    case SysLogWord::ShutDownOk: return PickText(language, "正常", "OK", "OK", "OK", "Норма");
    case SysLogWord::SampleTest:
      return PickText(language, "样本测试", "Sample test", "Muestra de prueba", "Tester de echantillon", "Аналіз");
    case SysLogWord::Logon: return PickText(language, "登录", "Logon", "Login", "Logon", "Вхід в систему");
    case SysLogWord::Backup: return PickText(language, "备份", "Backup", "Copia de seguridad", "Backup", "Резервна копія");
    case SysLogWord::Recovery: return PickText(language, "恢复", "Recovery", "Recuperacion", "Recovery", "Відновити");
    case SysLogWord::Finished: return PickText(language, "完成", "Finished", "Finalizada", "Termine", "Завершено");
  }
  return "";
}

const char* UserLevelName(int level, int language) {
  switch (level) {
    case 1: return PickText(language, "管理员", "Administrator", "Administrador", "Administrateur", "Адміністратор");
    case 2: return PickText(language, "工程师", "Engineer", "Ingeniero", "Ingenieur", "Інженер");
    case 3: return PickText(language, "生产", "Factory", "Fabrica", "Factory", "Користувач");
    default: return "";
  }
}

std::string SysLogInsertSql(const sys::LocalTime& when, const std::string& event,
                            const std::string& result) {
  return "insert into SysLog values('" + StoredDateText(when) + "','" + StoredTimeText(when) + "','" +
         SqlSafeText(event) + "','" + SqlSafeText(result) + "')";
}

int WriteSysLog(CADOConn& conn, const std::string& event, const std::string& result) {
  return conn.Execute(SysLogInsertSql(sys::Clock::Now(), event, result));
}

namespace {

// Deletes the first row of the oldest-first recordset while it holds `limit` or more rows, at
// most `maxDeletes` rows. A delete that fails ends the trim rather than looping on it.
int TrimOldest(CADOConn& conn, int maxDeletes) {
  RecordsetPtr& rs = conn.OpenRecordset("Select * from SysLog order by Date,Time");
  int deleted = 0;
  while (deleted < maxDeletes && rs->IsOpen() && rs->RecordCount() >= kSysLogMaxRows) {
    std::lock_guard<std::recursive_mutex> g(DbLock());
    if (!rs->MoveFirst() || !rs->Delete()) break;
    ++deleted;
  }
  conn.CloseRecordset();
  return deleted;
}

}  // namespace

int TrimSysLogAtStartup(CADOConn& conn) { return TrimOldest(conn, 1 << 30); }

int TrimSysLogAtShutdown(CADOConn& conn) { return TrimOldest(conn, 1); }
