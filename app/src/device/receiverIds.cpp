#include "device/receiverIds.h"

#include "log/DXLog.h"

#include <cstdlib>

namespace {

std::optional<uint16_t> parseHexId(std::string_view text)
{
    if (text.size() != 4) {
        return std::nullopt;
    }
    uint16_t value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = static_cast<uint16_t>(value * 16 + digit);
    }
    return value;
}

} // namespace

std::optional<ReceiverIds> parseReceiverIds(std::string_view text)
{
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<uint16_t> vendor = parseHexId(text.substr(0, colon));
    const std::optional<uint16_t> product = parseHexId(text.substr(colon + 1));
    if (!vendor || !product || *vendor == 0 || *product == 0) {
        return std::nullopt;
    }
    return ReceiverIds{*vendor, *product};
}

ReceiverIds receiverIdsFrom(const char* overrideText)
{
    const ReceiverIds constants;
    if (overrideText == nullptr) {
        return constants;
    }
    if (const std::optional<ReceiverIds> ids = parseReceiverIds(overrideText)) {
        return *ids;
    }
    DXLogAlert("%s=\"%s\" is not vvvv:pppp with two non-zero hexadecimal ids; looking for the receiver "
               "%04x:%04x",
               kReceiverOverrideVariable, overrideText, constants.vendorId, constants.productId);
    return constants;
}

ReceiverIds receiverIdsFromEnvironment()
{
    return receiverIdsFrom(std::getenv(kReceiverOverrideVariable));
}
