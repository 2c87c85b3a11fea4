// The dialog base's routing of notifications, and the recording fakes' behaviour where the
// Windows tests pin down what the real controls do (dialog tests rely on the two agreeing).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeUi.h"
#include "ui/Dialog.h"

namespace odr::test {
namespace {

class CommandDialog : public ui::Dialog {
  public:
    CommandDialog() : Dialog(1) {}
    std::vector<int> commands;
    void OnCommand(int id) override { commands.push_back(id); }
};

TEST(UiDialogTest, OnlyClicksGoOnToOnCommand) {
    CommandDialog dialog;
    for (ui::Notify code :
         {ui::Notify::DoubleClicked, ui::Notify::SelectionChanged, ui::Notify::EditChanged,
          ui::Notify::FocusGained, ui::Notify::FocusLost}) {
        dialog.OnNotify(1101, code);
    }
    dialog.OnAccelerator(1101);
    EXPECT_TRUE(dialog.commands.empty());
    dialog.OnNotify(1116, ui::Notify::Clicked);
    EXPECT_EQ(std::vector<int>{1116}, dialog.commands);
}

TEST(UiFakesTest, DropListSelectionRules) {
    FakeDropList drop;
    for (const char* text : {"10", "1", "Normal"}) drop.Add(text);
    EXPECT_TRUE(drop.SelectText("1"));
    EXPECT_EQ(1, drop.Selection());
    EXPECT_FALSE(drop.SelectText("normal"));  // exact text only; selection stays
    EXPECT_EQ(1, drop.Selection());
    EXPECT_FALSE(drop.Select(3));  // past the end: no selection
    EXPECT_EQ(-1, drop.Selection());
    EXPECT_EQ("", drop.SelectedText());
}

TEST(UiFakesTest, RangesKeepTheirPositionInside) {
    FakeTrackbar slider;
    slider.SetRange(60, 1500);
    slider.SetPosition(2000);
    EXPECT_EQ(1500, slider.Position());
    slider.SetPosition(10);
    EXPECT_EQ(60, slider.Position());
    FakeProgressBar bar;
    bar.SetRange(0, 100);
    bar.SetPosition(150);
    EXPECT_EQ(100, bar.Position());
}

TEST(UiFakesTest, ListViewInsertsAtTheEndForLargeIndices) {
    FakeListView list;
    EXPECT_EQ(0, list.InsertRow(5, {"a", "1"}, 7));
    EXPECT_EQ(0, list.InsertRow(0, {"b"}, 8));
    EXPECT_EQ(7, list.RowRef(1));
    EXPECT_EQ("", list.Cell(0, 1));
    EXPECT_EQ(0, list.RowRef(2));
}

TEST(UiFakesTest, PendingMessagesKeptOrRemovedAndPostsRecorded) {
    FakeWindow window;
    window.pending[ui::Pending::KeyDown] = {ui::kKeyF1};
    int key = 0;
    ASSERT_TRUE(window.PeekPending(ui::Pending::KeyDown, &key));
    EXPECT_EQ(ui::kKeyF1, key);
    EXPECT_TRUE(window.DispatchPending(ui::Pending::KeyDown, false));
    EXPECT_TRUE(window.DispatchPending(ui::Pending::KeyDown, true));
    EXPECT_FALSE(window.DispatchPending(ui::Pending::KeyDown, true));
    EXPECT_FALSE(window.PeekPending(ui::Pending::Paint, nullptr));
    EXPECT_EQ((std::vector<std::string>{"key 112 kept", "key 112"}), window.dispatched);

    ui::Poster post = window.MakePoster(0x040A);
    post();
    EXPECT_EQ(std::vector<unsigned>{0x040A}, window.posted);
}

}  // namespace
}  // namespace odr::test
