#include "core/app_startup.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/data_store.h"
#include "core/db_errors.h"
#include "core/layout.h"
#include "core/lis_link_state.h"
#include "core/lis_settings_file.h"
#include "platform/sys/crash_handler.h"
#include "platform/sys/file_ops.h"
#include "platform/sys/host.h"
#include "platform/sys/profile.h"
#include "platform/sys/program_dir.h"

bool InstallCrashDumps() { return sys::InstallCrashHandler(sys::ProgramDir()); }

std::string SingleInstanceName() {
  return AppSettings.PlatformFlag == 1 ? "Quorvex.EXE" : "QX-4150.EXE";
}

bool AcquireSingleInstance(sys::SingleInstance& lock, const std::string& folder) {
  return lock.Acquire(SingleInstanceName(), folder) != sys::SingleInstance::Result::kNotFirst;
}

double ParseLeadingNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  double v = 0.0;
  auto r = std::from_chars(text.data() + i, text.data() + text.size(), v);
  if (r.ec != std::errc()) return 0.0;
  return negative ? -v : v;
}

int ParseLeadingInt(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    v = v * 10 + (text[i] - '0');
    if (v > 2147483648LL) v = 2147483648LL;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) v = 2147483647LL;
  return static_cast<int>(v);
}

namespace {

std::string SettingsFile() { return sys::ProgramFile("Setting.ini"); }

// Texts are read with a 100-character buffer, as the start-up always did.
std::string ReadIni(const char* section, const char* key, const char* def) {
  return sys::ProfileReadString(SettingsFile(), section, key, def, 100);
}

}  // namespace

void ReadProduceInfo() {
  const std::string file = sys::ProgramFile("ProduceInfo\\Produceinfo.ver");
  if (!sys::FileExists(file)) return;
  // A missing key reads as the one-blank default (the settings reader would trim it away).
  std::string name = sys::ProfileHasKey(file, "Module", "Name")
                         ? sys::ProfileReadString(file, "Module", "Name", " ", 100)
                         : std::string(" ");
  if (!name.empty()) AppSettings.ProductName = name;
}

int CleanUpStartupFiles() {
  for (const char* name : {"Vantorium.ldb", "serialdata.txt", "sampletestdata.txt"}) {
    const std::string path = sys::ProgramFile(name);
    if (sys::FileExists(path)) sys::DeleteFile(path);
  }
  const std::string folder = sys::ProgramDir();
  std::vector<std::string> dumps = sys::ListFolder(folder, "*.dmp");
  if (dumps.size() <= 5) return 0;
  int deleted = 0;
  for (const auto& d : dumps)
    if (sys::DeleteFile(folder + d)) ++deleted;
  return deleted;
}

int ChineseEditionFromSystemLanguage() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* v = std::getenv(var);
    if (v == nullptr || *v == '\0') continue;
    return std::strncmp(v, "zh", 2) == 0 ? 1 : 0;
  }
  return 0;
}

int ChineseEditionFromSettings(int current) {
  if (!sys::FileExists(SettingsFile())) return current;
  std::string v = ReadIni("Setting", "SOFTWAREVERSION", std::to_string(current).c_str());
  if (v.empty()) return current;
  return ParseLeadingInt(v) == 1 ? 1 : 0;
}

void FitLanguageToEdition() {
  if (!AppSettings.ChineseEdition && AppSettings.LanguageIndex == 0) AppSettings.LanguageIndex = 1;
}

