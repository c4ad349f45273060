#pragma once

// The motion thread: starts the engine libraries, creates one ManualDomain
// and then hands every packet of the packet queue to the bridge, making the
// presenter's device whenever a packet names a new identity.

#include "device/hidPacket.h"

#include <string>

#include "deviceApi/deviceApi.h"

struct packetQueue;

/// The engine's calibration folder (UTF-8), where it keeps one DCD file per
/// presenter. Set on the main thread before startHidThreads.
void setDcdFolderPath(std::string path);
std::string dcdFolderPath();

/// Puts "VNX_DCD_PATH=<folder>" into the environment, the whole text cut to
/// 4096 bytes with its terminator; nothing while no folder is set (the engine
/// then keeps its default). Main thread, before other threads start: no
/// other thread may read the environment meanwhile.
void putDcdPathIntoEnvironment();

/// Initialises the core, bundle and ext libraries in this order, creates the
/// ManualDomain (116) and registers the bridge's domain listener; makes the
/// device when an identity is already pending. The domain (null when none
/// can be made).
vnx_DomainHandle_s* startMotionEngine();

/// One popped packet: dispatched to the bridge and freed; then the device is
/// made when the packet named a new identity. A null packet is skipped.
void serveMotionPacket(vnx_DomainHandle_s* domain, hidPacket* packet);

/// Pops packets from `queue` and serves them until the queue is closed.
void runMotionLoop(vnx_DomainHandle_s* domain, packetQueue* queue);

/// The thread body: startMotionEngine, then the process-wide packet queue
/// served for the life of the process.
void motionThread();
