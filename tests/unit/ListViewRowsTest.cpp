// Report-style list views in a real window of this process: cells longer than the first read.
#include "ui/ListViewRows.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

class ListViewRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 400, 300, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(list_, nullptr);
        AddListViewColumn(list_, 0, "Name", 200);
        AddListViewColumn(list_, 1, "Result", 100);
    }
    void TearDown() override { DestroyWindow(list_); }
    HWND list_ = nullptr;
};

TEST_F(ListViewRowsTest, LongAndNonAsciiTextIsReadWhole) {
    std::string longPath = "C:\\" + std::string(2000, 'd') + "\\\xE6\x97\xA5\xE6\x9C\xAC.txt";
    AppendListViewRow(list_, {longPath, " "});
    EXPECT_EQ(ListViewCell(list_, 0, 0), longPath);
}

TEST_F(ListViewRowsTest, ATickSetOnARowOfASortedListStaysWithThatRow) {
    SetWindowLongPtrW(list_, GWL_STYLE, GetWindowLongPtrW(list_, GWL_STYLE) | LVS_SORTASCENDING);
    AddListViewStyles(list_, LVS_EX_CHECKBOXES);
    for (const char* name : {"Zeta", "Alpha", "Mid"}) {
        int row = AppendListViewRow(list_, {name, std::string(name) + " traces"});
        ASSERT_GE(row, 0);
        SetListViewRowChecked(list_, row, std::string(name) != "Mid");
    }
    ASSERT_EQ(ListViewRowCount(list_), 3);
    const char* expected[][2] = {{"Alpha", "1"}, {"Mid", "0"}, {"Zeta", "1"}};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(ListViewCell(list_, row, 0), expected[row][0]);
        EXPECT_EQ(ListViewCell(list_, row, 1), std::string(expected[row][0]) + " traces");
        EXPECT_EQ(IsListViewRowChecked(list_, row), expected[row][1][0] == '1') << expected[row][0];
    }
    SetListViewRowChecked(list_, 0, false);
    EXPECT_FALSE(IsListViewRowChecked(list_, 0));
}

} // namespace
