#pragma once
// The start-up steps of the application core, each a plain function over the process-wide
// values, and the part of the start-up sequence that needs no window: program folder, product
// information, clean-up of the previous run's files, the Chinese edition, Setting.ini, and the
// data store (created when missing, upgraded, first settings read). The screens of the start-up
// (start-up screen, printer port, board port check, main menu) are run by the application object.
#include <string>

#include "platform/sys/single_instance.h"

class CADOConn;

// Installs the crash handler: a fault writes a cc_*.dmp report with a backtrace into the program
// folder (the previous run's reports are cleaned up by CleanUpStartupFiles).
bool InstallCrashDumps();

// "Quorvex.EXE" (platform flag 1) or "QX-4150.EXE" (0): the name of the single-instance lock.
std::string SingleInstanceName();

// Takes the single-instance lock for the life of `lock`. False when another copy holds it (the
// caller then ends silently); an error taking the lock lets the program run.
bool AcquireSingleInstance(sys::SingleInstance& lock, const std::string& folder = std::string());

// Product name from ProduceInfo\Produceinfo.ver, "Module"/"Name" (at most 100 characters, default
// " "); left as it is when the file is missing or the text read is empty.
void ReadProduceInfo();

// Deletes the previous run's lock and trace files ("Vantorium.ldb", "serialdata.txt",
// "sampletestdata.txt") and, when the program folder holds more than 5 "*.dmp" files, all of
// them. Returns the number of dump files deleted.
int CleanUpStartupFiles();

// 1 when the user's language is Chinese (LC_ALL, LC_MESSAGES or LANG starting with "zh").
int ChineseEditionFromSystemLanguage();

// The Chinese edition as Setting.ini [Setting] SOFTWAREVERSION decides it: a non-empty value
// is read as a whole number and only 1 means the Chinese edition; without the file or with an
// empty value `current` stays.
int ChineseEditionFromSettings(int current);

// The international edition has no Chinese screens: there a Chinese language index (also the
// index before the store's language is read) is English. The Chinese edition keeps its index.
void FitLanguageToEdition();

// Puts [LIS] and [COMMUNITY] of Setting.ini (core/lis_settings_file) into LisLinkState, each
// key read as a whole number where it is one (defaults when the file or a key is missing). [ReagentCalcCoef] belongs to the reagent account (analyzer/reagent.h).
void ReadStartupSettings();

// Opens the data store on `conn` (creating it first when the file is missing), adds the columns
// an older file lacks and reads the first settings. False when no data store could be reached
// (already reported to the operator).
bool OpenAndUpgradeDataStore(CADOConn& conn);

// The steps above in the start-up's order, from the program folder to the first settings, with
// the shared dialog font made from the layout scale (CheckScreenSize runs before). The
// connection stays open for the rest of the start-up.
bool RunCoreStartup(CADOConn& conn);

// A number read the way the program reads texts from its settings: leading blanks, an optional
// sign, then as much of a decimal number as there is, in the C locale; 0 when there is none.
double ParseLeadingNumber(const std::string& text);
// The same for a whole number, held to the int range.
int ParseLeadingInt(const std::string& text);

// The help file of a language (program folder + name): "Quorvex.chm", "QuorvexEN.chm",
// "QuorvexSP.chm", "QuorvexFH.chm", "QuorvexUA.chm"; English for an index outside 0..4.
std::string HelpFilePath(int language);

// The title of the help viewer's window: the product name and the analyzer's name in the
// language, so F1 can raise an open help window instead of opening a second one.
std::string HelpWindowTitle(int language);

// The start-up's port failure messages; null for a language outside 0..4 (nothing is shown).
const char* PrinterPortFailedText(int language);
const char* BoardPortFailedText(int language);

// The last step of the program's exit: when the shutdown asked for it (AppSettings.PowerOffFlag),
// switch the PC off. Returns whether it was asked.
bool PowerOffIfRequested();

// The 22 tables of the data store.
extern const char* const kDataStoreTables[22];
