#pragma once

#include <cstdint>

#include "gesture/CursorGestureRecords.h"
#include "gesture/GestureRecognitionProcessor.h"
#include "moduleFactory/moduleInterface.h"

/// Recognises and learns gestures drawn with the pointer. Fed the movement of
/// a StandardCursor (input interface 0) or ExtendedCursor (1) per sample, it
/// reports every finished gesture in its Output: the best matching stored
/// gesture or "Not matched", a score and statistics of the path. Between the
/// learning commands drawn gestures train a new stored gesture instead, and
/// the outcome goes to the listener as a Status.
class CursorGesture : public vnx::ModuleInterface
{
  public:
    CursorGesture();

    int setModuleListener(vnx::ModuleListenerInterface* listener) override;
    /// There is no configuration: -1, the record untouched.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// Accepts anything; 0.
    int setConfig(const vnx_StructConfig_s* config) override;
    /// Reads the code and Definition of any Command as its own (bundles pass
    /// on the gesture commands they do not claim); -2 for null.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// Empties the library, resets the capture, clears both flags and the
    /// user-gesture counter. Reads no calibration.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// In: 0 StandardCursor Output, 1 ExtendedCursor Output. Out: CursorGesture Output.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// One cursor sample; 0, or -2 for missing records or records of another type.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

    const GestureRecognitionProcessor& processor() const { return processor_; }
    int32_t userGestureCount() const { return userGestures_; }

  private:
    int stopLearning();

    GestureRecognitionProcessor processor_;
    uint8_t capture_ = 0;
    uint8_t learning_ = 0;
    int32_t userGestures_ = 0;
    vnx::ModuleListenerInterface* listener_ = nullptr; ///< not owned
    // Reused per sample so that matching allocates nothing once grown.
    GestureRecognitionProcessor::Output_t result_;
    GestureRecognitionProcessor::AdditionalOutput_t statistics_;
};
