// One QApplication for the whole test program, made before the first test
// and kept to the end. The preview's browser engine runs without its
// sandbox (tests run as root) and without a GPU; messages meant for the
// user are collected instead of shown in a box that would wait for a click.

#include "report_dialog/qt_environment.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

#include "toolkit/program_info.h"

namespace test {

std::vector<std::string>& UserMessages() {
  static std::vector<std::string> messages;
  return messages;
}

namespace {

void SetIfUnset(const char* name, const char* value) {
  if (qEnvironmentVariableIsEmpty(name)) qputenv(name, value);
}

class TQtEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    SetIfUnset("QT_QPA_PLATFORM", "offscreen");
    SetIfUnset("QTWEBENGINE_DISABLE_SANDBOX", "1");
    SetIfUnset("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    app_ = std::make_unique<QApplication>(argc_, argv_);
    SetMessageNotifier([](const std::string& message) { UserMessages().push_back(message); });
  }
  void TearDown() override {
    SetMessageNotifier(nullptr);
    app_.reset();
  }

 private:
  int argc_ = 1;
  char name_[24] = "report_dialog_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] testing::Environment* const kQtEnvironment = testing::AddGlobalTestEnvironment(new TQtEnvironment);

}  // namespace

}  // namespace test
