// The file handle container: every change forwarded to its listener, the
// whole set replayed to a listener on request.

#include "containers/FileHandleContainer.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

/// Records what it is told; answers `answer`.
class RecordingListener : public vnx::FileHandleListenerInterface
{
  public:
    bool addFileHandle(int fd, uint16_t events) override
    {
        calls.push_back("add " + std::to_string(fd) + " " + std::to_string(events));
        return answer;
    }
    bool removeFileHandle(int fd) override
    {
        calls.push_back("remove " + std::to_string(fd));
        return answer;
    }

    std::vector<std::string> calls;
    bool answer = true;
};

using Calls = std::vector<std::string>;

std::vector<int> fds(const vnx::FileHandleContainer& container)
{
    std::vector<int> list;
    for (const auto& entry : container.entries()) {
        list.push_back(entry.fd);
    }
    return list;
}

TEST(FileHandleContainer, ChangesAreKeptAndForwardedWithTheListenersAnswer)
{
    vnx::FileHandleContainer container;
    EXPECT_TRUE(container.addFileHandle(3, 1)) << "no listener: true";
    RecordingListener listener;
    container.setFileHandleListener(&listener);
    EXPECT_TRUE(listener.calls.empty()) << "nothing replayed";

    listener.answer = false;
    EXPECT_FALSE(container.addFileHandle(4, 1));
    EXPECT_FALSE(container.addFileHandle(3, 4));
    listener.answer = true;
    EXPECT_TRUE(container.removeFileHandle(9)) << "never added, still forwarded";
    EXPECT_EQ(listener.calls, (Calls{"add 4 1", "add 3 4", "remove 9"}));
    EXPECT_EQ(fds(container), (std::vector<int>{3, 4, 3}));

    // Only the first entry of a duplicated fd goes.
    EXPECT_TRUE(container.removeFileHandle(3));
    EXPECT_EQ(fds(container), (std::vector<int>{4, 3}));
    EXPECT_EQ(container.entries()[1].events, 4);

    container.setFileHandleListener(nullptr);
    EXPECT_TRUE(container.removeFileHandle(4));
    EXPECT_EQ(listener.calls.size(), 4u);
    EXPECT_EQ(fds(container), (std::vector<int>{3}));
}

TEST(FileHandleContainer, AnotherListenerIsToldTheWholeSetInOrder)
{
    vnx::FileHandleContainer container;
    container.addFileHandle(4, 1);
    container.addFileHandle(7, 5);
    RecordingListener late;
    container.notifyAdd(&late);
    container.notifyRemove(&late);
    EXPECT_EQ(late.calls, (Calls{"add 4 1", "add 7 5", "remove 4", "remove 7"}));
    EXPECT_EQ(fds(container), (std::vector<int>{4, 7})) << "telling changes nothing";
    container.notifyAdd(nullptr);
}

} // namespace
