#include "audiofile/debuger.h"

#include <cstdio>
#include <ctime>

#include "toolkit/program_info.h"
#include "toolkit/str_tools.h"

namespace {

std::string Now(const char* format) {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  char buffer[128];
  size_t n = std::strftime(buffer, sizeof buffer, format, &local);
  return std::string(buffer, n);
}

// The program path with its extension (if any) cut off, so velloran.bin and
// velloran both log to velloran_DEBUG.TXT.
std::string WithoutExtension(const std::string& path) {
  size_t slash = path.rfind('/');
  size_t dot = path.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) return path.substr(0, dot);
  return path;
}

std::string LogFolderFile(const std::string& program_path) {
  // The log lives beside the program; an installed copy whose folder is not
  // writable logs into the user's data folder under the same name.
  std::string name = WithoutExtension(program_path) + "_DEBUG.TXT";
  std::string folder = WritableFolder();
  size_t slash = name.rfind('/');
  std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
  return folder + base;
}

}  // namespace

void TDebuger::StartCheck() {
  Enabled = false;
  WritingHeader = true;
  std::string program = ProgramPath();
  LogFileName = LogFolderFile(program);
  const auto& args = ProgramArguments();
  if (!args.empty() && TCase().LowerCaseText(args[0]) == "debug") {
    Enabled = true;
    WriteLine(std::string(42, '.'));
    WriteLine(":::::::: START DEBUG INFORMATION :::::::::");
    WriteLine("Date/Time: " + Now("%x") + " / " + Now("%X"));
    WriteLine("File Name: " + program);
    WriteLine(std::string(41, '.'));
    NotifyUser("Debug mode Enabled. See file: " + LogFileName);
  }
  WritingHeader = false;
}

void TDebuger::WriteLine(const std::string& text) {
  std::FILE* f = std::fopen(LogFileName.c_str(), "ab");
  if (f == nullptr) return;
  std::string line = Now("%X") + " : " + text + "\r\n";
  std::fwrite(line.data(), 1, line.size(), f);
  std::fclose(f);
}
