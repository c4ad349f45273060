#include "device/packetQueue.h"
#include "support/allocationCounter.h"

#include <atomic>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Long enough for a thread that would not block to have finished.
constexpr auto settle = 50ms;

class PacketQueue : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(packetQueueInitSync(&queue), 0);
        ASSERT_EQ(packetQueueInit(&queue), 0);
    }
    void TearDown() override
    {
        packetQueueClose(&queue);
        packetQueueDestroySync(&queue);
    }

    std::vector<int*> contents()
    {
        std::vector<int*> items;
        for (packetQueueNode* node = queue.head; node != nullptr; node = node->next) {
            items.push_back(static_cast<int*>(node->item));
        }
        return items;
    }

    packetQueue queue{};
    int items[8] = {0, 1, 2, 3, 4, 5, 6, 7};
};

TEST_F(PacketQueue, BothEndsKeepTheirOrder)
{
    struct Case
    {
        const char* name;
        int (*push)(packetQueue*, void*);
        void* (*pop)(packetQueue*);
        bool reversed;
    } cases[] = {
        {"back to front", packetQueuePushBack, packetQueuePopFront, false},
        {"front to back", packetQueuePushFront, packetQueuePopBack, false},
        {"back to back", packetQueuePushBack, packetQueuePopBack, true},
        {"front to front", packetQueuePushFront, packetQueuePopFront, true},
    };
    for (const Case& c : cases) {
        for (int& item : items) {
            ASSERT_EQ(c.push(&queue, &item), 0) << c.name;
        }
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(c.pop(&queue), &items[c.reversed ? 7 - i : i]) << c.name << " item " << i;
        }
        EXPECT_EQ(queue.head, nullptr) << c.name;
        EXPECT_EQ(queue.tail, nullptr) << c.name;
    }
}

TEST_F(PacketQueue, LinksStayConsistentWhenBothEndsAreUsed)
{
    packetQueuePushBack(&queue, &items[1]);
    packetQueuePushFront(&queue, &items[0]);
    packetQueuePushBack(&queue, &items[2]);
    EXPECT_EQ(contents(), (std::vector<int*>{&items[0], &items[1], &items[2]}));
    EXPECT_EQ(packetQueuePopBack(&queue), &items[2]);
    EXPECT_EQ(queue.tail->next, nullptr);
    EXPECT_EQ(packetQueuePopFront(&queue), &items[0]);
    EXPECT_EQ(queue.head->previous, nullptr);
    EXPECT_EQ(queue.head, queue.tail);
    EXPECT_EQ(packetQueuePopFront(&queue), &items[1]);
    EXPECT_EQ(queue.head, nullptr);
}

TEST_F(PacketQueue, NullArgumentsAreRefusedAndChangeNothing)
{
    packetQueuePushBack(&queue, &items[0]);
    EXPECT_EQ(packetQueuePushBack(&queue, nullptr), 1);
    EXPECT_EQ(packetQueuePushFront(&queue, nullptr), 1);
    EXPECT_EQ(packetQueuePushBack(nullptr, &items[1]), 1);
    EXPECT_EQ(packetQueuePushFront(nullptr, &items[1]), 1);
    EXPECT_EQ(packetQueuePopFront(nullptr), nullptr);
    EXPECT_EQ(packetQueuePopBack(nullptr), nullptr);
    EXPECT_EQ(packetQueueForEach(nullptr, [](void*) {}), 1);
    EXPECT_EQ(packetQueueForEach(&queue, nullptr), 1);
    EXPECT_EQ(packetQueueInit(nullptr), 1);
    EXPECT_EQ(packetQueueInitSync(nullptr), 1);
    packetQueueClose(nullptr);
    packetQueueDestroySync(nullptr);
    EXPECT_EQ(contents(), (std::vector<int*>{&items[0]}));
}

TEST_F(PacketQueue, PopOnEmptyQueueWaitsForThePush)
{
    auto popped = std::async(std::launch::async, [this] { return packetQueuePopFront(&queue); });
    EXPECT_EQ(popped.wait_for(settle), std::future_status::timeout);
    ASSERT_EQ(packetQueuePushBack(&queue, &items[3]), 0);
    EXPECT_EQ(popped.get(), &items[3]);
}

TEST_F(PacketQueue, CloseReleasesWaitingPopsAndRefusesLaterPushes)
{
    auto front = std::async(std::launch::async, [this] { return packetQueuePopFront(&queue); });
    auto back = std::async(std::launch::async, [this] { return packetQueuePopBack(&queue); });
    EXPECT_EQ(front.wait_for(settle), std::future_status::timeout);
    packetQueueClose(&queue);
    EXPECT_EQ(front.get(), nullptr);
    EXPECT_EQ(back.get(), nullptr);
    EXPECT_EQ(packetQueuePushBack(&queue, &items[0]), 1);
    EXPECT_EQ(packetQueuePushFront(&queue, &items[0]), 1);
    EXPECT_EQ(packetQueuePopFront(&queue), nullptr);
    EXPECT_EQ(packetQueueForEach(&queue, [](void*) {}), 1);
    EXPECT_EQ(queue.head, nullptr);
}

