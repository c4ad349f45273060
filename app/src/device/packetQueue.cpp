#include "device/packetQueue.h"

#include <new>

namespace {

bool isEmpty(const packetQueue* queue)
{
    return queue->head == nullptr;
}

// Waits, holding the lock, until no for-each walk is in progress.
void lockIdle(packetQueue* queue)
{
    pthread_mutex_lock(&queue->mutex);
    while (queue->walkers > 0 && !queue->closed) {
        pthread_cond_wait(&queue->changed, &queue->mutex);
    }
}

// Waits, holding the lock, until the queue holds an item and no walk is in
// progress, or is closed.
void lockNonEmpty(packetQueue* queue)
{
    pthread_mutex_lock(&queue->mutex);
    while ((isEmpty(queue) || queue->walkers > 0) && !queue->closed) {
        pthread_cond_wait(&queue->changed, &queue->mutex);
    }
}

void broadcastAndUnlock(packetQueue* queue)
{
    pthread_cond_broadcast(&queue->itemAvailable);
    pthread_cond_broadcast(&queue->changed);
    pthread_mutex_unlock(&queue->mutex);
}

void insertFirst(packetQueue* queue, packetQueueNode* node)
{
    node->previous = nullptr;
    node->next = nullptr;
    queue->head = node;
    queue->tail = node;
}

enum class End
{
    Front,
    Back
};

// The closed flag is read under the lock only: it is written by another
// thread's close, and an unlocked read of it would be a data race.
int push(packetQueue* queue, void* item, End end)
{
    if (queue == nullptr || item == nullptr) {
        return 1;
    }
    lockIdle(queue);
    int result = 1;
    if (!queue->closed) {
        if (auto* node = new (std::nothrow) packetQueueNode{item, nullptr, nullptr}) {
            if (isEmpty(queue)) {
                insertFirst(queue, node);
            } else if (end == End::Back) {
                node->previous = queue->tail;
                queue->tail->next = node;
                queue->tail = node;
            } else {
                node->next = queue->head;
                queue->head->previous = node;
                queue->head = node;
            }
            result = 0;
        }
    }
    broadcastAndUnlock(queue);
    return result;
}

void* pop(packetQueue* queue, End end)
{
    if (queue == nullptr) {
        return nullptr;
    }
    lockNonEmpty(queue);
    void* item = nullptr;
    if (!queue->closed) {
        packetQueueNode* node = end == End::Front ? queue->head : queue->tail;
        item = node->item;
        if (queue->head == queue->tail) {
            queue->head = nullptr;
            queue->tail = nullptr;
        } else if (end == End::Front) {
            queue->head = node->next;
            queue->head->previous = nullptr;
        } else {
            queue->tail = node->previous;
            queue->tail->next = nullptr;
        }
        delete node;
    }
    broadcastAndUnlock(queue);
    return item;
}

void freeNodes(packetQueue* queue)
{
    packetQueueNode* node = queue->head;
    while (node != nullptr) {
        packetQueueNode* next = node->next;
        delete node;
        node = next;
    }
    queue->head = nullptr;
    queue->tail = nullptr;
}

} // namespace

int packetQueueInitSync(packetQueue* queue)
{
    if (queue == nullptr) {
        return 1;
    }
    if (pthread_mutex_init(&queue->mutex, nullptr) != 0) {
        return 1;
    }
    if (pthread_cond_init(&queue->changed, nullptr) != 0) {
        pthread_mutex_destroy(&queue->mutex);
        return 1;
    }
    if (pthread_cond_init(&queue->itemAvailable, nullptr) != 0) {
        pthread_cond_destroy(&queue->changed);
        pthread_mutex_destroy(&queue->mutex);
        return 1;
    }
    return 0;
}

int packetQueueInit(packetQueue* queue)
{
    if (queue == nullptr) {
        return 1;
    }
    queue->head = nullptr;
    queue->tail = nullptr;
    queue->walkers = 0;
    queue->closed = 0;
    return 0;
}

void packetQueueDestroySync(packetQueue* queue)
{
    if (queue == nullptr) {
        return;
    }
    pthread_cond_destroy(&queue->changed);
    pthread_cond_destroy(&queue->itemAvailable);
    pthread_mutex_destroy(&queue->mutex);
}

int packetQueuePushBack(packetQueue* queue, void* item)
{
    return push(queue, item, End::Back);
}

int packetQueuePushFront(packetQueue* queue, void* item)
{
    return push(queue, item, End::Front);
}

void* packetQueuePopFront(packetQueue* queue)
{
    return pop(queue, End::Front);
}

void* packetQueuePopBack(packetQueue* queue)
{
    return pop(queue, End::Back);
}

int packetQueueForEach(packetQueue* queue, void (*function)(void* item))
{
    if (queue == nullptr || function == nullptr) {
        return 1;
    }
    pthread_mutex_lock(&queue->mutex);
    while (isEmpty(queue) && !queue->closed) {
        pthread_cond_wait(&queue->itemAvailable, &queue->mutex);
    }
    const bool open = !queue->closed;
    ++queue->walkers;
    packetQueueNode* first = queue->head;
    pthread_mutex_unlock(&queue->mutex);

    // Writers wait while the walker count is above zero, so the list stays
    // as it is without the lock.
    if (open) {
        for (packetQueueNode* node = first; node != nullptr; node = node->next) {
            function(node->item);
        }
    }

    pthread_mutex_lock(&queue->mutex);
    if (--queue->walkers == 0) {
        pthread_cond_broadcast(&queue->changed);
    }
    pthread_mutex_unlock(&queue->mutex);
    return open ? 0 : 1;
}

void packetQueueClose(packetQueue* queue)
{
    if (queue == nullptr) {
        return;
    }
    lockIdle(queue);
    if (!queue->closed) {
        freeNodes(queue);
        queue->closed = 1;
    }
    broadcastAndUnlock(queue);
}

packetQueue* sharedPacketQueue()
{
    static packetQueue queue{};
    return &queue;
}
