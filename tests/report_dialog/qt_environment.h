// The widget tests' shared state: the messages the program meant to show
// the user, in the order they came.
#pragma once

#include <string>
#include <vector>

namespace test {

std::vector<std::string>& UserMessages();

}  // namespace test