TEST_F(PacketQueue, CloseFreesNodesButLeavesItemsToTheirOwner)
{
    std::vector<int*> owned;
    for (int i = 0; i < 4; ++i) {
        owned.push_back(new int(i));
        packetQueuePushBack(&queue, owned.back());
    }
    packetQueueClose(&queue);
    EXPECT_EQ(queue.head, nullptr);
    EXPECT_EQ(queue.tail, nullptr);
    EXPECT_EQ(queue.closed, 1);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(*owned[i], i); // still alive: the sanitizer build would catch a free
        delete owned[i];
    }
}

std::atomic<int> walkedSum{0};

TEST_F(PacketQueue, ForEachVisitsFrontToBackAndKeepsTheItems)
{
    static std::vector<int> order;
    order.clear();
    for (int i = 0; i < 5; ++i) {
        packetQueuePushBack(&queue, &items[i]);
    }
    EXPECT_EQ(packetQueueForEach(&queue, [](void* item) { order.push_back(*static_cast<int*>(item)); }), 0);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(contents().size(), 5u);
    EXPECT_EQ(queue.walkers, 0u);
}

TEST_F(PacketQueue, ForEachOnEmptyQueueWaitsForAnItem)
{
    walkedSum = 0;
    auto walk = std::async(std::launch::async, [this] {
        return packetQueueForEach(&queue, [](void* item) { walkedSum += *static_cast<int*>(item); });
    });
    EXPECT_EQ(walk.wait_for(settle), std::future_status::timeout);
    packetQueuePushBack(&queue, &items[6]);
    EXPECT_EQ(walk.get(), 0);
    EXPECT_EQ(walkedSum, 6);
}

TEST_F(PacketQueue, ForEachOnEmptyQueueEndsWhenTheQueueCloses)
{
    auto walk = std::async(std::launch::async, [this] { return packetQueueForEach(&queue, [](void*) {}); });
    EXPECT_EQ(walk.wait_for(settle), std::future_status::timeout);
    packetQueueClose(&queue);
    EXPECT_EQ(walk.get(), 1);
}

std::promise<void>* walkEntered = nullptr;
std::shared_future<void>* walkMayEnd = nullptr;

TEST_F(PacketQueue, WritersWaitWhileAWalkIsInProgress)
{
    std::promise<void> entered;
    std::promise<void> mayEnd;
    std::shared_future<void> mayEndFuture = mayEnd.get_future().share();
    walkEntered = &entered;
    walkMayEnd = &mayEndFuture;
    packetQueuePushBack(&queue, &items[0]);

    auto walk = std::async(std::launch::async, [this] {
        return packetQueueForEach(&queue, [](void*) {
            walkEntered->set_value();
            walkMayEnd->wait();
        });
    });
    entered.get_future().wait();
    auto push = std::async(std::launch::async, [this] { return packetQueuePushBack(&queue, &items[1]); });
    auto pop = std::async(std::launch::async, [this] { return packetQueuePopFront(&queue); });
    EXPECT_EQ(push.wait_for(settle), std::future_status::timeout);
    EXPECT_EQ(pop.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
    mayEnd.set_value();
    EXPECT_EQ(walk.get(), 0);
    EXPECT_EQ(push.get(), 0);
    EXPECT_NE(pop.get(), nullptr);
}

TEST_F(PacketQueue, PushWhileAllocationsFailLeavesTheQueueUnchanged)
{
    packetQueuePushBack(&queue, &items[0]);
    int back = 0;
    int front = 0;
    int intoEmpty = 0;
    packetQueue empty{};
    packetQueueInitSync(&empty);
    packetQueueInit(&empty);
    {
        vnx::test::FailingAllocations failing;
        back = packetQueuePushBack(&queue, &items[1]);
        front = packetQueuePushFront(&queue, &items[2]);
        intoEmpty = packetQueuePushBack(&empty, &items[3]);
    }
    EXPECT_EQ(back, 1);
    EXPECT_EQ(front, 1);
    EXPECT_EQ(intoEmpty, 1);
    EXPECT_EQ(contents(), (std::vector<int*>{&items[0]}));
    EXPECT_EQ(empty.head, nullptr);
    packetQueueDestroySync(&empty);
}

TEST_F(PacketQueue, ManyProducersOneConsumerLoseNothing)
{
    constexpr int producers = 4;
    constexpr int perProducer = 5000;
    static int values[producers][perProducer];
    std::vector<std::thread> threads;
    for (int p = 0; p < producers; ++p) {
        threads.emplace_back([this, p] {
            for (int i = 0; i < perProducer; ++i) {
                values[p][i] = p * perProducer + i;
                while (packetQueuePushBack(&queue, &values[p][i]) != 0) {
                }
            }
        });
    }
    // Each producer's items come out in the order it pushed them.
    int next[producers] = {};
    for (int n = 0; n < producers * perProducer; ++n) {
        const int value = *static_cast<int*>(packetQueuePopFront(&queue));
        const int p = value / perProducer;
        ASSERT_EQ(value % perProducer, next[p]);
        ++next[p];
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(queue.head, nullptr);
}

TEST(SharedPacketQueue, IsOneInstance)
{
    EXPECT_NE(sharedPacketQueue(), nullptr);
    EXPECT_EQ(sharedPacketQueue(), sharedPacketQueue());
}

} // namespace
