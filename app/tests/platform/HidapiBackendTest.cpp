#include "platform/HidapiBackend.h"

#include <QTemporaryFile>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

namespace {

// A stand-in for the library that records what the backend hands it.
struct Shim
{
    static inline std::vector<std::vector<unsigned char>> written;
    static inline int writeResult = 0; ///< 0: the whole buffer
    static inline std::vector<unsigned char> nextReport;
    static inline int readResult = 0; ///< returned when nextReport is empty
    static inline int closes = 0;
    static inline int exits = 0;
    static inline hid_device* device = reinterpret_cast<hid_device*>(&closes);

    static HidapiFunctions functions()
    {
        HidapiFunctions f = HidapiFunctions::library();
        f.init = [] { return 0; };
        f.exit = [] { return ++exits, 0; };
        f.openPath = [](const char*) { return device; };
        f.write = [](hid_device*, const unsigned char* data, size_t length) {
            written.emplace_back(data, data + length);
            return writeResult != 0 ? writeResult : static_cast<int>(length);
        };
        f.readTimeout = [](hid_device*, unsigned char* data, size_t length, int) {
            if (nextReport.empty()) {
                return readResult;
            }
            const size_t n = std::min(length, nextReport.size());
            std::copy_n(nextReport.begin(), n, data);
            return static_cast<int>(n);
        };
        f.close = [](hid_device*) { ++closes; };
        return f;
    }

    static void reset()
    {
        written.clear();
        writeResult = 0;
        nextReport.clear();
        readResult = 0;
        closes = 0;
        exits = 0;
    }
};

class HidapiBackendShim : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        Shim::reset();
        ASSERT_TRUE(node.open());
        ASSERT_EQ(backend.open(node.fileName().toStdString(), handle), HidOpenResult::Opened);
    }

    QTemporaryFile node; ///< an openable path standing for /dev/hidrawN
    HidapiBackend backend{Shim::functions()};
    HidDeviceHandle handle = kHidNoDevice;
};

TEST_F(HidapiBackendShim, OutputReportGoesOutBehindReportIdZero)
{
    std::vector<uint8_t> report(32);
    for (size_t i = 0; i < report.size(); ++i) {
        report[i] = static_cast<uint8_t>(0xA0 + i);
    }
    EXPECT_EQ(backend.write(handle, report.data(), report.size()), 32);
    ASSERT_EQ(Shim::written.size(), 1u);
    ASSERT_EQ(Shim::written[0].size(), 33u);
    EXPECT_EQ(Shim::written[0][0], 0x00);
    EXPECT_TRUE(std::equal(report.begin(), report.end(), Shim::written[0].begin() + 1));
}

TEST_F(HidapiBackendShim, WriteSucceedsWhenTheReportBodyWentOut)
{
    const uint8_t report[32] = {0x55, 0xAA};
    struct
    {
        int libraryResult;
        int expected;
    } cases[] = {{33, 32}, {32, 32}, {31, kHidRemoved}, {-1, kHidRemoved}};
    for (const auto& c : cases) {
        Shim::writeResult = c.libraryResult;
        EXPECT_EQ(backend.write(handle, report, sizeof report), c.expected)
            << "hidapi wrote " << c.libraryResult;
    }
}

TEST_F(HidapiBackendShim, BadWritesNeverReachTheLibrary)
{
    const uint8_t report[kHidReportSize + 1] = {};
    EXPECT_EQ(backend.write(handle, nullptr, 32), kHidRefused);
    EXPECT_EQ(backend.write(handle, report, 0), kHidRefused);
    EXPECT_EQ(backend.write(handle, report, sizeof report), kHidRefused);
    EXPECT_EQ(backend.write(handle + 100, report, 32), kHidRemoved);
    EXPECT_TRUE(Shim::written.empty());
}

