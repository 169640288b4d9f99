#pragma once
// What the service tools screen does besides drawing: the file explorer, backup and restore
// through the application's backup dialog, and the two software updaters. An updater is a
// helper program of the platform's table (its command may be set in the environment, or a
// native program put beside the named one); when none can be started the screen says so and
// the program keeps running. The back-end updater replaces the running program: once it can
// be started, the shutdown sequence runs first, then the updater starts and the program quits.
#include <functional>
#include <string>

namespace service {

// Starts a program or opens a file as the shell's "open" did; false with the reason.
using ToolLauncher = std::function<bool(const std::string& file, std::string* error)>;
// Whether a program could be started (without starting it); false with the reason.
using ToolResolver = std::function<bool(const std::string& file, std::string* error)>;
// Runs the backup dialog in mode 1 (backup) or 2 (recovery).
using BackupRunner = std::function<int(int mode)>;

// The application installs the backup dialog; tests replace the launcher and resolver.
void SetBackupRunner(BackupRunner run);
void SetToolLauncher(ToolLauncher launch, ToolResolver resolve);
// Back to the platform's helper-program table.
void UsePlatformToolLauncher();

struct ToolsHost {
  virtual ~ToolsHost() = default;
  virtual void Info(const std::string& text) = 0;
  virtual bool AskOkCancel(const std::string& text) = 0;
  // Runs the shutdown sequence (the board is taken out of its working state).
  virtual void RunShutdown() = 0;
  virtual void Quit() = 0;
};

void OpenExplorer(ToolsHost& host);
void RunBackup(ToolsHost& host, int mode);
void UpdateBackSoftware(ToolsHost& host);
void UpdateFrontSoftware(ToolsHost& host);

// The last file below the program folder whose name holds "MERDO.EXE" (letter case counts),
// "" when there is none.
std::string FindFrontUpdater(const std::string& programFolder);

}  // namespace service
