#include "toolkit/program_info.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::vector<std::string>& Arguments() {
  static std::vector<std::string> arguments;
  return arguments;
}

std::string& PathOverride() {
  static std::string path;
  return path;
}

TMessageNotifier& Notifier() {
  static TMessageNotifier notifier;
  return notifier;
}

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

}  // namespace

void SetProgramArguments(int argc, const char* const* argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i] != nullptr ? argv[i] : "");
  SetProgramArguments(std::move(args));
}

void SetProgramArguments(std::vector<std::string> arguments) { Arguments() = std::move(arguments); }

const std::vector<std::string>& ProgramArguments() { return Arguments(); }

std::string ProgramPath() {
  if (!PathOverride().empty()) return PathOverride();
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : path.string();
}

void SetProgramPath(const std::string& path) { PathOverride() = path; }

std::string ProgramFolder() {
  std::string path = ProgramPath();
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string WritableFolder() {
  std::string folder = ProgramFolder();
  if (::access(folder.c_str(), W_OK) == 0) return folder;
  std::string base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    base = std::string(home) + "/.local/share";
  } else {
    base = "/tmp";
  }
  std::string own = WithSlash(base) + "velloran/";
  std::error_code ec;
  std::filesystem::create_directories(own, ec);
  return own;
}

void SetMessageNotifier(TMessageNotifier notifier) { Notifier() = std::move(notifier); }

void NotifyUser(const std::string& message) {
  if (Notifier()) {
    Notifier()(message);
  } else {
    std::fprintf(stderr, "%s\n", message.c_str());
  }
}
