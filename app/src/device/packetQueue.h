#pragma once

// A blocking double-ended queue of untyped item pointers: the reader thread
// pushes receiver packets at the back, the motion thread pops them at the
// front and sleeps while the queue is empty. Closing releases every waiter.
// Every function answers 0 for success and 1 for failure unless it says
// otherwise. The queue owns its nodes, never the items.

#include <cstdint>
#include <pthread.h>

struct packetQueueNode
{
    void* item;
    packetQueueNode* previous;
    packetQueueNode* next;
};

struct packetQueue
{
    packetQueueNode* head;
    packetQueueNode* tail;
    pthread_mutex_t mutex;
    pthread_cond_t changed;       ///< writers and poppers wait here; signalled on every change
    pthread_cond_t itemAvailable; ///< for-each walkers wait here while the queue is empty
    uint32_t walkers;             ///< for-each walks in progress
    int32_t closed;               ///< 1 once closed
};

/// Initialises the mutex and both conditions.
int packetQueueInitSync(packetQueue* queue);
/// Empties the queue and opens it. Called after packetQueueInitSync.
int packetQueueInit(packetQueue* queue);
/// Destroys the conditions and the mutex.
void packetQueueDestroySync(packetQueue* queue);

int packetQueuePushBack(packetQueue* queue, void* item);
int packetQueuePushFront(packetQueue* queue, void* item);

/// Take an item, waiting until there is one; null when the queue is null or
/// closed (also when it is closed during the wait).
void* packetQueuePopFront(packetQueue* queue);
void* packetQueuePopBack(packetQueue* queue);

/// Calls `function` on every item from front to back, after waiting until the
/// queue holds an item. Pushes, pops and close wait until the walk ends, so
/// `function` must not change this queue.
int packetQueueForEach(packetQueue* queue, void (*function)(void* item));

/// Frees every node (not the items), closes the queue and wakes every waiter.
void packetQueueClose(packetQueue* queue);

/// The process-wide queue between the reader thread and the motion thread.
packetQueue* sharedPacketQueue();
