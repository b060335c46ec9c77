// Report-style list views in a real window of this process: rows, cells, selection and check
// boxes as the tool windows use them.
#include "platform/ListViewRows.h"

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

TEST_F(ListViewRowsTest, RowsKeepTheirCellsInOrder) {
    EXPECT_EQ(AppendListViewRow(list_, {"first", " "}), 0);
    EXPECT_EQ(AppendListViewRow(list_, {"second", "Completed"}), 1);
    EXPECT_EQ(ListViewRowCount(list_), 2);
    EXPECT_EQ(ListViewCell(list_, 0, 0), "first");
    EXPECT_EQ(ListViewCell(list_, 0, 1), " ");
    EXPECT_EQ(ListViewCell(list_, 1, 1), "Completed");
    SetListViewCell(list_, 0, 1, "3rd pass");
    EXPECT_EQ(ListViewCell(list_, 0, 1), "3rd pass");
    EXPECT_EQ(ListViewCell(list_, 5, 0), "");
}

TEST_F(ListViewRowsTest, LongAndNonAsciiTextIsReadWhole) {
    std::string longPath = "C:\\" + std::string(2000, 'd') + "\\\xE6\x97\xA5\xE6\x9C\xAC.txt";
    AppendListViewRow(list_, {longPath, " "});
    EXPECT_EQ(ListViewCell(list_, 0, 0), longPath);
}

TEST_F(ListViewRowsTest, SelectionAndDeletion) {
    for (const char* name : {"a", "b", "c"}) {
        AppendListViewRow(list_, {name, " "});
    }
    EXPECT_EQ(ListViewSelectedCount(list_), 0);
    ListView_SetItemState(list_, 1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(ListViewSelectedCount(list_), 1);
    EXPECT_TRUE(IsListViewRowSelected(list_, 1));
    EXPECT_FALSE(IsListViewRowSelected(list_, 0));
    DeleteListViewRow(list_, 1);
    EXPECT_EQ(ListViewRowCount(list_), 2);
    EXPECT_EQ(ListViewCell(list_, 1, 0), "c");
}

TEST_F(ListViewRowsTest, CheckBoxesStartUncheckedAndReadBack) {
    AddListViewStyles(list_, LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES);
    EXPECT_EQ(ListView_GetExtendedListViewStyle(list_) & (LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES),
              static_cast<DWORD>(LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES));
    AppendListViewRow(list_, {" (Q:)", "1 Bytes", "2 Bytes"});
    AppendListViewRow(list_, {" (R:)", "1 Bytes", "2 Bytes"});
    EXPECT_FALSE(IsListViewRowChecked(list_, 0));
    ListView_SetCheckState(list_, 1, TRUE);
    EXPECT_FALSE(IsListViewRowChecked(list_, 0));
    EXPECT_TRUE(IsListViewRowChecked(list_, 1));
    FocusListViewRow(list_, 1);
    EXPECT_EQ(ListView_GetNextItem(list_, -1, LVNI_FOCUSED), 1);
}

} // namespace
