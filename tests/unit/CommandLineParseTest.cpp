// What the program makes of its arguments before it does anything: the shredder window's switch
// beside the script switches it must not be taken for.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

TEST(ParseCommand, TheShredderSwitchOpensTheWindowWithAnyNumberOfFiles) {
    const Strings cases[] = {{"/shredder"}, {"/shredder", "C:\\a.txt"}, {"/SHREDDER", "C:\\a.txt", "b.txt"}};
    for (const Strings& arguments : cases) {
        const std::optional<CommandRequest> request = ParseCommand(arguments);
        ASSERT_TRUE(request) << arguments.front();
        EXPECT_EQ(request->kind, CommandRequest::ShredderWindow) << arguments.size();
        EXPECT_EQ(request->paths, Strings(arguments.begin() + 1, arguments.end()));
    }
}

TEST(ParseCommand, TheShredSwitchIsStillTheScriptsAndNearNamesAreUnknown) {
    const std::optional<CommandRequest> shred = ParseCommand({"/shred", "C:\\a.txt"});
    ASSERT_TRUE(shred);
    EXPECT_EQ(shred->kind, CommandRequest::Shred);
    for (const char* near : {"/shredders", "/shredde", "-shredder"}) {
        const std::optional<CommandRequest> request = ParseCommand({near, "C:\\a.txt"});
        ASSERT_TRUE(request) << near;
        EXPECT_EQ(request->kind, CommandRequest::UnknownSwitch) << near;
    }
    EXPECT_NE(std::string(kUsageText).find("Quorvale.exe /shredder [<file>...]"), std::string::npos);
}

} // namespace