TEST_F(HidapiBackendShim, ReadCopiesAtMostTheCallersLength)
{
    Shim::nextReport.assign(64, 0);
    for (size_t i = 0; i < 64; ++i) {
        Shim::nextReport[i] = static_cast<unsigned char>(i);
    }
    uint8_t buffer[64] = {};
    EXPECT_EQ(backend.read(handle, buffer, 24, 100), 24);
    EXPECT_EQ(buffer[23], 23);
    EXPECT_EQ(buffer[24], 0);
    EXPECT_EQ(backend.read(handle, buffer, 64, 100), 64);
    EXPECT_EQ(buffer[63], 63);
}

TEST_F(HidapiBackendShim, ReadResultsOfTheLibraryMapToTimeoutAndRemoval)
{
    uint8_t buffer[64];
    Shim::readResult = 0;
    EXPECT_EQ(backend.read(handle, buffer, sizeof buffer, 100), kHidTimedOut);
    Shim::readResult = -1;
    EXPECT_EQ(backend.read(handle, buffer, sizeof buffer, 100), kHidRemoved);
    EXPECT_EQ(backend.read(handle, nullptr, 64, 100), kHidRefused);
    backend.close(handle);
    EXPECT_EQ(Shim::closes, 1);
    EXPECT_EQ(backend.read(handle, buffer, sizeof buffer, 100), kHidRemoved);
    backend.close(handle); // a second close does nothing
    EXPECT_EQ(Shim::closes, 1);
}

TEST(HidapiBackend, OpenTellsAMissingDeviceFromAnUnopenableOne)
{
    HidapiBackend backend;
    HidDeviceHandle handle = 7;
    EXPECT_EQ(backend.open("/dev/hidraw-none-such", handle), HidOpenResult::NotFound);
    EXPECT_EQ(handle, kHidNoDevice);
    EXPECT_EQ(backend.open("", handle), HidOpenResult::NotFound);

    if (geteuid() == 0) {
        GTEST_SKIP() << "root opens any file: a permission refusal cannot be shown";
    }
    QTemporaryFile locked;
    ASSERT_TRUE(locked.open());
    std::filesystem::permissions(locked.fileName().toStdString(), std::filesystem::perms::none);
    EXPECT_EQ(backend.open(locked.fileName().toStdString(), handle), HidOpenResult::PermissionDenied);
}

TEST(HidapiBackend, LibraryEnumeratesOnlyWhatPassesTheFilter)
{
    HidapiBackend backend;
    bool anyHidraw = false;
    if (std::filesystem::exists("/dev")) {
        for (const auto& entry : std::filesystem::directory_iterator("/dev")) {
            anyHidraw = anyHidraw || entry.path().filename().string().rfind("hidraw", 0) == 0;
        }
    }
    const std::vector<HidDeviceInfo> all = backend.enumerate(0, 0, 0, 0);
    if (!anyHidraw) {
        EXPECT_TRUE(all.empty());
    }
    for (const HidDeviceInfo& device : backend.enumerate(0x1234, 0, 0, 0)) {
        EXPECT_EQ(device.vendorId, 0x1234);
    }
}

TEST(HidDeviceMatches, ZeroMatchesAnything)
{
    const HidDeviceInfo device{"/dev/hidraw0", 0x1111, 0x2222, 0xFF00, 1};
    struct
    {
        int vendor, product, page, usage;
        bool matches;
    } cases[] = {{0, 0, 0, 0, true},       {0x1111, 0, 0, 0, true},  {0x1111, 0x2222, 0xFF00, 1, true},
                 {0x1112, 0, 0, 0, false}, {0, 0x2223, 0, 0, false}, {0, 0, 0xFF01, 0, false},
                 {0, 0, 0, 2, false},      {-1, -1, -1, -1, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(hidDeviceMatches(device, c.vendor, c.product, c.page, c.usage), c.matches)
            << c.vendor << " " << c.product << " " << c.page << " " << c.usage;
    }
}

} // namespace
