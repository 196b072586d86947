#include "host/win32/close_rules.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

constexpr CursorPos kStart{400, 300};

CloseRules full_screen() {
    CloseRules rules(true);
    rules.record_cursor(kStart);
    return rules;
}

TEST(CloseRules, KeysAndButtonsCloseTheFullScreenSaver) {
    for (FrameInput input : {FrameInput::KeyDown, FrameInput::ButtonDown}) {
        CloseRules rules = full_screen();
        EXPECT_EQ(rules.on_input(input, kStart), Verdict::RequestClose);
        EXPECT_TRUE(rules.closing());
    }
}

TEST(CloseRules, MouseMovesCloseOnlyOffTheRecordedPosition) {
    CloseRules rules = full_screen();
    // The platform reports moves without motion (window shown, cursor hidden).
    EXPECT_EQ(rules.on_input(FrameInput::MouseMove, kStart), Verdict::PassOn);
    EXPECT_FALSE(rules.closing());
    EXPECT_EQ(rules.on_input(FrameInput::MouseMove, {401, 300}), Verdict::RequestClose);

    CloseRules up = full_screen();
    EXPECT_EQ(up.on_input(FrameInput::MouseMove, {400, 299}), Verdict::RequestClose);
}

TEST(CloseRules, DeactivationClosesOnlyWithTheCursorAway) {
    CloseRules rules = full_screen();
    EXPECT_EQ(rules.on_input(FrameInput::Deactivate, kStart), Verdict::PassOn);
    EXPECT_EQ(rules.on_input(FrameInput::Activate, {0, 0}), Verdict::PassOn);
    EXPECT_FALSE(rules.closing());
    EXPECT_EQ(rules.on_input(FrameInput::Deactivate, {0, 0}), Verdict::RequestClose);
}

TEST(CloseRules, OneCloseRequestThenNothingReachesTheSaver) {
    CloseRules rules = full_screen();
    EXPECT_TRUE(rules.reaches_saver(MessageKind::Timer));
    EXPECT_TRUE(rules.reaches_saver(MessageKind::Paint));
    ASSERT_EQ(rules.on_input(FrameInput::KeyDown, kStart), Verdict::RequestClose);
    // The simulation window passes each input on twice; the second must not post again.
    EXPECT_EQ(rules.on_input(FrameInput::KeyDown, kStart), Verdict::PassOn);
    EXPECT_EQ(rules.on_input(FrameInput::MouseMove, {0, 0}), Verdict::PassOn);
    for (MessageKind kind : {MessageKind::Timer, MessageKind::Paint, MessageKind::Input, MessageKind::Activation})
        EXPECT_FALSE(rules.reaches_saver(kind));
    // Creation, destruction and the close itself still get through.
    EXPECT_TRUE(rules.reaches_saver(MessageKind::Other));
}

TEST(CloseRules, PreviewNeverClosesOnInput) {
    CloseRules rules(false);
    rules.record_cursor(kStart);
    for (FrameInput input :
         {FrameInput::KeyDown, FrameInput::ButtonDown, FrameInput::MouseMove, FrameInput::Deactivate})
        EXPECT_EQ(rules.on_input(input, {0, 0}), Verdict::PassOn);
    EXPECT_FALSE(rules.closing());
    EXPECT_TRUE(rules.reaches_saver(MessageKind::Input));
    EXPECT_EQ(rules.on_system_command(SystemCommand::Close), Verdict::PassOn);
}

TEST(CloseRules, FullScreenSwallowsCloseScreenSaveAndWindowSwitch) {
    CloseRules rules = full_screen();
    EXPECT_EQ(rules.on_system_command(SystemCommand::Close), Verdict::Swallow);
    EXPECT_EQ(rules.on_system_command(SystemCommand::ScreenSave), Verdict::Swallow);
    EXPECT_EQ(rules.on_system_command(SystemCommand::WindowSwitch), Verdict::Swallow);
    EXPECT_EQ(rules.on_system_command(SystemCommand::Other), Verdict::PassOn);
    EXPECT_FALSE(rules.closing());
}

}  // namespace
}  // namespace orvex
