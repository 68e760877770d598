#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/system_fakes.h"
#include "tavrin/tavrin.h"

namespace tavrin::test {
namespace {

struct DialogCall {
  HWND owner = nullptr;
  unsigned size = 0;
  const char* answer = nullptr;  // null: the operator cancels
};

bool Answer(HWND owner, char* path, unsigned size, void* user) {
  auto* call = static_cast<DialogCall*>(user);
  call->owner = owner;
  call->size = size;
  std::memset(path, 'z', size);  // what a dialog leaves must not matter unless chosen
  if (call->answer == nullptr) return false;
  std::strncpy(path, call->answer, size);
  return true;
}

class FolderDialogTest : public ::testing::Test {
 protected:
  void TearDown() override { tavrin_set_folder_dialog_handler(nullptr, nullptr); }
  char path_[260] = "before";
};

TEST_F(FolderDialogTest, HandlerAnswersIntoTheBufferAndACancelOrOverlongAnswerLeavesIt) {
  DialogCall call;
  tavrin_set_folder_dialog_handler(&Answer, &call);
  EXPECT_FALSE(lib_DispReferenceDialog(nullptr, path_));
  EXPECT_STREQ("before", path_);
  std::string overlong(300, 'd');
  call.answer = overlong.c_str();
  EXPECT_FALSE(lib_DispReferenceDialog(nullptr, path_));
  EXPECT_STREQ("before", path_);
  EXPECT_FALSE(lib_DispReferenceDialog(nullptr, nullptr));

  call.answer = "C:\\Panel\\Work";
  HWND owner = reinterpret_cast<HWND>(0x1234);
  EXPECT_TRUE(lib_DispReferenceDialog(owner, path_));
  EXPECT_STREQ("C:\\Panel\\Work", path_);
  EXPECT_EQ(owner, call.owner);
  EXPECT_EQ(260u, call.size);
}

TEST_F(FolderDialogTest, PlatformDialogIsTheReferenceDialog) {
  {
    FakeFolderPicker picker("/home/operator/Work Pieces");
    ASSERT_TRUE(picker.Installed());
    EXPECT_TRUE(lib_DispReferenceDialog(nullptr, path_));
    EXPECT_STREQ("/home/operator/Work Pieces", path_);
    EXPECT_TRUE(picker.ShownAsReferenceDialog());
  }
  FakeFolderPicker cancelling(nullptr);
  ASSERT_TRUE(cancelling.Installed());
  EXPECT_FALSE(lib_DispReferenceDialog(nullptr, path_));
  EXPECT_STREQ("/home/operator/Work Pieces", path_);
}

TEST(Shutdown, RequestsTheFourKinds) {
  FakeShutdown system;
  ASSERT_TRUE(system.Installed()) << "the real shutdown must never be reached";
  EXPECT_EQ(1, lib_ShutdownWindows(true, false));
  EXPECT_EQ(1, lib_ShutdownWindows(true, true));
  EXPECT_EQ(1, lib_ShutdownWindows(false, false));
  EXPECT_EQ(1, lib_ShutdownWindows(false, true));
  EXPECT_EQ((std::vector<unsigned>{2, 6, 8, 12}), system.Requests());
  EXPECT_TRUE(system.Released());
}

TEST(Shutdown, EachFailingStepStopsTheRequest) {
  for (const ShutdownStep& step : FakeShutdown::Steps()) {
    FakeShutdown system;
    ASSERT_TRUE(system.Installed()) << "the real shutdown must never be reached";
    system.FailStep(step.name);
    EXPECT_EQ(step.result, lib_ShutdownWindows(false, true)) << step.name;
    EXPECT_TRUE(system.Requests().empty()) << step.name;
    EXPECT_TRUE(system.Released()) << step.name;
  }
}

}  // namespace
}  // namespace tavrin::test
