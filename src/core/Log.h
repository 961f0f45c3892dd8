#pragma once
// The short run log "Report.html": an opening block with the start time when the process starts,
// a closing block with the error count and the end time when it exits. Each run truncates the file.
#include <string>

class OLog {
public:
  // Creates (truncates) the file and writes the opening block. A file that cannot be opened is
  // skipped without a word.
  explicit OLog(const char* name);
  OLog(const OLog&) = delete;
  OLog& operator=(const OLog&) = delete;

  // Appends the closing block; run from an exit handler.
  void Close();
  // Appends one error line (red, with the time) and counts it in the closing block's total.
  void Error(const std::string& text);
  // Appends one line of text between the two blocks (what the player should know about this run,
  // such as a folder that cannot be written). Skipped, like the blocks, when the file cannot be
  // opened.
  void Note(const std::string& line);

  int errors;
  std::string path;
};

// The process's run log, which main creates before anything else runs; null until then (and in
// tests that have none).
void SetRunLog(OLog* log);
// An error for the run log, when there is one: a file that could not be read or written, a
// display that could not be opened. The caller tells the player (a box, a line on screen).
void LogError(const std::string& text);
// A line for the run log, when there is one, that is no error of the game's (see OLog::Note).
void LogNote(const std::string& text);
