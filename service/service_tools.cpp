#include "service/service_tools.h"

#include <vector>

#include "core/app_settings.h"
#include "core/screen_registry.h"
#include "core/utilies.h"
#include "platform/sys/debug_output.h"
#include "platform/sys/shell_open.h"

namespace service {
namespace {

BackupRunner& Backup() {
  static BackupRunner run;
  return run;
}

bool PlatformLaunch(const std::string& file, std::string* error) { return sys::ShellOpen(file, std::string(), error); }

bool PlatformResolve(const std::string& file, std::string* error) {
  const sys::ShellCommand c = sys::ResolveShellOpen(file);
  if (c.argv.empty() && error) *error = c.error;
  return !c.argv.empty();
}

ToolLauncher& Launcher() {
  static ToolLauncher launch = PlatformLaunch;
  return launch;
}

ToolResolver& Resolver() {
  static ToolResolver resolve = PlatformResolve;
  return resolve;
}

// The operator is told only that the program did not start, in the interface language; why it
// did not (a missing helper, a file or variable name) is for the engineer's log.
std::string NotStartedText(const std::string& why, int lang) {
  sys::DebugOutput("service tools: a program could not be started: " + why);
  return PickText(lang, "无法启动该程序。", "The program could not be started.", "No se pudo iniciar el programa.",
                  "Le programme n'a pas pu être démarré.", "Не вдалося запустити програму.");
}

}  // namespace

void SetBackupRunner(BackupRunner run) { Backup() = std::move(run); }

void SetToolLauncher(ToolLauncher launch, ToolResolver resolve) {
  if (launch) Launcher() = std::move(launch);
  if (resolve) Resolver() = std::move(resolve);
}

void UsePlatformToolLauncher() {
  Launcher() = PlatformLaunch;
  Resolver() = PlatformResolve;
}

void OpenExplorer(ToolsHost& host) {
  std::string error;
  if (!Launcher()("C:\\WINDOWS\\Explorer.exe", &error)) host.Info(NotStartedText(error, AppSettings.LanguageIndex));
}

void RunBackup(ToolsHost& host, int mode) {
  if (Backup()) {
    Backup()(mode);
    return;
  }
  host.Info(NotAvailableText(AppSettings.LanguageIndex));
}

void UpdateBackSoftware(ToolsHost& host) {
  const int lang = AppSettings.LanguageIndex;
  if (!host.AskOkCancel(PickText(lang, "将关闭正在运行的程序，确定吗？", "The running program will be closed,are you sure?",
                                 "El programa en ejecución se cerrará, ¿está seguro?",
                                 "Le programme en cours sera fermé, êtes-vous sûr?",
                                 "Запущену програму буде закрито, ви впевнені?")))
    return;
  const std::string updater = AppSettings.ProgramFolder + "Travenzo.exe";
  std::string error;
  if (!Resolver()(updater, &error)) {
    host.Info(NotStartedText(error, lang));
    return;
  }
  host.RunShutdown();
  if (!Launcher()(updater, &error)) host.Info(NotStartedText(error, lang));
  host.Quit();
}

std::string FindFrontUpdater(const std::string& programFolder) {
  std::vector<std::string> found;
  CUtilies::FindFilesRecursive(programFolder, "MERDO.EXE", found);
  return found.empty() ? std::string() : found.back();
}

void UpdateFrontSoftware(ToolsHost& host) {
  const int lang = AppSettings.LanguageIndex;
  const std::string file = FindFrontUpdater(AppSettings.ProgramFolder);
  if (file.empty()) {
    host.Info(PickText(lang, "未找到更新文件！", "No update file found!", "¡No se encontró ningún archivo de actualización!",
                       "Aucun fichier de mise à jour trouvé!", "Файл оновлення не знайдено!"));
    return;
  }
  std::string error;
  if (!Launcher()(file, &error)) host.Info(NotStartedText(error, lang));
}

}  // namespace service
