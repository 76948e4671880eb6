// The real renomiq-send: copied beside a stand-in renomiq that records how it
// was started and what hand-off file it found.
#include "platform/host_io.h"
#include "support/run_process.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>

namespace renomiq {
namespace {

using test::TestDir;

class SenderProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.createFiles({"bin/", "many/"});
        const auto program = readHostFile(RENOMIQ_SEND_PATH);
        ASSERT_TRUE(program);
        ASSERT_TRUE(writeHostFileAtomic(dir.host("bin/renomiq-send"), *program, 0755));
    }

    void writeStandIn()
    {
        test::writeScript(dir.host("bin/renomiq"),
                          "printf '%s\\n' \"$@\" > \"$0.args\"\n"
                          "cp \"$XDG_DATA_HOME/Corvane/Renomiq/fn000.tmp\" \"$0.handoff\"\n");
    }

    TestDir dir;
};

TEST_F(SenderProcessTest, TwentyThousandItemsReachTheProgram)
{
    writeStandIn();
    std::vector<std::string> command{dir.host("bin/renomiq-send"), "Replapart"};
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "f%05d.jpg", i);
        // Every tenth item comes as a URI, as Dolphin sends remote-capable selections.
        if (i % 10 == 0)
            command.push_back("file://" + dir.host("many/") + "IMG%20" + name);
        else
            command.push_back(dir.host("many/") + name);
        expected += std::string("T:\\many\\") + (i % 10 == 0 ? "IMG " : "") + name + "\r\n";
    }
    const test::ProcessResult run = test::runProcess(command);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(dir.readFile("bin/renomiq.args"), "Replapart\n");
    const std::string handOff = dir.readFile("bin/renomiq.handoff");
    EXPECT_EQ(handOff.size(), expected.size());
    EXPECT_TRUE(handOff == expected) << handOff.substr(0, 200);
    // The data folder holds the hand-off file alone: no temporary file is left.
    EXPECT_EQ(dir.list(".data-home/Corvane/Renomiq"), (std::vector<std::string>{"fn000.tmp"}));
}

TEST_F(SenderProcessTest, RelativeItemsAndAFolderToSave)
{
    writeStandIn();
    dir.createFiles({"music/"});
    const test::ProcessResult run =
        test::runProcess({dir.host("bin/renomiq-send"), "Savealls", "music"}, dir.host(""));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(dir.readFile("bin/renomiq.args"), "Savealls\n");
    EXPECT_EQ(dir.readFile("bin/renomiq.handoff"), "T:\\music\r\n");
}

TEST_F(SenderProcessTest, Failures)
{
    // No renomiq beside the sender: said so, and no hand-off file is left behind.
    test::ProcessResult run = test::runProcess({dir.host("bin/renomiq-send"), "Removpart", dir.host("many")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "renomiq-send: cannot start " + dir.host("bin/renomiq") + ": No such file or directory\n");
    EXPECT_FALSE(dir.exists(".data-home/Corvane/Renomiq/fn000.tmp"));

    writeStandIn();
    run = test::runProcess({dir.host("bin/renomiq-send"), "Removpart"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.output.rfind("usage: renomiq-send KEYWORD PATH...\n", 0), 0u) << run.output;

    run = test::runProcess({dir.host("bin/renomiq-send"), "Rename", dir.host("many")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.output.rfind("renomiq-send: unknown keyword 'Rename'\nusage:", 0), 0u) << run.output;

    run = test::runProcess({dir.host("bin/renomiq-send"), "Removpart", "sftp://host/x"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "renomiq-send: left out sftp://host/x (not a local path)\n"
                          "renomiq-send: no item to hand over\n");
    EXPECT_FALSE(dir.exists("bin/renomiq.args"));
}

} // namespace
} // namespace renomiq
