// Modeless dialogs on the headless backend: built from templates, driven by
// clicks, and the text the game writes on them.
#include <gtest/gtest.h>

#include "platform/display.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "test_support.h"

using namespace platform;
using testing_support::logLines;

namespace {

constexpr ControlTemplate CONTROLS[] = {
    {ControlKind::PushButton, "決定", 42, 60, 10, 40, 12},
    {ControlKind::Radio, "On", 31, 10, 30, 28, 12},
    {ControlKind::Radio, "Off", 32, 10, 42, 28, 12},
    {ControlKind::CheckBox, "check", 51, 10, 60, 80, 12},
};
constexpr DialogTemplate TEMPLATE = {99, "テスト", 120, 90, false, "font", 9, CONTROLS, 4};

int32_t proc(Window* dialog, uint32_t message, uint32_t wParam, uint32_t) {
    if (message == MSG_COMMAND && wParam == static_cast<uint32_t>(IDCANCEL)) endDialog(dialog, 1);
    if (message != MSG_COMMAND || wParam != 42) return 1;
    if (DrawContext* dc = getWindowDC(dialog)) {
        textOut(dc, 10, 152, "預金", 6);
        releaseWindowDC(dialog, dc);
    }
    return 1;
}

}  // namespace

// (Painting, typing and the edit box's eight bytes are the bank tests'.)
TEST(HeadlessDialogs, ControlsTextAndClose) {
    testing_support::GameDir dir;
    Window* dialog = createDialog(TEMPLATE, nullptr, proc);
    ASSERT_NE(dialog, nullptr);
    showDialog(dialog);
    headless::click(dialog, 42);
    EXPECT_EQ(logLines("dialog 99 text"), std::vector<std::string>{"dialog 99 text 10,152 \"預金\""});

    headless::click(dialog, 32);
    EXPECT_EQ(headless::isChecked(dialog, 32), 1);
    EXPECT_EQ(headless::isChecked(dialog, 31), 0);
    checkRadioButton(dialog, 31, 32, 31);
    EXPECT_EQ(headless::isChecked(dialog, 32), 0);
    headless::click(dialog, 51);
    headless::click(dialog, 51);
    EXPECT_EQ(headless::isChecked(dialog, 51), 0);

    // Without a drawing context nothing is written, and nothing breaks.
    failDisplayStep(DisplayStep::GetDC);
    headless::click(dialog, 42);
    EXPECT_EQ(logLines("dialog 99 text").size(), 1u);

    headless::closeDialog(dialog);
    EXPECT_EQ(headless::findDialog(99), nullptr);
    EXPECT_EQ(getWindowDC(dialog), nullptr);  // a closed dialog has no client area
    EXPECT_EQ(logLines("dialog end 99").size(), 1u);
}
