#pragma once

// A module type of the tests' own (type 210, "Widget") with a factory made by
// the factory template, and a records-only type (211, "Sprocket").

#include <cstdint>
#include <new>
#include <stdexcept>

#include "common/record.h"
#include "moduleFactory/moduleInterface.h"
#include "moduleFactory/moduleListenerInterface.h"
#include "moduleFactory/recordFamily.h"

constexpr uint8_t kWidgetType = 210;
constexpr uint8_t kSprocketType = 211;

typedef vnx_StructConfig_s vnx_Widget_Config_s;
typedef vnx_StructCommand_s vnx_Widget_Command_s;
typedef vnx_StructStatus_s vnx_Widget_Status_s;
typedef vnx_StructFormat_s vnx_Widget_Format_s;
typedef struct vnx_Widget_Output_s
{
    vnx_StructOutput_s output;
    int32_t value; // default 7
    uint8_t padding[4];
} vnx_Widget_Output_s;
VNX_DECLARE_RECORD_FAMILY(Widget)

typedef vnx_StructConfig_s vnx_Sprocket_Config_s;
typedef vnx_StructCommand_s vnx_Sprocket_Command_s;
typedef vnx_StructStatus_s vnx_Sprocket_Status_s;
typedef vnx_StructFormat_s vnx_Sprocket_Format_s;
typedef vnx_StructOutput_s vnx_Sprocket_Output_s;
VNX_DECLARE_RECORD_FAMILY(Sprocket)

/// Counts its live instances; its behaviour on process and construction can
/// be switched to throwing, to check that no exception leaves the flat API.
class WidgetModule : public vnx::ModuleInterface
{
  public:
    enum class Failure
    {
        None,
        OutOfMemory,
        Other
    };

    static inline int live = 0;
    static inline Failure constructionFailure = Failure::None;
    static inline Failure processFailure = Failure::None;

    WidgetModule()
    {
        fail(constructionFailure);
        ++live;
    }
    ~WidgetModule() override { --live; }

    vnx::ModuleListenerInterface* listener() const { return listener_; }

    int setModuleListener(vnx::ModuleListenerInterface* listener) override
    {
        listener_ = listener;
        return 42; // an answer of its own, which the flat API does not pass on
    }
    int getConfig(vnx_StructConfig_s*) const override { return 0; }
    int setConfig(const vnx_StructConfig_s*) override { return 0; }
    /// Reports one status whose `result` the listener may set; returns it.
    int sendCommand(const vnx_StructCommand_s* command) override
    {
        vnx_Widget_Status_s status;
        vnx_Widget_initStatus(&status);
        status.header.instanceId = command != nullptr ? command->header.instanceId : 0;
        if (listener_ != nullptr) {
            listener_->statusCallback(this, &status);
        }
        // Module state is touched after the listener returned, as real
        // modules do (a listener that destroyed the module must not have).
        ++reports_;
        return static_cast<int>(status.result);
    }
    uint8_t getType() const override { return kWidgetType; }
    int init(const vnx_scdData_s*, int& scdOffset, const vnx_dcdData_s*, int& dcdOffset) override
    {
        scdOffset += 4;
        dcdOffset += 8;
        return 0;
    }
    int term() override { return 3; }
    int getDcd(vnx_dcdData_s*, int capacity, int& dcdOffset) const override
    {
        dcdOffset += capacity;
        return 0;
    }
    int getInputInterfaceCount() const override { return 2; }
    int getInputInterface(int index, size_t, uint8_t*, size_t& count) const override
    {
        count = static_cast<size_t>(index) + 1;
        return -11;
    }
    int getOutputInterfaceCount() const override { return 1; }
    int getOutputInterface(int, size_t, uint8_t*, size_t& count) const override
    {
        count = 1;
        return -17;
    }
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s**, const vnx_StructFormat_s**,
                int outputInterface, size_t outputCount, vnx_StructOutput_s**, vnx_StructFormat_s**) override
    {
        fail(processFailure);
        return inputInterface * 1000 + static_cast<int>(inputCount) * 100 + outputInterface * 10 +
               static_cast<int>(outputCount);
    }

  private:
    static void fail(Failure failure)
    {
        if (failure == Failure::OutOfMemory) {
            throw std::bad_alloc();
        }
        if (failure == Failure::Other) {
            throw std::runtime_error("widget failure");
        }
    }

    vnx::ModuleListenerInterface* listener_ = nullptr;
    int reports_ = 0;
};

namespace vnx {
class ModuleFactoryInterface;
}
/// The one factory instance of each type.
vnx::ModuleFactoryInterface& widgetFactory();
vnx::ModuleFactoryInterface& sprocketFactory();

/// Registers Widget and Sprocket for one scope and takes them out again.
class ScopedWidgetFactories
{
  public:
    ScopedWidgetFactories()
    {
        vnx_Widget_moduleFactoryRegister();
        vnx_Sprocket_moduleFactoryRegister();
    }
    ~ScopedWidgetFactories()
    {
        vnx_Sprocket_moduleFactoryUnregister();
        vnx_Widget_moduleFactoryUnregister();
    }
};
