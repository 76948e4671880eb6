// The real renomiq-send refusing what it cannot hand over. What it hands over
// reaches the real renomiq in the end-to-end suite (hand_off_e2e.py).
#include "platform/host_io.h"
#include "support/run_process.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace renomiq {
namespace {

using test::TestDir;

class SenderProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.createFiles({"bin/", "many/"});
        const auto program = readHostFile(RENOMIQ_SEND_PATH, std::size_t{1} << 30);
        ASSERT_TRUE(program);
        ASSERT_TRUE(writeHostFileAtomic(dir.host("bin/renomiq-send"), *program, 0755));
    }

    // The real program beside the sender (never started: every case here is refused first).
    void placeProgram()
    {
        const auto program = readHostFile(RENOMIQ_PATH, std::size_t{1} << 30);
        ASSERT_TRUE(program);
        ASSERT_TRUE(writeHostFileAtomic(dir.host("bin/renomiq"), *program, 0755));
    }

    TestDir dir;
};

TEST_F(SenderProcessTest, Failures)
{
    // No renomiq beside the sender: said so, and no hand-off file is left behind.
    test::ProcessResult run = test::runProcess({dir.host("bin/renomiq-send"), "Removpart", dir.host("many")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "renomiq-send: cannot start " + dir.host("bin/renomiq") + ": No such file or directory\n");
    EXPECT_FALSE(dir.exists(".data-home/Corvane/Renomiq/fn000.tmp"));

    placeProgram();
    run = test::runProcess({dir.host("bin/renomiq-send"), "Removpart"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.output.rfind("usage: renomiq-send KEYWORD PATH...\n", 0), 0u) << run.output;

    run = test::runProcess({dir.host("bin/renomiq-send"), "Rename", dir.host("many")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.output.rfind("renomiq-send: unknown keyword 'Rename'\nusage:", 0), 0u) << run.output;

    // Items without a path in the program, each refused with its reason.
    const struct {
        std::string item;
        const char *reason;
    } refused[] = {
        {"sftp://host/x", "not a local path"},
        {dir.host("many/a\\b"), "its path holds a '\\'"},
        {dir.host("many/a\nb"), "its path holds a line break"},
    };
    for (const auto &r : refused) {
        SCOPED_TRACE(r.reason);
        run = test::runProcess({dir.host("bin/renomiq-send"), "Removpart", r.item});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.output, "renomiq-send: left out " + r.item + " (" + r.reason + ")\n"
                              "renomiq-send: no item to hand over\n");
        EXPECT_FALSE(dir.exists(".data-home/Corvane/Renomiq/fn000.tmp"));
    }
}

} // namespace
} // namespace renomiq
