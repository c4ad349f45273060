#include "device/hidThreads.h"

#include "device/dongleReader.h"
#include "device/packetQueue.h"
#include "platform/HidapiBackend.h"
#include "sensor/motionThread.h"

#include <cstdlib>
#include <thread>

int startHidThreads(HidBackend* backend)
{
    static bool started = false;
    if (started) {
        return 0;
    }
    started = true;

    packetQueue* queue = sharedPacketQueue();
    if (packetQueueInitSync(queue) != 0 || packetQueueInit(queue) != 0) {
        std::exit(2);
    }
    if (backend == nullptr) {
        // Lives as long as the thread that uses it: never destroyed.
        static HidBackend* const hidapi = new HidapiBackend;
        backend = hidapi;
    }
    // Read here, on the main thread: the environment is not safe to read
    // while another thread may change it.
    const ReceiverIds ids = receiverIdsFromEnvironment();
    putDcdPathIntoEnvironment();
    std::thread(motionThread).detach();
    std::thread(dongleReaderThread, backend, ids).detach();
    return 0;
}
