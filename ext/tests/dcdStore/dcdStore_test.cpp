#include "dcdStore/ZephraDcdManager.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "extCommon/extModuleType.h"
#include "support/fifoDirectory.h"
#include "support/logCapture.h"
#include "support/scopedEnv.h"
#include "support/scopedTempDir.h"

namespace {

using vnx::ZephraDcdManager;
using vnx::testsupport::FifoDirectory;
using vnx::testsupport::LogCapture;

// The GUID a manual device with the 8-byte id 01 02 ... 08 has.
vnx_DomainGuid_s manualGuid()
{
    vnx_DomainGuid_s guid = {};
    guid.deviceType = VNX_TYPE_MANUAL_DEVICE;
    guid.domainType = VNX_TYPE_MANUAL_DOMAIN;
    for (uint8_t i = 0; i < 8; ++i) {
        guid.id[i] = static_cast<uint8_t>(i + 1);
    }
    return guid;
}

// A DCD block of `size` bytes (the size field says so) with a pattern that
// `seed` makes distinct.
std::vector<uint8_t> dcdBytes(uint16_t size, uint8_t seed)
{
    std::vector<uint8_t> bytes(std::max<size_t>(size, 264));
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(seed + i * 7);
    }
    std::memcpy(bytes.data(), &size, sizeof size);
    return bytes;
}

const vnx_dcdData_s* asDcd(const std::vector<uint8_t>& bytes)
{
    return reinterpret_cast<const vnx_dcdData_s*>(bytes.data());
}

std::string pathOf(const vnx_DomainGuid_s& guid)
{
    char path[ZephraDcdManager::kPathSize];
    EXPECT_TRUE(ZephraDcdManager::createPath(guid, path));
    return path;
}

class DcdStoreTest : public ::testing::Test
{
  protected:
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    FifoDirectory dir_;
    ScopedEnv dcdPath_{"VNX_DCD_PATH", dir_.path().c_str()};
    std::string file_ = pathOf(manualGuid());
    LogCapture log_{"sys", "ZephraDcdManager", vnx::log::INFO};
};

TEST_F(DcdStoreTest, FileIsNamedAfterTheGuidWordsInTheStoreDirectory)
{
    EXPECT_EQ(file_, dir_.path() + "/00740075-04030201-08070605-00000000-1.dcd");

    // Byte 15 is the high byte of the fourth little-endian word.
    vnx_DomainGuid_s other = manualGuid();
    other.id[11] = 0xA5;
    EXPECT_EQ(pathOf(other), dir_.path() + "/00740075-04030201-08070605-A5000000-1.dcd");
}

TEST(DcdStorePath, DefaultDirectoryIsTmp)
{
    ScopedEnv unset("VNX_DCD_PATH", nullptr);
    EXPECT_EQ(pathOf(manualGuid()), "/tmp/00740075-04030201-08070605-00000000-1.dcd");
}

TEST(DcdStorePath, APathThatDoesNotFitIsRefusedNotCut)
{
    // 255 characters exactly still fit; one more does not.
    const std::string name = "/00740075-04030201-08070605-00000000-1.dcd";
    const std::string fits = "/" + std::string(255 - name.size() - 1, 'd');
    char path[ZephraDcdManager::kPathSize];
    {
        ScopedEnv dir("VNX_DCD_PATH", fits.c_str());
        EXPECT_TRUE(ZephraDcdManager::createPath(manualGuid(), path));
        EXPECT_EQ(std::strlen(path), 255u);
    }
    ScopedEnv dir("VNX_DCD_PATH", (fits + "d").c_str());
    EXPECT_FALSE(ZephraDcdManager::createPath(manualGuid(), path));
    const auto dcd = dcdBytes(260, 1);
    EXPECT_EQ(ZephraDcdManager::writeDcd(manualGuid(), asDcd(dcd)), -2);
    std::vector<uint8_t> buffer(260, 0xEE);
    size_t size = 99;
    EXPECT_EQ(
        ZephraDcdManager::readDcd(manualGuid(), reinterpret_cast<vnx_dcdData_s*>(buffer.data()), 260, &size),
        2);
    EXPECT_EQ(size, 99u);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 4), std::vector<uint8_t>(4, 0));
}

