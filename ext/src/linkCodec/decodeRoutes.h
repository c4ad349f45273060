#pragma once

// Lookup of the message type of an incoming report, built from the message
// table at compile time: one index by report id per version and, for reports
// that carry a sub-id (or report 41's type byte), one index by that byte.

#include <array>
#include <cstdint>

#include "linkCodec/messageTable.h"

namespace vnx::linkCodec {

struct DecodeRoutes
{
    static constexpr int16_t kUnknown = -1;
    static constexpr int16_t kBySubId = 1000; ///< + index into bySubId
    static constexpr int kMaxSubIdReports = 8;

    /// Per version and report id: a type code, kUnknown, or kBySubId + n.
    std::array<std::array<int16_t, 256>, kVersionCount> byReport{};
    std::array<std::array<int16_t, 256>, kMaxSubIdReports> bySubId{};
};

namespace detail {
// Fails to compile (a throw in a constant expression) when two types claim
// the same report, or a report mixes forms with and without a sub-id.
constexpr DecodeRoutes buildDecodeRoutes()
{
    DecodeRoutes routes;
    for (auto& row : routes.byReport) {
        row.fill(DecodeRoutes::kUnknown);
    }
    for (auto& row : routes.bySubId) {
        row.fill(DecodeRoutes::kUnknown);
    }
    int subIdReports = 0;
    for (size_t type = 0; type < kMessageLayouts.size(); ++type) {
        const MessageLayout& layout = kMessageLayouts[type];
        if (layout.direction != Direction::In) {
            continue;
        }
        for (unsigned version = 0; version < kVersionCount; ++version) {
            const Form& f = layout.forms[version];
            if (!f.exists()) {
                continue;
            }
            int16_t& slot = routes.byReport[version][f.reportId];
            if (f.subId < 0) {
                if (slot != DecodeRoutes::kUnknown) {
                    throw "report claimed twice";
                }
                slot = static_cast<int16_t>(type);
                continue;
            }
            if (slot == DecodeRoutes::kUnknown) {
                if (subIdReports == DecodeRoutes::kMaxSubIdReports) {
                    throw "too many reports with sub-ids";
                }
                slot = static_cast<int16_t>(DecodeRoutes::kBySubId + subIdReports++);
            } else if (slot < DecodeRoutes::kBySubId) {
                throw "report both with and without sub-id";
            }
            int16_t& sub = routes.bySubId[slot - DecodeRoutes::kBySubId][static_cast<uint8_t>(f.subId)];
            if (sub != DecodeRoutes::kUnknown) {
                throw "sub-id claimed twice";
            }
            sub = static_cast<int16_t>(type);
        }
    }
    return routes;
}
} // namespace detail

inline constexpr DecodeRoutes kDecodeRoutes = detail::buildDecodeRoutes();

} // namespace vnx::linkCodec
