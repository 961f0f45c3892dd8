#include "core/Log.h"

#include <cstdio>
#include <ctime>

namespace {

std::tm LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return t;
}

OLog* runLog = nullptr;

}  // namespace

OLog::OLog(const char* name) : errors(0), path(name) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return;
  std::tm t = LocalNow();
  std::fputs("<HTML>\n<HEAD>  <TITLE> Log file  </TITLE>  </HEAD>\n", f);
  std::fputs("<BODY>\n", f);
  std::fputs("<FONT  STYLE='FONT-SIZE: 10pt'>\n<PRE>", f);
  std::fprintf(f, "\n<B><FONT color= '0000ff'>Log file opened: %d/%02d/%02d - %02d:%02d:%02d </FONT></B>\n\n",
               t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  std::fclose(f);
}

void OLog::Close() {
  std::FILE* f = std::fopen(path.c_str(), "a");
  if (!f) return;
  std::tm t = LocalNow();
  std::fprintf(f, "\n<B><FONT color= '0000ff'>Total Errors = %d\n", errors);
  std::fprintf(f, "Log file closed: %d/%02d/%02d - %02d:%02d:%02d </FONT></B>\n\n",
               t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  std::fclose(f);
}

void OLog::Error(const std::string& text) {
  ++errors;
  std::FILE* f = std::fopen(path.c_str(), "a");
  if (!f) return;
  std::tm t = LocalNow();
  // The text is the game's own; markup characters in a file name must not become markup.
  std::string escaped;
  for (char c : text) {
    if (c == '<') escaped += "&lt;";
    else if (c == '>') escaped += "&gt;";
    else if (c == '&') escaped += "&amp;";
    else escaped += c;
  }
  std::fprintf(f, "<FONT color= 'ff0000'>%02d:%02d:%02d Error: %s</FONT>\n", t.tm_hour, t.tm_min,
               t.tm_sec, escaped.c_str());
  std::fclose(f);
}

void SetRunLog(OLog* log) { runLog = log; }

void LogError(const std::string& text) {
  if (runLog != nullptr) runLog->Error(text);
}

void LogNote(const std::string& text) {
  if (runLog != nullptr) runLog->Note(text);
}

void OLog::Note(const std::string& line) {
  std::FILE* f = std::fopen(path.c_str(), "a");
  if (!f) return;
  // The log is HTML: a folder name with markup characters must show as written.
  std::string text;
  for (char c : line) {
    if (c == '<') text += "&lt;";
    else if (c == '>') text += "&gt;";
    else if (c == '&') text += "&amp;";
    else text += c;
  }
  std::fprintf(f, "%s\n", text.c_str());
  std::fclose(f);
}
