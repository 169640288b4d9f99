#pragma once
// A printing system of one queue, the default, that keeps the paper each job asked for.
#include <string>
#include <utility>
#include <vector>

#include "platform/print/printers.h"

class OneQueue : public print::Spooler {
 public:
  explicit OneQueue(std::string name) : name_(std::move(name)) {}
  std::vector<print::PrinterInfo> List() override { return {{name_, "", "", true, false}}; }
  bool SetDefault(const std::string&, std::string*) override { return true; }
  int Submit(const std::string&, const std::string&, const std::string&, const print::SubmitOptions& options,
             std::string*) override {
    media.push_back(options.media);
    return 7;
  }
  std::vector<std::string> media;

 private:
  std::string name_;
};
