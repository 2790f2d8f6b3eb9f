#pragma once

// What the core knows of the running program: its command-line arguments,
// the path of its file and its folder, where it may write, and the one
// channel through which the core tells the user something.

#include <functional>
#include <string>
#include <vector>

// The arguments after the program name. main() hands them over once.
void SetProgramArguments(int argc, const char* const* argv);
void SetProgramArguments(std::vector<std::string> arguments);
const std::vector<std::string>& ProgramArguments();

// Full path of the program file (from /proc/self/exe). Tests may point it
// elsewhere with SetProgramPath.
std::string ProgramPath();
void SetProgramPath(const std::string& path);

// Folder of the program file, ending with "/".
std::string ProgramFolder();

// The folder for files the program writes beside itself (temporary
// pictures, previews, the debug log, the column layout): the program folder
// when it is writable, else $XDG_DATA_HOME/velloran/ (by default
// ~/.local/share/velloran/), created when missing. Ends with "/".
std::string WritableFolder();

// Messages for the user. The window program installs a notifier that shows
// a message box; without one, messages go to standard error.
using TMessageNotifier = std::function<void(const std::string& message)>;
void SetMessageNotifier(TMessageNotifier notifier);
void NotifyUser(const std::string& message);
