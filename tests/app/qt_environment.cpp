// One QApplication for the whole test program, made before the first test
// and kept to the end; the program's folder points at a temporary folder so
// the layout file and the report folders of the window land there.

#include <QApplication>
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "toolkit/program_info.h"

namespace {

class TQtEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
    folder_ = std::make_unique<test::TempDir>();
    SetProgramPath(folder_->File("velloran"));
  }
  void TearDown() override {
    SetProgramPath("");
    folder_.reset();
    app_.reset();
  }

 private:
  int argc_ = 1;
  char name_[16] = "app_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
  std::unique_ptr<test::TempDir> folder_;
};

[[maybe_unused]] testing::Environment* const kQtEnvironment =
    testing::AddGlobalTestEnvironment(new TQtEnvironment);

}  // namespace
