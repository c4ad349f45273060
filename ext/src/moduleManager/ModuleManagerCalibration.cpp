#include <algorithm>
#include <cstring>

#include "common/statusCode.h"
#include "dcdStore/ZephraDcdManager.h"
#include "extCommon/extStatusCode.h"
#include "moduleFactory/moduleInterface.h"
#include "moduleManager/ModuleManager.h"

namespace vnx {

namespace {

// Copies a DCD by its own size field, never more than one buffer holds.
void copyDcd(vnx_dcdMemory_s& to, const vnx_dcdData_s* from)
{
    std::memset(&to, 0, sizeof to);
    if (from != nullptr) {
        std::memcpy(to.bytes, from, std::min<size_t>(from->size, sizeof to));
    }
}

} // namespace

void ModuleManager::setScd(const vnx_scdData_s* scd)
{
    if (scd != nullptr && scd->size <= kMaxScdSize) {
        std::memcpy(scd_.bytes, scd, scd->size);
    }
    // Sample steps are timed with the period: an SCD without a usable one
    // gives the default rather than no period.
    const int32_t periodUs = vnx_scdGetPeriod(&scd_.head);
    periodUs_ = periodUs > 0 ? static_cast<uint32_t>(periodUs) : kDefaultPeriodUs;
    sendDeviceStatus(VNX_DEVICE_STATUS_SCD_SET, VNX_STATUS_SUCCESS, 0, scd);
}

int ModuleManager::setDcdIsExternal(bool external)
{
    dcdExternal_ = external;
    externalDcd_.reset();
    if (external) {
        externalBuffer();
    }
    return VNX_STATUS_SUCCESS;
}

vnx_dcdMemory_s& ModuleManager::externalBuffer()
{
    if (externalDcd_ == nullptr) {
        externalDcd_ = std::make_unique<vnx_dcdMemory_s>();
        std::memset(externalDcd_.get(), 0, sizeof(vnx_dcdMemory_s));
    }
    return *externalDcd_;
}

int ModuleManager::deviceGuid(vnx_DomainGuid_s& guid)
{
    const int result = device_->getGuid(&guid);
    if (result != VNX_STATUS_SUCCESS) {
        logReturn(result);
    }
    return result;
}

int ModuleManager::loadDcd(vnx_dcdMemory_s& buffer)
{
    if (device_ == nullptr) {
        return VNX_STATUS_DEVICE_INVALID_ID;
    }
    std::memset(&buffer, 0, sizeof buffer);
    if (dcdExternal_) {
        // After term() the client's DCD is gone: the module starts empty.
        if (externalDcd_ != nullptr && externalDcd_->head.size != 0) {
            copyDcd(buffer, &externalDcd_->head);
        }
        return VNX_STATUS_SUCCESS;
    }
    vnx_DomainGuid_s guid;
    int result = deviceGuid(guid);
    if (result != VNX_STATUS_SUCCESS) {
        return result;
    }
    size_t size = 0;
    result = ZephraDcdManager::readDcd(guid, &buffer.head, sizeof buffer, &size);
    if (result != VNX_STATUS_SUCCESS) {
        logReturn(result);
        return result;
    }
    // The last four bytes of a DCD are its CRC-32.
    const uint8_t* crc = buffer.bytes + (size >= 4 ? size - 4 : 0);
    VNX_LOGF(dftLog_, log::INFO, "loadDcd() %02x%02x%02x%02x", crc[0], crc[1], crc[2], crc[3]);
    return VNX_STATUS_SUCCESS;
}

int ModuleManager::saveDcd()
{
    if (module_ == nullptr) {
        return VNX_STATUS_SUCCESS;
    }
    if (device_ == nullptr) {
        return VNX_STATUS_DEVICE_INVALID_ID;
    }
    vnx_dcdMemory_s dcd;
    std::memset(&dcd, 0, sizeof dcd);
    int offset = 0;
    const int read = module_->getDcd(&dcd.head, sizeof dcd, offset);
    if (read != VNX_STATUS_SUCCESS) {
        logReturn(read);
        return read;
    }
    VNX_LOGF(dftLog_, log::INFO, "saveDcd(ver=%d, size=%d)", dcd.head.version, dcd.head.size);
    if (dcdExternal_) {
        copyDcd(externalBuffer(), &dcd.head);
        sendDeviceStatus(VNX_DEVICE_STATUS_DCD_UPDATED, VNX_STATUS_SUCCESS, 0, &dcd);
        return VNX_STATUS_SUCCESS;
    }
    vnx_DomainGuid_s guid;
    const int result = deviceGuid(guid);
    if (result != VNX_STATUS_SUCCESS) {
        return result;
    }
    return ZephraDcdManager::writeDcd(guid, &dcd.head);
}

int ModuleManager::clearDcd()
{
    if (device_ == nullptr) {
        return VNX_STATUS_DEVICE_INVALID_ID;
    }
    VNX_LOGF(dftLog_, log::NOTICE, "clearDcd()");
    if (dcdExternal_) {
        if (externalDcd_ != nullptr) {
            std::memset(externalDcd_.get(), 0, sizeof(vnx_dcdMemory_s));
        }
    } else {
        vnx_DomainGuid_s guid;
        int result = deviceGuid(guid);
        if (result != VNX_STATUS_SUCCESS) {
            return result;
        }
        vnx_dcdMemory_s empty;
        std::memset(&empty, 0, sizeof empty);
        result = ZephraDcdManager::writeDcd(guid, &empty.head);
        if (result != VNX_STATUS_SUCCESS) {
            logReturn(result);
            return result;
        }
    }
    return module_ != nullptr ? destroyModule() : VNX_STATUS_SUCCESS;
}

int ModuleManager::setDcd(const vnx_dcdData_s* dcd)
{
    if (device_ == nullptr) {
        return VNX_STATUS_DEVICE_INVALID_ID;
    }
    VNX_LOGF(dftLog_, log::INFO, "setDcd(%p)", static_cast<const void*>(dcd));
    // No DCD form is larger than the buffers it is copied into.
    if (dcd != nullptr && dcd->size > sizeof(vnx_dcdMemory_s)) {
        logReturn(VNX_STATUS_INVALID_PARAMETER);
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (dcdExternal_) {
        copyDcd(externalBuffer(), dcd);
        sendDeviceStatus(VNX_DEVICE_STATUS_DCD_UPDATED, VNX_STATUS_SUCCESS, 0, dcd);
        return VNX_STATUS_SUCCESS;
    }
    if (dcd == nullptr || dcd->size == 0) {
        clearDcd();
    } else {
        vnx_DomainGuid_s guid;
        int result = deviceGuid(guid);
        if (result != VNX_STATUS_SUCCESS) {
            return result;
        }
        result = ZephraDcdManager::writeDcd(guid, dcd);
        if (result != VNX_STATUS_SUCCESS) {
            logReturn(result);
            return result;
        }
    }
    if (module_ != nullptr) {
        return destroyModule();
    }
    sendDeviceStatus(VNX_DEVICE_STATUS_DCD_UPDATED, VNX_STATUS_SUCCESS, 0, dcd);
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx
