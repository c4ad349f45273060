// The message buffer: bytes appended at the end and consumed from the front,
// the capacity grown to exactly what is needed.

#include "containers/MessageBuffer.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/extLibraries.h"
#include "support/logCapture.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes held(const vnx::MessageBuffer& buffer)
{
    return Bytes(buffer.data(), buffer.data() + buffer.size());
}

Bytes counting(size_t count, unsigned char first = 0)
{
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<unsigned char>(first + i);
    }
    return bytes;
}

class MessageBufferTest : public ::testing::Test
{
  protected:
    vnx::testsupport::ExtLibraries libraries_;
};

TEST_F(MessageBufferTest, GrowsToExactlyWhatAnAppendNeeds)
{
    vnx::testsupport::LogCapture capture(&vnx::MessageBuffer::logger(), vnx::log::INFO);
    vnx::MessageBuffer full;
    const Bytes first = counting(2048);
    full.append(first.data(), 2048);
    EXPECT_EQ(full.capacity(), 2048u);
    EXPECT_TRUE(capture.texts().empty());

    vnx::MessageBuffer buffer;
    const Bytes big = counting(3000, 7);
    buffer.append(big.data(), 3000);
    EXPECT_EQ(buffer.capacity(), 3000u);
    EXPECT_EQ(held(buffer), big);
    buffer.append(big.data(), 1);
    EXPECT_EQ(buffer.capacity(), 3001u) << "no growth factor";
    EXPECT_EQ(capture.texts(), (std::vector<std::string>{"Growing capacity to 3000 bytes",
                                                         "Growing capacity to 3001 bytes"}));

    // Consumed room is used again; the capacity never shrinks.
    ASSERT_TRUE(buffer.shift(2001));
    buffer.append(big.data(), 2000);
    EXPECT_EQ(buffer.capacity(), 3001u);
    EXPECT_EQ(buffer.size(), 3000u);
}

TEST_F(MessageBufferTest, ShiftDropsFromTheFront)
{
    const Bytes six = {1, 2, 3, 4, 5, 6};
    struct Case
    {
        int count;
        bool answer;
        Bytes left;
    };
    const Case cases[] = {
        {2, true, {3, 4, 5, 6}}, {0, true, six},   {-1, true, six},
        {6, true, {}},           {7, false, {}},   {5, true, {6}},
    };
    for (const Case& c : cases) {
        vnx::MessageBuffer buffer;
        buffer.append(six.data(), 6);
        EXPECT_EQ(buffer.shift(c.count), c.answer) << c.count;
        EXPECT_EQ(held(buffer), c.left) << c.count;
    }

    vnx::MessageBuffer three;
    three.append(six.data(), 3);
    vnx::testsupport::LogCapture capture(&vnx::MessageBuffer::logger(), vnx::log::INFO);
    EXPECT_FALSE(three.shift(5));
    EXPECT_EQ(three.size(), 0u);
    EXPECT_EQ(capture.texts(), std::vector<std::string>{"Not enough data to do shift, just clear"});
}

TEST_F(MessageBufferTest, ANegativeOrEmptyAppendChangesNothing)
{
    vnx::MessageBuffer buffer;
    const Bytes bytes = counting(10);
    buffer.append(bytes.data(), 10);
    buffer.append(bytes.data(), -5);
    buffer.append(bytes.data(), 0);
    buffer.append(nullptr, 4);
    EXPECT_EQ(held(buffer), bytes);
    EXPECT_EQ(buffer.capacity(), 2048u);
}

TEST_F(MessageBufferTest, AStreamCutAnywhereIsReassembledIntoItsMessages)
{
    // Length-prefixed messages of 1 to 3000 bytes arrive in chunks of any
    // size; the reader takes each message once it is whole.
    std::mt19937 random(29);
    Bytes stream;
    std::vector<Bytes> sent;
    for (int i = 0; i < 400; ++i) {
        const size_t length = 1 + random() % 3000;
        Bytes message = counting(length, static_cast<unsigned char>(random()));
        stream.push_back(static_cast<unsigned char>(length & 0xFF));
        stream.push_back(static_cast<unsigned char>(length >> 8));
        stream.insert(stream.end(), message.begin(), message.end());
        sent.push_back(std::move(message));
    }

    vnx::MessageBuffer buffer;
    std::vector<Bytes> received;
    for (size_t at = 0; at < stream.size();) {
        const size_t chunk = std::min<size_t>(1 + random() % 700, stream.size() - at);
        buffer.append(stream.data() + at, static_cast<int>(chunk));
        at += chunk;
        while (buffer.size() >= 2) {
            const size_t length = buffer.data()[0] | size_t{buffer.data()[1]} << 8;
            if (buffer.size() < 2 + length) {
                break;
            }
            received.emplace_back(buffer.data() + 2, buffer.data() + 2 + length);
            ASSERT_TRUE(buffer.shift(static_cast<int>(2 + length)));
        }
    }
    EXPECT_EQ(received, sent);
    EXPECT_EQ(buffer.size(), 0u);
    EXPECT_LE(buffer.capacity(), 3002u + 700u);
}

#if defined(__SANITIZE_ADDRESS__)
#define KIN_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KIN_ADDRESS_SANITIZER 1
#endif
#endif

#ifndef KIN_ADDRESS_SANITIZER
/// Address space in use by this process, in bytes.
size_t addressSpaceInUse()
{
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    statm >> pages;
    return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

/// In a child process: `bytes` appended with too little address space left
/// to grow; exits 0 when the buffer still holds `before` and the failure was
/// logged.
[[noreturn]] void appendUnderALimit(vnx::MessageBuffer& buffer, const unsigned char* bytes, int count,
                                    const Bytes& before, const vnx::testsupport::LogCapture& capture)
{
    const rlimit limit = {addressSpaceInUse() + 64 * 1024 * 1024, RLIM_INFINITY};
    setrlimit(RLIMIT_AS, &limit);
    buffer.append(bytes, count);
    const bool kept = held(buffer) == before && buffer.capacity() == 2048u;
    const std::vector<std::string> texts = capture.texts();
    const bool logged = texts.size() == 2 && texts[1] == "Cannot grow to " + std::to_string(before.size() + count) +
                                                             " bytes: " + std::to_string(count) + " bytes dropped";
    std::_Exit(kept && logged ? 0 : 1);
}
#endif

TEST_F(MessageBufferTest, WhenGrowingFailsTheHeldBytesStay)
{
#ifdef KIN_ADDRESS_SANITIZER
    GTEST_SKIP() << "the sanitizer's allocator does not fail under an address-space limit";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    vnx::MessageBuffer buffer;
    const Bytes start = counting(100);
    buffer.append(start.data(), 100);
    // More than the address space left to the child below.
    constexpr int kHuge = 256 * 1024 * 1024;
    unsigned char* huge = static_cast<unsigned char*>(std::malloc(kHuge));
    ASSERT_NE(huge, nullptr);
    vnx::testsupport::LogCapture capture(&vnx::MessageBuffer::logger(), vnx::log::INFO);
    EXPECT_EXIT(appendUnderALimit(buffer, huge, kHuge, start, capture), ::testing::ExitedWithCode(0), "");
    std::free(huge);
#endif
}

} // namespace
