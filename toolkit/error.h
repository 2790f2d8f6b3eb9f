#pragma once

#include <stdexcept>
#include <string>

// The one error type of the program. It carries the message text that the
// user interface shows in a message box (the command-line tool prints it).
// Readers never throw it for malformed content; it is for failures the user
// must hear of, such as a report file that cannot be written.
class TVelloranError : public std::runtime_error {
 public:
  explicit TVelloranError(const std::string& message) : std::runtime_error(message) {}
};
