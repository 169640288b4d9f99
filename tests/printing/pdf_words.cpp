#include "pdf_words.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>

namespace {

std::string Unescape(std::string s) {
  const std::pair<const char*, const char*> entities[] = {{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [from, to] : entities) {
    size_t at = 0;
    while ((at = s.find(from, at)) != std::string::npos) {
      s.replace(at, std::string(from).size(), to);
      at += std::string(to).size();
    }
  }
  return s;
}

}  // namespace

std::vector<std::vector<PdfWord>> PdfWords(const std::vector<uint8_t>& pdf) {
  std::vector<std::vector<PdfWord>> pages;
  char path[] = "/tmp/quorvex_pdfwordsXXXXXX";
  const int fd = ::mkstemp(path);
  if (fd < 0) return pages;
  ::close(fd);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(pdf.data()), static_cast<std::streamsize>(pdf.size()));
  const std::string cmd = std::string("pdftotext -q -bbox '") + path + "' - 2>/dev/null";
  FILE* p = ::popen(cmd.c_str(), "r");
  std::string html;
  if (p) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) html.append(buf, n);
    ::pclose(p);
  }
  std::remove(path);
  const std::regex page("<page "), word("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
  size_t at = 0;
  while (true) {
    const size_t start = html.find("<page ", at);
    if (start == std::string::npos) break;
    size_t end = html.find("</page>", start);
    if (end == std::string::npos) end = html.size();
    std::vector<PdfWord> words;
    const std::string body = html.substr(start, end - start);
    for (auto it = std::sregex_iterator(body.begin(), body.end(), word); it != std::sregex_iterator(); ++it) {
      PdfWord w;
      w.xMin = std::atof((*it)[1].str().c_str());
      w.yMin = std::atof((*it)[2].str().c_str());
      w.xMax = std::atof((*it)[3].str().c_str());
      w.yMax = std::atof((*it)[4].str().c_str());
      w.text = Unescape((*it)[5].str());
      words.push_back(w);
    }
    pages.push_back(words);
    at = end;
  }
  return pages;
}

const PdfWord* FindWord(const std::vector<PdfWord>& page, const std::string& text, int occurrence) {
  for (const PdfWord& w : page)
    if (w.text == text && occurrence-- == 0) return &w;
  return nullptr;
}

bool SavePagePng(const std::vector<uint8_t>& pdf, const std::string& name) {
  std::error_code ec;
  std::filesystem::create_directories("png", ec);
  const std::string path = "png/" + name + ".pdf";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(pdf.data()), static_cast<std::streamsize>(pdf.size()));
  const std::string cmd = "pdftoppm -q -r 60 -png -singlefile '" + path + "' 'png/" + name + "' 2>/dev/null";
  const bool ok = std::system(cmd.c_str()) == 0;
  std::remove(path.c_str());
  return ok;
}