TEST_F(DcdStoreTest, AFullSizeRecordIsWrittenExactlyAndReadBack)
{
    const auto dcd = dcdBytes(260, 3);
    ASSERT_EQ(ZephraDcdManager::writeDcd(manualGuid(), asDcd(dcd)), 0);
    EXPECT_TRUE(log_.contains("Saving DCD to: " + file_ + ", 260"));
    EXPECT_EQ(readFileBytes(file_), std::vector<uint8_t>(dcd.begin(), dcd.begin() + 260));
    struct stat status = {};
    ASSERT_EQ(stat(file_.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(entries().size(), 1u);

    std::vector<uint8_t> buffer(260, 0);
    size_t size = 0;
    EXPECT_EQ(
        ZephraDcdManager::readDcd(manualGuid(), reinterpret_cast<vnx_dcdData_s*>(buffer.data()), 260, &size),
        0);
    EXPECT_TRUE(log_.contains("Reading DCD from: " + file_));
    EXPECT_EQ(size, 260u);
    EXPECT_EQ(buffer, std::vector<uint8_t>(dcd.begin(), dcd.begin() + 260));

    // A smaller record replaces the file whole.
    const auto small = dcdBytes(184, 9);
    ASSERT_EQ(ZephraDcdManager::writeDcd(manualGuid(), asDcd(small)), 0);
    EXPECT_EQ(readFileBytes(file_), std::vector<uint8_t>(small.begin(), small.begin() + 184));
}

TEST_F(DcdStoreTest, ARecordAboveTheLargestSizeOrNoneIsRefused)
{
    const auto previous = dcdBytes(260, 5);
    ASSERT_EQ(ZephraDcdManager::writeDcd(manualGuid(), asDcd(previous)), 0);
    log_.clear();
    const auto tooLarge = dcdBytes(261, 6);
    EXPECT_EQ(ZephraDcdManager::writeDcd(manualGuid(), asDcd(tooLarge)), -2);
    EXPECT_EQ(ZephraDcdManager::writeDcd(manualGuid(), nullptr), -2);
    EXPECT_EQ(log_.texts(), (std::vector<std::string>{"Invalid DCD", "Invalid DCD"}));
    EXPECT_EQ(log_.lines()[0].level, vnx::log::WARN);
    EXPECT_EQ(readFileBytes(file_), std::vector<uint8_t>(previous.begin(), previous.begin() + 260));
}

TEST_F(DcdStoreTest, AStoreDirectoryThatCannotTakeFilesIsDenied)
{
    ScopedEnv missing("VNX_DCD_PATH", (dir_.path() + "/missing").c_str());
    const std::string path = pathOf(manualGuid());
    const auto dcd = dcdBytes(260, 1);
    EXPECT_EQ(ZephraDcdManager::writeDcd(manualGuid(), asDcd(dcd)), -1014);
    EXPECT_TRUE(log_.contains("Unable to save DCD to " + path));
}

TEST_F(DcdStoreTest, AFailedWriteLeavesThePreviousFileAndNoTemporaryFile)
{
    const auto previous = dcdBytes(260, 11);
    ASSERT_EQ(ZephraDcdManager::writeDcd(manualGuid(), asDcd(previous)), 0);
    const auto next = dcdBytes(260, 12);
    // In a child process, files may grow to 100 bytes only: the temporary
    // file is made, then the write fails part-way.
    EXPECT_EXIT(
        {
            struct rlimit limit = {};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 100;
            setrlimit(RLIMIT_FSIZE, &limit);
            std::signal(SIGXFSZ, SIG_IGN);
            _exit(ZephraDcdManager::writeDcd(manualGuid(), asDcd(next)) == 2 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFileBytes(file_), std::vector<uint8_t>(previous.begin(), previous.begin() + 260));
    EXPECT_EQ(entries(), std::vector<std::string>{"00740075-04030201-08070605-00000000-1.dcd"});
}

TEST_F(DcdStoreTest, ALinkAtTheNameIsReplacedAndItsTargetLeftAlone)
{
    const std::string target = dir_ / "elsewhere";
    const std::vector<uint8_t> untouched = {1, 2, 3};
    writeFileBytes(target, untouched);
    ASSERT_EQ(symlink(target.c_str(), file_.c_str()), 0);

    const auto dcd = dcdBytes(260, 4);
    ASSERT_EQ(ZephraDcdManager::writeDcd(manualGuid(), asDcd(dcd)), 0);
    EXPECT_EQ(readFileBytes(target), untouched);
    struct stat status = {};
    ASSERT_EQ(lstat(file_.c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
    EXPECT_EQ(readFileBytes(file_), std::vector<uint8_t>(dcd.begin(), dcd.begin() + 260));
}

TEST_F(DcdStoreTest, ReadingAnswersAsMissingForAnythingButARegularFile)
{
    struct Case
    {
        const char* what;
        std::function<void()> plant;
        size_t zeroed; // leading bytes of the buffer cleared
    };
    const std::string target = dir_ / "target";
    writeFileBytes(target, std::vector<uint8_t>(260, 0x5A));
    const Case cases[] = {
        {"missing", [] {}, 4},
        {"empty", [&] { writeFileBytes(file_, {}); }, 2}, // the size field only
        {"fifo", [&] { mkfifo(file_.c_str(), 0600); }, 4},
        {"link", [&] { symlink(target.c_str(), file_.c_str()); }, 4},
        {"directory", [&] { mkdir(file_.c_str(), 0700); }, 4},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(file_);
        c.plant();
        std::vector<uint8_t> buffer(260, 0xEE);
        size_t size = 77;
        // A FIFO without a writer would block a plain open for ever.
        EXPECT_EQ(ZephraDcdManager::readDcd(manualGuid(), reinterpret_cast<vnx_dcdData_s*>(buffer.data()),
                                            260, &size),
                  2)
            << c.what;
        EXPECT_EQ(size, 77u) << c.what;
        EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + c.zeroed),
                  std::vector<uint8_t>(c.zeroed, 0))
            << c.what;
        EXPECT_EQ(buffer[c.zeroed], 0xEE) << c.what;
    }
}

TEST_F(DcdStoreTest, ReadingAFileLongerThanTheCapacityGivesItsFirstBytes)
{
    std::vector<uint8_t> content(300);
    for (size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<uint8_t>(i);
    }
    writeFileBytes(file_, content);
    std::vector<uint8_t> buffer(300, 0xEE);
    size_t size = 0;
    EXPECT_EQ(
        ZephraDcdManager::readDcd(manualGuid(), reinterpret_cast<vnx_dcdData_s*>(buffer.data()), 260, &size),
        0);
    EXPECT_EQ(size, 260u);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 260),
              std::vector<uint8_t>(content.begin(), content.begin() + 260));
    EXPECT_EQ(buffer[260], 0xEE);
}

} // namespace
