#include "platform/print/printers.h"

#include <cups/cups.h>

#include <cstdlib>
#include <mutex>

#include "platform/sys/program_dir.h"

namespace print {

namespace {

class Cups : public Spooler {
 public:
  std::vector<PrinterInfo> List() override {
    std::vector<PrinterInfo> out;
    cups_dest_t* dests = nullptr;
    int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < n; ++i) {
      if (dests[i].instance) continue;  // instances are option sets of a queue, not printers
      PrinterInfo p;
      p.name = dests[i].name;
      p.isDefault = dests[i].is_default != 0;
      if (const char* v = cupsGetOption("printer-info", dests[i].num_options, dests[i].options)) p.description = v;
      if (const char* v = cupsGetOption("printer-location", dests[i].num_options, dests[i].options)) p.location = v;
      out.push_back(p);
    }
    cupsFreeDests(n, dests);
    return out;
  }

  bool SetDefault(const std::string& name, std::string* error) override {
    cups_dest_t* dests = nullptr;
    int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    bool found = false;
    for (int i = 0; i < n; ++i) {
      bool match = !dests[i].instance && name == dests[i].name;
      dests[i].is_default = match ? 1 : 0;
      found = found || match;
    }
    int rc = found ? cupsSetDests2(CUPS_HTTP_DEFAULT, n, dests) : -1;
    cupsFreeDests(n, dests);
    if (!found) {
      if (error) *error = "no printer named " + name;
      return false;
    }
    if (rc != 0) {
      if (error) *error = cupsLastErrorString();
      return false;
    }
    return true;
  }

  int Submit(const std::string& printer, const std::string& pdfPath, const std::string& title,
             const SubmitOptions& options, std::string* error) override {
    int num = 0;
    cups_option_t* opts = nullptr;
    if (!options.media.empty()) num = cupsAddOption("media", options.media.c_str(), num, &opts);
    if (options.copies > 1) num = cupsAddOption("copies", std::to_string(options.copies).c_str(), num, &opts);
    num = cupsAddOption("document-format", "application/pdf", num, &opts);
    int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, printer.c_str(), pdfPath.c_str(), title.c_str(), num, opts);
    cupsFreeOptions(num, opts);
    if (id <= 0 && error) *error = cupsLastErrorString();
    return id > 0 ? id : 0;
  }
};

std::mutex g_mutex;
Spooler* g_spooler = nullptr;
std::string g_chosenDefault;  // chosen in this run

}  // namespace

Spooler& CupsSpooler() {
  static Cups cups;
  return cups;
}

void SetSpooler(Spooler* spooler) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_spooler = spooler;
  g_chosenDefault.clear();
}

Spooler& CurrentSpooler() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_spooler ? *g_spooler : CupsSpooler();
}

std::vector<PrinterInfo> ListPrinters() {
  std::vector<PrinterInfo> list = CurrentSpooler().List();
  PrinterInfo pdf;
  pdf.name = kPdfPrinterName;
  pdf.description = "PDF files in " + PrintOutDir();
  pdf.pdf = true;
  list.push_back(pdf);
  std::string def = DefaultPrinterName();
  for (PrinterInfo& p : list) p.isDefault = p.name == def;
  return list;
}

std::string DefaultPrinterName() {
  std::vector<PrinterInfo> queues = CurrentSpooler().List();
  std::string chosen;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    chosen = g_chosenDefault;
  }
  if (chosen == kPdfPrinterName) return chosen;
  for (const PrinterInfo& p : queues)
    if (!chosen.empty() && p.name == chosen) return chosen;
  for (const PrinterInfo& p : queues)
    if (p.isDefault) return p.name;
  return kPdfPrinterName;
}

bool PrinterExists(const std::string& name) {
  if (name == kPdfPrinterName) return true;
  for (const PrinterInfo& p : CurrentSpooler().List())
    if (p.name == name) return true;
  return false;
}

bool SetDefaultPrinter(const std::string& name, std::string* error) {
  if (name.empty()) {
    if (error) *error = "no printer name";
    return false;
  }
  if (name != kPdfPrinterName) {
    if (!PrinterExists(name)) {
      if (error) *error = "no printer named " + name;
      return false;
    }
    if (!CurrentSpooler().SetDefault(name, error)) return false;
  }
  std::lock_guard<std::mutex> lock(g_mutex);
  g_chosenDefault = name;
  return true;
}

std::string DefaultDeviceEntry() {
  std::string name = DefaultPrinterName();
  if (name == kPdfPrinterName) return name + ",PDF,PrintOut";
  return name + ",CUPS," + name;
}

std::string PrintOutDir() {
  const char* env = std::getenv("QUORVEX_PRINT_DIR");
  std::string dir = (env && *env) ? env : sys::ProgramDir() + "PrintOut/";
  if (dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace print
