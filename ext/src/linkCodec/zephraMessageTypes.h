#pragma once

// Every message type of the link protocol, in the order of its code (the
// position in this list): ZEPHRA_MESSAGE_TYPES(X) calls X(code, Name, dir)
// once per type, where dir is OUT for what the host sends (it has an encoder
// zephra_encode<Name>) and IN for what devices send (zephra_decode<Name>).
// The enumeration, the body union and the per-type functions are all made
// from this one list.

#define ZEPHRA_MESSAGE_TYPES(X)                                                                              \
    X(0, USBBootCommand, OUT)                                                                                \
    X(1, USBBootData, OUT)                                                                                   \
    X(2, USBBootStatus, IN)                                                                                  \
    X(3, PairingMessage, OUT)                                                                                \
    X(4, ProductIDRequest, OUT)                                                                              \
    X(5, LEDSetRequest, OUT)                                                                                 \
    X(6, LinkQualityRequest, OUT)                                                                            \
    X(7, AlwaysOnRequest, OUT)                                                                               \
    X(8, FrequencyFixRequest, OUT)                                                                           \
    X(9, SoftwareResetMessage, OUT)                                                                          \
    X(10, DongleRFDisableMessage, OUT)                                                                       \
    X(11, TxDisableMessage, OUT)                                                                             \
    X(12, DongleRFSupressHomeFrequencyMessage, OUT)                                                          \
    X(13, FRSHandheldReadRequest, OUT)                                                                       \
    X(14, FRSHandheldWriteRequest, OUT)                                                                      \
    X(15, FRSHandheldWriteData, OUT)                                                                         \
    X(16, FRSDongleReadRequest, OUT)                                                                         \
    X(17, FRSDongleWriteRequest, OUT)                                                                        \
    X(18, FRSDongleWriteData, OUT)                                                                           \
    X(19, FRSEFlashReadRequest, OUT)                                                                         \
    X(20, FRSEFlashWriteRequest, OUT)                                                                        \
    X(21, FRSEFlashWriteData, OUT)                                                                           \
    X(22, DongleRFEnableMessage, OUT)                                                                        \
    X(23, DataModeRequest, OUT)                                                                              \
    X(24, ButtonTestModeRequest, OUT)                                                                        \
    X(25, DebugRequest, OUT)                                                                                 \
    X(26, ParameterRequest, OUT)                                                                             \
    X(27, FTAStatusRequest, OUT)                                                                             \
    X(28, DfuStatusRequest, OUT)                                                                             \
    X(29, StatisticsRequest, OUT)                                                                            \
    X(30, DfuCommand, OUT)                                                                                   \
    X(31, UtRequest, OUT)                                                                                    \
    X(32, DongleResetToBoot, OUT)                                                                            \
    X(33, PairingResponse, IN)                                                                               \
    X(34, ProductIDResponse, IN)                                                                             \
    X(35, LinkStatus, IN)                                                                                    \
    X(36, AlwaysOnResponse, IN)                                                                              \
    X(37, FRSHandheldReadResponse, IN)                                                                       \
    X(38, FRSHandheldWriteResponse, IN)                                                                      \
    X(39, FRSDongleReadResponse, IN)                                                                         \
    X(40, FRSDongleWriteResponse, IN)                                                                        \
    X(41, FRSEFlashReadResponse, IN)                                                                         \
    X(42, FRSEFlashWriteResponse, IN)                                                                        \
    X(43, DataModeResponse, IN)                                                                              \
    X(44, ButtonTestModeResponse, IN)                                                                        \
    X(45, DebugResponse, IN)                                                                                 \
    X(46, FTAStatusResponse, IN)                                                                             \
    X(47, DFUStatusResponse, IN)                                                                             \
    X(48, ParameterResponse, IN)                                                                             \
    X(49, StatisticsResponse, IN)                                                                            \
    X(50, ZSP2Coprocessor, IN)                                                                               \
    X(51, SDA, IN)                                                                                           \
    X(52, BatteryLevelRequest, OUT)                                                                          \
    X(53, BatteryLevel, IN)                                                                                  \
    X(54, CP2ZSP, OUT)                                                                                       \
    X(55, BodyFrame, IN)                                                                                     \
    X(56, UserFrame, IN)                                                                                     \
    X(57, DataMotionControl, OUT)                                                                            \
    X(58, DceOutput, IN)                                                                                     \
    X(59, FRSWriteResponse, IN)                                                                              \
    X(60, DataModeControlV2Response, IN)                                                                     \
    X(61, SensorPeriodResponse, IN)                                                                          \
    X(62, SensorDriverResponse, IN)                                                                          \
    X(63, FRSReadResponse, IN)                                                                               \
    X(64, PerResponse, IN)                                                                                   \
    X(65, FRSWriteRequest, OUT)                                                                              \
    X(66, FRSWriteData, OUT)                                                                                 \
    X(67, FRSReadRequest, OUT)                                                                               \
    X(68, PerRequest, OUT)                                                                                   \
    X(69, ActivityClassificationNotification, OUT)                                                           \
    X(70, DataModeControlV2Request, OUT)                                                                     \
    X(71, ReorientationRequest, OUT)                                                                         \
    X(72, SensorPeriodRequest, OUT)                                                                          \
    X(73, BmsRequest, OUT)                                                                                   \
    X(74, LedSetPatternRequest, OUT)                                                                         \
    X(75, SensorDriverRequest, OUT)                                                                          \
    X(76, ProductIDResponseBLE, IN)                                                                          \
    X(77, FRSReadResponseBLE, IN)                                                                            \
    X(78, BodyUserFrame, IN)                                                                                 \
    X(79, SuperSDA, IN)                                                                                      \
    X(80, KinemoraOutput, IN)                                                                                \
    X(81, DceOutV2, IN)                                                                                      \
    X(82, DceOutV3, IN)                                                                                      \
    X(83, DceOutV4T0, IN)                                                                                    \
    X(84, DceOutV4T1, IN)

/// Number of message types (codes 0 to ZEPHRA_MESSAGE_TYPE_COUNT - 1).
#define ZEPHRA_MESSAGE_TYPE_COUNT 85
