#include <gtest/gtest.h>

#include <string>

#include "editor/EditHistory.h"

using qp::EditHistory;

namespace {

// A stand-in for the editor's state: a position and a message.
struct State {
    int x = 0;
    std::string text;
    bool operator==(const State&) const = default;
};

}  // namespace

TEST(EditHistory, UndoAndRedoWalkTheStepsBothWays) {
    EditHistory<State> history({0, ""});
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.undo());
    history.record({1, ""});
    history.record({2, ""});
    history.record({2, "hi"});

    EXPECT_EQ(history.undo(), (State{2, ""}));
    EXPECT_EQ(history.undo(), (State{1, ""}));
    EXPECT_EQ(history.redo(), (State{2, ""}));
    EXPECT_EQ(history.redo(), (State{2, "hi"}));
    EXPECT_FALSE(history.redo());
    EXPECT_EQ(history.current(), (State{2, "hi"}));
    EXPECT_EQ(history.undoCount(), 3u);
}

TEST(EditHistory, ANewStepDropsWhatCouldBeRedone) {
    EditHistory<State> history({0, ""});
    history.record({1, ""});
    history.record({2, ""});
    ASSERT_TRUE(history.undo());
    history.record({5, ""});
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.undo(), (State{1, ""}));
    EXPECT_EQ(history.undo(), (State{0, ""}));
}

TEST(EditHistory, AStepThatChangedNothingIsNoStep) {
    EditHistory<State> history({3, "a"});
    history.record({3, "a"});
    history.recordTyping({3, "a"});
    EXPECT_FALSE(history.canUndo());
    // Nor does it drop the redo side.
    history.record({4, "a"});
    ASSERT_TRUE(history.undo());
    history.record({3, "a"});
    EXPECT_TRUE(history.canRedo());
}

TEST(EditHistory, KeepsTheNewestStepsUpToItsCapacity) {
    EditHistory<State> history({0, ""}, 50);
    for (int i = 1; i <= 60; ++i) history.record({i, ""});
    EXPECT_EQ(history.undoCount(), 50u);
    std::optional<State> last;
    while (auto state = history.undo()) last = state;
    EXPECT_EQ(last, (State{10, ""}));  // the ten oldest went
    EXPECT_EQ(history.redoCount(), 50u);
}

TEST(EditHistory, TheEditorKeepsAtLeastFiftySteps) {
    EXPECT_GE(qp::kEditHistoryCapacity, 50u);
}

TEST(EditHistory, TypingInARowIsOneStep) {
    EditHistory<State> history({0, ""});
    history.recordTyping({0, "h"});
    history.recordTyping({0, "he"});
    history.recordTyping({0, "hey"});
    EXPECT_EQ(history.undoCount(), 1u);
    EXPECT_EQ(history.undo(), (State{0, ""}));
    EXPECT_EQ(history.redo(), (State{0, "hey"}));

    // After a redo, another step or closeTyping, typing starts a new step.
    history.recordTyping({0, "hey!"});
    EXPECT_EQ(history.undoCount(), 2u);
    history.closeTyping();
    history.recordTyping({0, "hey!!"});
    EXPECT_EQ(history.undoCount(), 3u);
    history.record({1, "hey!!"});
    history.recordTyping({1, "x"});
    EXPECT_EQ(history.undoCount(), 5u);
    EXPECT_EQ(history.undo(), (State{1, "hey!!"}));
}

TEST(EditHistory, AmendMovesTheStartOfTheNextStepOnly) {
    EditHistory<State> history({0, ""});
    history.record({1, ""});
    history.amend({1, "pivot"});  // not a step
    EXPECT_EQ(history.undoCount(), 1u);
    history.record({2, "pivot"});
    EXPECT_EQ(history.undo(), (State{1, "pivot"}));
    EXPECT_EQ(history.undo(), (State{0, ""}));
}

TEST(EditHistory, ResetForgetsEveryStep) {
    EditHistory<State> history({0, ""});
    history.record({1, ""});
    history.record({2, ""});
    ASSERT_TRUE(history.undo());
    history.reset({9, "new photo"});
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.current(), (State{9, "new photo"}));
    // Typing right after a reset is a step of its own, not merged away.
    history.recordTyping({9, "x"});
    EXPECT_EQ(history.undo(), (State{9, "new photo"}));
}
