// The switches for scripts: Quorvale.exe /erase [<log file>] and /shred <file>..., with their exit codes,
// and what the program answers to /? and to a switch it does not know.
#include "app/CommandLine.h"
#include "e2e/EraseRunTestSupport.h"

#include <algorithm>

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
    const std::string written = ReadFileText(log);
    const size_t finished = written.find("All tasks finished successfully.\r\n");
    ASSERT_NE(finished, std::string::npos) << written;
    EXPECT_NE(written.find("\r\nNot erased: " + held + " (in use by another program)\r\n", finished), std::string::npos)
        << "the list follows the run's closing lines:\n"
        << written;
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

TEST_F(CommandLineTest, AHeldFileOfThirtyIsListedWholeInTheLogFileAndCountedInTheWindowsBox) {
    SetUpApp(OptionsWithOnly({{"Windows", "TempFolder"}}));
    std::vector<FileHandle> holders;
    std::vector<std::string> held;
    for (int i = 0; i < 30; ++i) {
        held.push_back(sandbox_->Temp() + "\\held" + std::to_string(i) + ".tmp");
        WriteFileText(held.back(), "held");
        holders.emplace_back(CreateFileW(WidePath(held.back()).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holders.back()) << held.back();
    }
    const auto listed = [&](const std::string& text, const std::string& file) {
        return text.find("Not erased: " + file + " (in use") != std::string::npos;
    };

    // The window: the box adds how many, the log shows the first twenty and says where the rest is.
    StartApp();
    ASSERT_TRUE(app_->PressButton("Erase"));
    const std::string box = TakeRunEndBox(*app_);
    EXPECT_EQ(box, SummaryLine(0, 0, 0) + "\r\n30 entries were not erased: the log lists them.");
    const std::vector<std::string> lines = app_->LogLines();
    const std::string shown = Joined(lines);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.rfind("Not erased: ", 0) == 0; }),
              20);
    EXPECT_NE(shown.find("All tasks finished successfully.\r\n" + SummaryLine(0, 0, 0) + "\r\nNot erased: "),
              std::string::npos)
        << shown;
    EXPECT_EQ(lines.back(), "... and 10 more (Quorvale.exe /erase <log file> writes the whole list)");
    ASSERT_TRUE(app_->Close());

    // The log file of /erase: every one of the thirty, and no line of how many more.
    const std::string log = app_->Folder() + "\\run.log";
    EXPECT_EQ(RunToEnd(*app_, {"/erase", log}), 1u);
    const std::string written = ReadFileText(log);
    for (const std::string& file : held) {
        EXPECT_TRUE(listed(written, file)) << file << " is missing from\n" << written;
    }
    EXPECT_EQ(written.find("... and"), std::string::npos) << written;
    EXPECT_NE(written.find("All tasks finished successfully.\r\n" + SummaryLine(0, 0, 0) + "\r\nNot erased: "),
              std::string::npos)
        << written;
}

// Runs the copy's program with the arguments to its end, its output captured; fails the test when it
// does not end by itself (a window nobody sees would keep it running).
class CommandLineAnswerTest : public CommandLineTest {
protected:
    struct Answer {
        DWORD exitCode = STILL_ACTIVE;
        std::string output;
    };
    Answer Ask(const std::vector<std::string>& arguments) {
        Answer answer;
        app_->Start(arguments);
        if (!app_->WaitExit(kRunTimeoutMs)) {
            ADD_FAILURE() << arguments.front() << " did not end the program by itself";
            app_->Kill();
            return answer;
        }
        std::string commandLine = "\"" + app_->Folder() + "\\Quorvale.exe\"";
        for (const std::string& argument : arguments) {
            commandLine += " \"" + argument + "\"";
        }
        answer.output = RunAndCapture(commandLine, kRunTimeoutMs, &answer.exitCode);
        EXPECT_EQ(answer.exitCode, app_->ExitCode()) << arguments.front();
        return answer;
    }
    static std::string UsageOutput() { return std::string(kUsageText) + "\r\n" + kExitCodesText + "\r\n"; }
};

TEST_F(CommandLineAnswerTest, HelpSwitchesPrintTheUsageAndEndWithZero) {
    SetUpApp(OptionsWithOnly({{"Windows", "TempFolder"}}));
    WriteFileText(sandbox_->Temp() + "\\kept.tmp", "kept");
    for (const char* help : {"/?", "-h", "/help", "/HELP"}) {
        const Answer answer = Ask({help});
        EXPECT_EQ(answer.exitCode, 0u) << help;
        EXPECT_EQ(answer.output, UsageOutput()) << help;
    }
    EXPECT_TRUE(FileExists(sandbox_->Temp() + "\\kept.tmp"));
}

TEST_F(CommandLineAnswerTest, AnUnknownSwitchIsNamedWithTheUsageAndEndsWithTwo) {
    SetUpApp(OptionsWithOnly({{"Windows", "TempFolder"}}));
    WriteFileText(sandbox_->Temp() + "\\kept.tmp", "kept");
    for (const char* unknown : {"/erse", "-erase", "/startup2", "-"}) {
        const Answer answer = Ask({unknown, "run.log"});
        EXPECT_EQ(answer.exitCode, 2u) << unknown;
        EXPECT_EQ(answer.output, "Unknown switch " + std::string(unknown) + "\r\n" + UsageOutput()) << unknown;
    }
    EXPECT_TRUE(FileExists(sandbox_->Temp() + "\\kept.tmp"));
}