void ReadStartupSettings() {
  // [ReagentCalcCoef] is the reagent account's, read by it once at the board's start-up.
  const LisSectionTexts lis = ReadLisSection();
  LisLinkState.OwnAddress = lis.client;
  LisLinkState.SubnetMask = lis.mask;
  LisLinkState.Gateway = lis.gateway;
  LisLinkState.ServerAddress = lis.server;
  LisLinkState.ServerPort = ParseLeadingInt(lis.port);
  // A port outside 1..65535 names no server: the link then makes no attempt.
  if (LisLinkState.ServerPort < 1 || LisLinkState.ServerPort > 65535) LisLinkState.ServerPort = 0;
  LisLinkState.Bidirectional = ParseLeadingInt(lis.bidirectional);
  LisLinkState.AlarmSending = ParseLeadingInt(lis.alarms);
  LisLinkState.AddressMode = ParseLeadingInt(lis.addressMode);
  if (LisLinkState.AddressMode == 1) {
    // Automatic addressing: the PC's own settings are left as they are.
    LisLinkState.NetworkReady = 1;
    LisLinkState.ApplyPending = 0;
  }
  LisLinkState.LinkKind = ReadLinkKind();
}

bool OpenAndUpgradeDataStore(CADOConn& conn) {
  std::string error;
  if (!CreateDataStoreIfMissing(nullptr, &error)) ReportDbError(error);
  conn.Connect();
  if (!conn.IsConnected()) return false;
  UpgradeSystemTables(conn);
  LoadFirstSettings(conn);
  return true;
}

bool RunCoreStartup(CADOConn& conn) {
  AppSettings.ProgramFolder = sys::ProgramDir();
  ReadProduceInfo();
  CleanUpStartupFiles();
  AppSettings.ChineseEdition = ChineseEditionFromSystemLanguage();
  AppSettings.ChineseEdition = ChineseEditionFromSettings(AppSettings.ChineseEdition);
  ReadStartupSettings();
  InitSharedDialogFont();  // from the layout scale worked out before
  // A store that cannot be opened is told before its language can be read: in the edition's
  // language, the one every later box of this start takes too.
  FitLanguageToEdition();
  return OpenAndUpgradeDataStore(conn);
}

std::string HelpFilePath(int language) {
  static const char* const kFiles[5] = {"Quorvex.chm", "QuorvexEN.chm", "QuorvexSP.chm",
                                        "QuorvexFH.chm", "QuorvexUA.chm"};
  const char* name = (language >= 0 && language <= 4) ? kFiles[language] : kFiles[1];
  return sys::ProgramDir() + name;
}

std::string HelpWindowTitle(int language) {
  const char* suffix = language == 0   ? " 全自动血细胞分析仪"
                       : language == 4 ? " Автоматичний гематологічний аналізатор"
                                       : " Auto Hematology Analyzer";
  return AppSettings.ProductName + suffix;
}

const char* PrinterPortFailedText(int language) {
  if (language < 0 || language > 4) return nullptr;
  return PickText(language, "打印机口初始化失败", "Failed to initialize printer COM port!",
                  "Error al iniciar puerto COM de impresora interna!",
                  "Echec initialisation port COM de l'imprimante!",
                  "Помилка з'єднання з СОМ портом принтера!");
}

const char* BoardPortFailedText(int language) {
  if (language < 0 || language > 4) return nullptr;
  return PickText(language, "前端通信串口初始化失败！", "Failed to initialize communications COM port!",
                  "Error al iniciar puerto COM!", "Echec initialisation port COM communications!",
                  "Помилка ініціалізації COM порту!");
}

bool PowerOffIfRequested() {
  if (AppSettings.PowerOffFlag == 0) return false;
  sys::PowerOffPc();  // its outcome changes nothing: the program is ending either way
  return true;
}

const char* const kDataStoreTables[22] = {
    "SysSetting",      "Person",          "Statistic",     "SysLog",        "Users",
    "EngineeringAdjust", "EngineeringDebug", "ParasUnit",   "CalibrationCoef", "AutoCalibration",
    "NormalLimits",    "PathologyLimits", "PrintItemsSet", "CommSet",       "Department",
    "Doctor",          "LJQCSet",         "LJQCRunResult", "XRQCSet",       "XRQCRunResult",
    "XBQCSet",         "XBQCRunResult"};
