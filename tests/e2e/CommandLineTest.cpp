// The switches for scripts: Quorvale.exe /erase [<log file>] and /shred <file>..., with their exit codes.
#include "e2e/EraseRunTestSupport.h"

class CommandLineTest : public EraseRunTest {
protected:
    std::string Joined(const std::vector<std::string>& lines) {
        std::string text;
        for (const auto& line : lines) {
            text += line + "\r\n";
        }
        return text;
    }
};

TEST_F(CommandLineTest, EraseRunsUnattendedWritesItsLogAndTellsByItsExitCodeWhetherEverythingWent) {
    SetUpApp(OptionsWithOnly({{"Windows", "TempFolder"}}, "SecurityLevel=DoD\r\n"));
    WriteFileText(sandbox_->Temp() + "\\one.tmp", std::string(1000, 'a'));
    const std::string log = app_->Folder() + "\\run.log";
    EXPECT_EQ(RunToEnd(*app_, {"/erase", log}), 0u);
    std::vector<std::string> expected = Row("Erasing Temptory Files Directory ...", {FilesLine(1, 1000)});
    expected.push_back("All tasks finished successfully.");
    expected.push_back(SummaryLine(0, 1, 1000));
    EXPECT_EQ(ReadFileText(log), Joined(expected));
    EXPECT_FALSE(FileExists(sandbox_->Temp() + "\\one.tmp"));

    // A file held by another program: the run ends with 1 and its log names the file.
    const std::string held = sandbox_->Temp() + "\\held.tmp";
    WriteFileText(held, "held");
    FileHandle holder(
        CreateFileW(WidePath(held).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_EQ(RunToEnd(*app_, {"/ERASE", log}), 1u);
    holder.reset();
    EXPECT_NE(ReadFileText(log).find("Not erased: " + held + " (in use by another program)\r\nAll tasks finished"),
              std::string::npos)
        << ReadFileText(log);
    EXPECT_EQ(ReadFileText(held), "held");

    // A log file that cannot be written: nothing is erased, and the exit code says the run did not start.
    WriteFileText(sandbox_->Temp() + "\\kept.tmp", "kept");
    EXPECT_EQ(RunToEnd(*app_, {"/erase", app_->Folder() + "\\no such folder\\run.log"}), 2u);
    EXPECT_TRUE(FileExists(sandbox_->Temp() + "\\kept.tmp"));
}

TEST_F(CommandLineTest, WhileAnotherCopyRunsASwitchChangesNothingAndEndsWithThree) {
    SetUpApp(OptionsWithOnly({{"Windows", "TempFolder"}}));
    WriteFileText(sandbox_->Temp() + "\\kept.tmp", "kept");
    StartApp();
    QuorvaleApp second(OptionsWithOnly({{"Windows", "TempFolder"}}));
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"/erase"}, std::vector<std::string>{"/shred", sandbox_->Temp() + "\\kept.tmp"}}) {
        EXPECT_EQ(RunToEnd(second, arguments), 3u) << arguments.front();
        EXPECT_EQ(second.FindWindowOf(L"#32770", "Information"), nullptr) << "a script's call shows no box";
    }
    EXPECT_TRUE(FileExists(sandbox_->Temp() + "\\kept.tmp"));
    EXPECT_TRUE(app_->Running());
}

TEST_F(CommandLineTest, ShredShredsTheNamedFilesAndEndsWithOneWhenOneCouldNotBe) {
    SetUpApp(OptionsWithOnly({}, "SecurityLevel=DoD\r\n"));
    const std::string first = sandbox_->Temp() + "\\first.doc";
    const std::string second = sandbox_->Temp() + "\\second.doc";
    WriteFileText(first, "secret one");
    WriteFileText(second, "secret two");
    EXPECT_EQ(RunToEnd(*app_, {"/shred", first, sandbox_->Temp() + "\\missing.doc"}), 1u);
    EXPECT_FALSE(FileExists(first));
    EXPECT_EQ(RunToEnd(*app_, {"/shred", second}), 0u);
    EXPECT_FALSE(FileExists(second));

    // A switch called wrongly says how to call it and ends at once, erasing nothing.
    WriteFileText(sandbox_->Temp() + "\\kept.tmp", "kept");
    EXPECT_EQ(RunToEnd(*app_, {"/shred"}), 2u);
    EXPECT_EQ(RunToEnd(*app_, {"/erase", "one.log", "two.log"}), 2u);
    EXPECT_TRUE(FileExists(sandbox_->Temp() + "\\kept.tmp"));
}
