// The board's files on a full disk (a small tmpfs as the board folder): acquisition fails with
// its text, never with a signal, both through play over the bridge and through the kernel
// driver's open. Skipped where a tmpfs cannot be mounted.

#include "hcl/KernelDriver.h"
#include "support/PlayProcess.h"
#include "support/SelfWorker.h"
#include "support/TempFolder.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

using ::testing::HasSubstr;

// A tmpfs of 1 MiB mounted on a folder of its own, unmounted again (before the folder goes).
class SmallDisk {
public:
    explicit SmallDisk(const std::string& folder) : m_Folder(folder) {
        m_Mounted = !folder.empty() &&
                    ::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m") == 0;
        m_Error = m_Mounted ? 0 : errno;
    }
    ~SmallDisk() {
        if (m_Mounted) {
            ::umount2(m_Folder.c_str(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return m_Mounted; }
    const char* Why() const { return std::strerror(m_Error); }

    // Takes every block that is left.
    void Fill() const {
        const int fd = ::open((m_Folder + "/fill").c_str(), O_WRONLY | O_CREAT, 0600);
        const char block[512] = {};
        while (fd >= 0 && ::write(fd, block, sizeof block) > 0) {
        }
        while (fd >= 0 && ::write(fd, block, 1) > 0) {
        }
        ::close(fd);
    }

private:
    std::string m_Folder;
    bool m_Mounted = false;
    int m_Error = 0;
};

// Opened in a worker of its own, with Q3VSIM_DIR on the small disk: a signal would end the
// worker, which then does not pass.
TEST(FullDiskWorker, DISABLED_KernelDriverOpenFails) {
    oxDrvResetForTesting();
    std::uintptr_t linear = 0;
    std::uint32_t size = 0;
    EXPECT_FALSE(oxDrvMapBoard(0, &linear, &size));
    oxDrvResetForTesting();
}

TEST(FullDisk, AcquisitionFailsWithItsTextAndNoSignal) {
    if (!q3vtest::PlayIsBuilt()) {
        GTEST_SKIP() << "play is not built in " << Q3V_BINARY_DIR;
    }
    const struct {
        const char* Name;
        bool FullBeforeStart; // else: room for the lock file, none for the board's state
    } cases[] = {
        {"room for the lock file only", false},
        {"full before start", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        q3vtest::TempFolder temp("q3v-fulldisk");
        const std::string folder = temp.File("disk");
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        const SmallDisk disk(folder);
        if (!disk.Mounted()) {
            GTEST_SKIP() << "no tmpfs can be mounted here: " << disk.Why();
        }
        if (c.FullBeforeStart) {
            disk.Fill();
        }
        const q3vtest::PlayRun run = q3vtest::RunPlay(folder, "w16 1000 1234");
        EXPECT_EQ(run.Code, 1) << run.Output;
        EXPECT_THAT(run.Output, HasSubstr("ERROR: Unable to locate the USB adapter\n"));

        const q3vtest::WorkerRun worker =
            q3vtest::RunSelfWorker("FullDiskWorker.DISABLED_KernelDriverOpenFails",
                                   "Q3VSIM_DIR=" + folder, temp.File("worker.log"));
        EXPECT_TRUE(worker.Passed) << worker.Output;
    }
}

} // namespace
