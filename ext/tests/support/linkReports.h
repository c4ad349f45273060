#pragma once

// Test helper: device reports of the link protocol as the hardware sends
// them (protocol version 2 wire bytes), for feeding a device object, and a
// transport end that records every report the device sends, as hex text.

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "tlinkDevice/DeviceIO.h"

namespace vnx::testsupport {

using Report = std::vector<uint8_t>;

namespace linkReports {

inline Report report(std::initializer_list<int> head, size_t length)
{
    Report bytes(length, 0);
    size_t i = 0;
    for (int b : head) {
        bytes.at(i++) = static_cast<uint8_t>(b);
    }
    return bytes;
}

inline void put16(Report& r, size_t at, uint16_t v)
{
    r.at(at) = static_cast<uint8_t>(v);
    r.at(at + 1) = static_cast<uint8_t>(v >> 8);
}

inline void put32(Report& r, size_t at, uint32_t v)
{
    put16(r, at, static_cast<uint16_t>(v));
    put16(r, at + 2, static_cast<uint16_t>(v >> 16));
}

/// ProductIDResponse: class (0-63), part number, unit id and identity fields.
inline Report productId(uint8_t deviceClass, uint32_t part, uint32_t unit, uint8_t byteA = 0xA1,
                        uint8_t byteB = 0xB2, uint32_t wordA = 0x0C0D0E0F, uint16_t word16 = 0x1617)
{
    Report r = report({6, 22, 0, 0, 9, deviceClass & 0x3F, byteB, byteA}, 22);
    put32(r, 8, part);
    put32(r, 12, wordA);
    put32(r, 16, unit);
    put16(r, 20, word16);
    return r;
}

/// FRSReadResponse: status (0 more to come, 7 record end), words at `offset`
/// (at most three).
inline Report frsRead(uint8_t status, uint16_t offset, const std::vector<uint32_t>& words)
{
    Report r = report({6, 22, 2, 0, 8, (static_cast<int>(words.size()) << 4) | status}, 22);
    put16(r, 6, offset);
    for (size_t i = 0; i < words.size() && i < 3; ++i) {
        put32(r, 8 + 4 * i, words[i]);
    }
    return r;
}

/// A whole flash record as the unit sends it in answer to one read request:
/// three words a report, the last one marked as the record's end.
inline std::vector<Report> frsRecord(const std::vector<uint32_t>& words)
{
    std::vector<Report> reports;
    for (size_t at = 0; at < words.size(); at += 3) {
        const size_t end = at + 3 < words.size() ? at + 3 : words.size();
        const std::vector<uint32_t> block(words.begin() + static_cast<long>(at),
                                          words.begin() + static_cast<long>(end));
        reports.push_back(frsRead(end == words.size() ? 7 : 0, static_cast<uint16_t>(at), block));
    }
    return reports;
}

/// SDA: 16-bit counter, button mask, wheel and six sensor words.
inline Report sda(uint16_t counter, uint8_t buttons = 0, int8_t wheel = 0, int16_t firstWord = 100)
{
    Report r = report({36, 22, 0, 0}, 22);
    put16(r, 4, counter);
    for (size_t i = 0; i < 7; ++i) {
        put16(r, 6 + 2 * i, static_cast<uint16_t>(firstWord + static_cast<int16_t>(i)));
    }
    r[20] = buttons;
    r[21] = static_cast<uint8_t>(wheel);
    return r;
}

/// DceOutput: 8-bit counter and the status byte (button mask high nibble,
/// a nibble of the carried value low).
inline Report dceOutput(uint8_t counter, uint8_t status)
{
    Report r = report({37, 25, 0, 0, counter}, 25);
    put16(r, 5, 500);
    r[17] = status;
    return r;
}

/// DceOutV4 second half: counter, first word, flag bits 0-15, wheel.
inline Report dceOutV4Second(uint8_t counter, int16_t word = 3, uint16_t flags = 0, int8_t wheel = 0)
{
    Report r = report({41, 15, 0, 0, 1, counter}, 15);
    put16(r, 6, static_cast<uint16_t>(word));
    put16(r, 12, flags);
    r[14] = static_cast<uint8_t>(wheel);
    return r;
}

/// KinemoraOutput of `format` (its payload zero): a report the device does
/// not take as motion.
inline Report kinemoraOutput(uint8_t format, uint32_t counter)
{
    Report r = report({38, 54, 0, 0, format}, 54);
    put32(r, 6, counter);
    return r;
}

/// DataModeControlV2Response reporting `mode` (0-7).
inline Report dataModeControlV2(uint8_t mode)
{
    return report({5, 9, 0, 0, 20, (mode & 7) << 1}, 9);
}

} // namespace linkReports

/// The transport end of a link device: keeps every report the device sends
/// as "07 0B 04 ..." and answers `answer`.
class RecordingReceiver : public DeviceIOReceiver
{
  public:
    int deviceIoReceive(DeviceIOInterface* from, const void* bytes, size_t length) override
    {
        lastFrom = from;
        const auto* b = static_cast<const uint8_t*>(bytes);
        std::string text;
        for (size_t i = 0; i < length; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", b[i]);
            text += hex;
        }
        sent.push_back(text);
        return answer;
    }

    /// What was sent since the last call, and forget it.
    std::vector<std::string> take()
    {
        std::vector<std::string> taken;
        taken.swap(sent);
        return taken;
    }

    int answer = 0;
    std::vector<std::string> sent;
    DeviceIOInterface* lastFrom = nullptr;
};

} // namespace vnx::testsupport
