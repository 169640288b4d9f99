#pragma once
// Printers: the list, the default printer, and handing a finished document to the
// printing system (CUPS).
//
// Besides the CUPS queues there is always the PDF printer kPdfPrinterName: what is printed
// on it is kept as a PDF file in PrintOutDir(). It is the default printer when CUPS has
// none (or no CUPS server runs), so a report is never lost for want of a printer.
#include <memory>
#include <string>
#include <vector>

namespace print {

constexpr const char* kPdfPrinterName = "Quorvex PDF";

struct PrinterInfo {
  std::string name;
  std::string description;
  std::string location;
  bool isDefault = false;
  bool pdf = false;  // the PDF printer
};

struct SubmitOptions {
  std::string media;  // "A4", "Custom.210x279mm"
  int copies = 1;
};

// The printing system behind the printer functions. The real one talks to CUPS; tests
// install a fake with SetSpooler.
class Spooler {
 public:
  virtual ~Spooler() = default;
  // Queues with their default flag; empty when there is no server.
  virtual std::vector<PrinterInfo> List() = 0;
  virtual bool SetDefault(const std::string& name, std::string* error) = 0;
  // Submits a PDF file; the job id, or 0 and the reason.
  virtual int Submit(const std::string& printer, const std::string& pdfPath, const std::string& title,
                     const SubmitOptions& options, std::string* error) = 0;
};

// The CUPS spooler (libcups, the server of CUPS_SERVER / client.conf).
Spooler& CupsSpooler();
// nullptr goes back to CUPS. Not owned.
void SetSpooler(Spooler* spooler);
Spooler& CurrentSpooler();

// Every printer: the CUPS queues, then the PDF printer.
std::vector<PrinterInfo> ListPrinters();
// The default printer: the one chosen with SetDefaultPrinter in this run when it still
// exists, else the printing system's default, else the PDF printer. Never empty.
std::string DefaultPrinterName();
// Makes `name` the default. False (and the reason) when there is no such printer or the
// printing system refuses.
bool SetDefaultPrinter(const std::string& name, std::string* error = nullptr);
bool PrinterExists(const std::string& name);
// "name,driver,port" for the default printer, as the old profile entry held it.
std::string DefaultDeviceEntry();

// Where PDF-printer output goes: $QUORVEX_PRINT_DIR when set, else <program folder>PrintOut/.
// Ends in '/'.
std::string PrintOutDir();

}  // namespace print
