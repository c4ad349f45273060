#pragma once

#include <cstdint>

#include "gesture/LinearGestureRecords.h"
#include "gesture/robustVector.h"
#include "moduleFactory/moduleInterface.h"
#include "pointerBallistics/PointerBallisticsCurve.h"
#include "sensorFusionModule/SensorFusionRecords.h"

/// Turns the rotation of the device about one configured axis into a bounded
/// slider value, like a knob. While active, every SensorFusion Output gives an
/// angle (absolute from the orientation, in the user or the body frame, or as
/// increments added to a kept rotation, optionally scaled by a ballistics
/// curve); the rotation range maps linearly onto the slider range. While
/// inactive the last value is repeated.
class LinearGesture : public vnx::ModuleInterface
{
  public:
    LinearGesture();

    /// Keeps no listener; 0.
    int setModuleListener(vnx::ModuleListenerInterface* listener) override;
    /// Copies the kept Config; -3 for a record that is not a LinearGesture Config.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// Keeps the Config whole and derives the frame and the rotation from it;
    /// -3 for a record that is not a LinearGesture Config.
    int setConfig(const vnx_StructConfig_s* config) override;
    /// 0 nothing, 1 activate, 2 deactivate; -9 other codes, -3 other records.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// Default Config, inactive, held value 0, angle reference cleared,
    /// ballistics curve 2. The frame, the relative memory and the rotation
    /// are kept. Reads no calibration.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int init();
    int term() override;
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// In: SensorFusion Output. Out: LinearGesture Output.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// One fusion sample: writes sample number, active flag and slider value.
    /// -4 for frame mode 2 while active; -2 for missing records or records of
    /// another type.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

    /// Angle about the configured world axis (x, y or z exactly 1) of the
    /// conjugated orientation; 0 for any other axis.
    float userFrameAbsoluteAngle(const vnx_SensorFusion_Output_s& output,
                                 const vnx_SensorFusion_Format_s& format);
    /// Signed angle of the reference about the device's axis, measured from
    /// the angle reference h.
    float bodyFrameAbsoluteAngle(const vnx_SensorFusion_Output_s& output,
                                 const vnx_SensorFusion_Format_s& format);
    /// This sample's rotation about the configured axis (x, y or z exactly 1)
    /// from the angular velocity; 0 for any other axis or without a rate.
    float bodyFrameRelativeAngle(const vnx_SensorFusion_Output_s& output,
                                 const vnx_SensorFusion_Format_s& format);
    /// Rotation to slider value, clamped unless the Config says not to.
    float mapRotationToSlider(float rotation) const;
    /// Slider value to rotation, never clamped.
    float mapSliderToRotation(float slider) const;

    struct BallisticsScale
    {
        float factor;    ///< 1 unless the increment mode is 2
        float magnitude; ///< |increment|
    };
    BallisticsScale getBallisticsScale(uint32_t periodUs, float increment) const;
    /// Reads four value words (w x y z) in the encoding `q`; false, quaternion
    /// untouched, when the group carries no value.
    static bool setQFromNumber32Array(std::array<float, 4>& quaternion, const vnx_Number32_u* words,
                                      int8_t q);

    float rotation() const { return rotation_; }
    float heldValue() const { return held_; }
    bool isActive() const { return active_; }

  private:
    /// The normalised orientation quaternion of the sample, or false when the
    /// Format marks it absent.
    bool readQuaternion(const vnx_SensorFusion_Output_s& output, const vnx_SensorFusion_Format_s& format,
                        std::array<float, 4>& quaternion) const;
    /// Whether this sample's slider value needs the orientation quaternion.
    bool needsQuaternion() const;
    float relativeIncrement(float angle, const vnx_SensorFusion_Output_s& output,
                            const vnx_SensorFusion_Format_s& format);

    vnx_LinearGesture_Config_s config_{};
    bool active_ = false;
    float held_ = 0.0f;
    vnx::gesture::Vector3 inPlaneReference_{}; ///< R0: the reference's part perpendicular to the axis
    vnx::gesture::Vector3 axis_{};
    vnx::gesture::Vector3 normal_{};         ///< n: perpendicular to reference and axis
    vnx::gesture::Vector3 angleReference_{}; ///< h: zero while unset
    vnx::PointerBallisticsCurve curve_;
    bool hasPreviousAngle_ = false;
    float previousAngle_ = 0.0f;
    float rotation_ = 0.0f; ///< radians
};
