#pragma once

// The USB ids of the presenter's receiver, the only device the reader opens.
//
// The build generates the udev rule that gives the logged-in user the
// receiver's hidraw node from the two constants below: keep each on one line
// of this form. The pair is a placeholder of this project that no device
// uses; put the receiver's own ids here once they are recorded. Until then
// PELVARO_RECEIVER=vvvv:pppp (hexadecimal) names the receiver at run time.

#include <cstdint>
#include <optional>
#include <string_view>

constexpr uint16_t kReceiverVendorId = 0xE1A0;
constexpr uint16_t kReceiverProductId = 0x0001;

/// The rule file that the package installs under lib/udev/rules.d.
constexpr const char* kReceiverUdevRule = "70-pelvaro.rules";

/// The environment variable that overrides the ids.
constexpr const char* kReceiverOverrideVariable = "PELVARO_RECEIVER";

struct ReceiverIds
{
    uint16_t vendorId = kReceiverVendorId;
    uint16_t productId = kReceiverProductId;
};

/// "vvvv:pppp": four hexadecimal digits each, in either case, neither id 0
/// (an id of 0 would match every HID device). Nothing otherwise.
std::optional<ReceiverIds> parseReceiverIds(std::string_view text);

/// The ids `overrideText` names, or the constants when it is null. A text that
/// does not parse leaves the constants in force and logs one Alert line.
ReceiverIds receiverIdsFrom(const char* overrideText);

/// receiverIdsFrom(PELVARO_RECEIVER). Reads the environment: call it before
/// other threads may change it.
ReceiverIds receiverIdsFromEnvironment();
