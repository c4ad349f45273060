// The Linux platform of the CursorMover: it reports success and makes no
// system call (the desktop client moves the pointer through its own input
// layer).

#include "cursorMover/CursorMoverPlatform.h"

#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "log/Logger.h"

CursorMoverPlatform::CursorMoverPlatform(CursorMover& owner) : owner_(owner)
{
    vnx_CursorMover_initConfig(&config_);
    impl_ = std::make_unique<Impl>(config_);
    VNX_LOGF(dftLog_, vnx::log::WARN, "Adding SubNode");
    vnx::NodeManager::getInstance().addNode(this, impl_.get(), vnx::NodeInterface::NODE_SUBNODE, "Impl");
    VNX_LOGF(dftLog_, vnx::log::WARN, "Done Adding SubNode");
}

CursorMoverPlatform::~CursorMoverPlatform()
{
    vnx::NodeManager::getInstance().removeNode(static_cast<const void*>(impl_.get()));
}

int CursorMoverPlatform::init()
{
    return VNX_STATUS_SUCCESS;
}

int CursorMoverPlatform::term()
{
    return VNX_STATUS_SUCCESS;
}

int CursorMoverPlatform::setConfig(const vnx_CursorMover_Config_s& config)
{
    config_ = config;
    return VNX_STATUS_SUCCESS;
}

int CursorMoverPlatform::setConfig(const vnx_ButtonMapper_Config_s& config)
{
    buttonMapperConfig_ = config;
    return VNX_STATUS_SUCCESS;
}

int CursorMoverPlatform::setBounds(const vnx_CursorMover_Bounds_s& bounds)
{
    bounds_ = bounds;
    return VNX_STATUS_SUCCESS;
}

bool CursorMoverPlatform::moveTo(int, int, const vnx_ButtonMapper_Output_s*)
{
    return true;
}

bool CursorMoverPlatform::moveDelta(int, int, const vnx_ButtonMapper_Output_s*)
{
    return true;
}

bool CursorMoverPlatform::hideCursor()
{
    return true;
}

bool CursorMoverPlatform::sendButtons(const vnx_ButtonMapper_Output_s*)
{
    return true;
}
