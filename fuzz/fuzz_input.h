// Hands a fuzz input to code that takes a path.
//
// The readers open files by name, so every input is written into a file
// before it is read. Two kinds of file serve the targets:
//   - TMemoryInput: an anonymous in-memory file (memfd), reached through
//     /proc/self/fd/N. No disk is touched, which keeps the targets fast.
//     Name(ext) gives a link "input<ext>" to it in a private folder, for code
//     that chooses the format by the file name extension.
//   - TFolderInput: a real file in a private temporary folder, for code that
//     writes a temporary file beside its target and renames it over the
//     target (the Ogg rewrite, the attribute store).
// Both private folders go when the process ends normally.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class TMemoryInput {
 public:
  TMemoryInput();
  ~TMemoryInput();
  TMemoryInput(const TMemoryInput&) = delete;
  TMemoryInput& operator=(const TMemoryInput&) = delete;

  // Replaces the file's contents with the input.
  void Set(const uint8_t* data, size_t size);
  // The file through /proc/self/fd.
  const std::string& Path() const { return path_; }
  // A link named "input" + extension in the private folder, made on first use.
  std::string Name(const std::string& extension);

 private:
  int fd_ = -1;
  std::string path_;
  std::string folder_;
};

class TFolderInput {
 public:
  explicit TFolderInput(const std::string& name);
  ~TFolderInput();
  TFolderInput(const TFolderInput&) = delete;
  TFolderInput& operator=(const TFolderInput&) = delete;

  // Writes the input to the file, replacing what an earlier run left there.
  void Set(const uint8_t* data, size_t size);
  const std::string& Path() const { return path_; }
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
  std::string path_;
};

// Stops the run as a finding: used where a target checks a property of the
// result that must hold for every input.
[[noreturn]] void FuzzFinding(const char* what);

// Stops the run when a descriptor of the input file is still open after the
// code under test returned: every reader closes what it opens on every path.
void CheckFilesClosed();

// A duration or other derived real number: finite and not negative.
void CheckReal(double value, const char* what);
