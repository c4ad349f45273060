#pragma once

// A device that speaks the link protocol (type 121). It does no I/O of its
// own: the transport hands it every report through deviceIoSend, and it hands
// every report it sends to its registered receiver. Around that byte path it
// brings the hardware up through its state machine (product identity, then
// its SCD read from the unit's flash), keeps the hardware's motion reports on
// or off as the client wants, decodes every motion report into input records
// for its module host, and tells the hardware when its user is active or
// still.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "deviceTemplates/DeviceTemplate.h"
#include "extCommon/extModuleType.h"
#include "linkCodec/zephraMessage.h"
#include "log/DefaultLogger.h"
#include "sdaCodec/ZephraSdaCodec.h"
#include "tlinkDevice/DeviceIO.h"
#include "tlinkDeviceFsm/TlinkDeviceFsm.h"
#include "tlinkDeviceFsm/TlinkDeviceFsmHostInterface.h"
#include "tlinkFrs/TlinkFrsManager.h"
#include "tlinkRecords/TlinkDeviceRecords.h"

namespace vnx {

class TlinkCoordinator;

class TlinkDevice : public DeviceTemplate<TlinkCoordinator, TlinkDevice, VNX_TYPE_TLINK_DEVICE>,
                    public TlinkFrsManager::Listener,
                    public TlinkDeviceFsmHostInterface,
                    public DeviceIOInterface
{
    VNX_EXT_LOG_DEFAULT(TlinkDevice);

  public:
    /// Commands of a TlinkDevice Command record (`code`).
    enum Command_e : uint32_t
    {
        COMMAND_DESTROY = 1,
        COMMAND_START = 3,
        COMMAND_SET_LEDS = 4,
        COMMAND_SET_DATA_MODE = 5,
        COMMAND_GET_INFO = 6,
        COMMAND_SLEEP = 7,
        COMMAND_SET_ACTIVITY_MESSAGES = 8,
    };

    /// `coordinator` may be null for a device that a domain of another kind
    /// holds (it then answers the Destroy command itself).
    explicit TlinkDevice(TlinkCoordinator* coordinator);
    ~TlinkDevice() override;

    // DeviceInterface
    int setConfig(const vnx_StructConfig_s* config) override;
    int sendCommand(const vnx_StructCommand_s* command) override;
    int getGuid(vnx_DomainGuid_s* guid) const override;
    bool isOpen() const override;
    int open() override;
    int close() override;
    int process() override;
    int getName(int size, char* buffer) const override;

    // Listener operations of the module host
    void motionOutput(DeviceInterface* device, size_t n, const vnx_StructOutput_s** outputs,
                      const vnx_StructFormat_s** formats, int value) override;
    void statusCallback(ModuleConfigInterface* source, const vnx_StructStatus_s* status) override;

    // DeviceIOInterface
    /// 0 when the report was decoded, 1010 when it could not be.
    int deviceIoSend(const void* bytes, size_t length) override;
    int deviceIoRegisterReceiver(DeviceIOReceiver* receiver) override;

    // TlinkDeviceFsmHostInterface
    void sendStatus(int code, vnx_TlinkDevice_StatusType_e type) override;
    int requestProductId() override;
    int requestScd() override;
    int requestDataOn() override;
    int requestDataOff() override;
    int requestDataMode() override;
    bool saveScd() override;

    // TlinkFrsManager::Listener
    void frsReadDone(TlinkFrs::RecordType_e type, TlinkFrs::TargetType_e target,
                     TlinkFrsManager::ResponseStatus_e status, uint32_t count,
                     const uint32_t* words) override;
    void frsWriteDone(TlinkFrs::RecordType_e type, TlinkFrs::TargetType_e target,
                      TlinkFrsManager::ResponseStatus_e status) override;
    /// Encodes and hands the report to the receiver: 0, the encoder's
    /// negative answer, -10 without receiver, or the receiver's answer.
    int sendMessage(const zephra_message& message) override;

    /// The activity message with value 3 under the same throttle as after
    /// motion output; -968 when the send fails.
    int sendActive();
    /// Value 1 for flag bit 0, else 0 for flag bit 1, else nothing (0); -968
    /// when the send fails.
    int sendSleep(uint8_t flags);
    /// Data on or off as the state machine's mode says.
    int requestData();
    /// The LED pattern request in every state: -2 when a time is 3.2 s or
    /// more (it is sent as 255 then), else 0.
    int setLeds(const vnx_TlinkDevice_LEDConfigPattern_s& pattern);
    void handleDataModeResponse(const zephra_message& message);

    /// The part numbers whose units use data mode variant 2 and keep their
    /// SCD in flash record 0x7979. Empty: every unit is variant 1.
    static std::vector<uint32_t>& variantTwoPartNumbers();
    static bool isTovixLike(int part);

    TlinkDeviceFsm::State_e getState() const { return fsm_.getState(); }

  protected:
    /// Removes the device from its domain (Destroy in direct reply mode): the
    /// domain's answer; nothing of the device may be used afterwards.
    virtual int removeFromDomain();

  private:
    int commandResult(const vnx_TlinkDevice_Command_s& command, vnx_TlinkDevice_Status_s& reply);
    zephra_message request(uint32_t type, uint8_t length) const;
    /// The data-mode pair: the result of the second send.
    int sendDataMode(const zephra_message& first, const zephra_message& second);
    int sendActivity(uint8_t value);
    void handleProductId(const zephra_message& message);
    void handleMotion(const zephra_message& message);
    void deliver(const vnx_TlinkDevice_Status_s& status);

    vnx_TlinkDevice_Config_s config_;
    TlinkDeviceFsm fsm_;
    uint32_t lastActivityStamp_ = 0;
    TlinkFrsManager frsManager_;
    ZephraSdaCodec sdaCodec_;
    uint32_t frsWordCount_ = 0;
    const uint32_t* frsWords_ = nullptr;
    DeviceIOReceiver* ioReceiver_ = nullptr;
    bool productIdKnown_ = false;
    vnx_TlinkDevice_Info_s info_;
    uint64_t pendingInfoRequest_ = 0;
    bool activityMessagesDisabled_ = false;
    uint32_t dataModeVariant_ = 0;
    uint32_t scdRecordType_ = 0;
};

} // namespace vnx

// Every user of the device needs its domain's full type: the device template
// hands the domain out as a DomainInterface.
#include "tlinkDevice/TlinkCoordinator.h"
