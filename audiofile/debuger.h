#pragma once

// The debug log: switched on by starting the program with the first
// argument "debug" (any letter case). Each construction of an audio file
// object runs the start check again, so each appends its own header block.
// The log file is never truncated; lines that cannot be written are dropped.

#include <string>

class TDebuger {
 public:
  // The program path without its extension, followed by "_DEBUG.TXT".
  std::string LogFileName;
  bool Enabled = false;
  bool WritingHeader = false;

  // Decides from the program's arguments whether debug mode is on; when it
  // is, appends the header block and tells the user where the file is.
  void StartCheck();
  // Appends one line stamped with the current time.
  void WriteLine(const std::string& text);
};
