#include "linkCodec/fieldMap.h"

#include <cmath>
#include <cstring>

namespace vnx::linkCodec {

namespace {

uint16_t readLe16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t readLe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void writeLe16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void writeLe32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

template <typename T> T load(const uint8_t* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T> void store(uint8_t* p, T v)
{
    std::memcpy(p, &v, sizeof v);
}

uint32_t lowBits(unsigned bits)
{
    return bits >= 32 ? ~0u : (1u << bits) - 1u;
}

// The device sends only X, Y and Z of its unit quaternion, in units of 1/16384;
// W is the root of what they leave of 2^28. A sum of squares above 2^28 has no
// real root and gives 0.
int16_t orientationWFrom(const uint8_t* wire)
{
    const double x = static_cast<int16_t>(readLe16(wire));
    const double y = static_cast<int16_t>(readLe16(wire + 2));
    const double z = static_cast<int16_t>(readLe16(wire + 4));
    const double root = std::sqrt(268435456.0 - x * x - y * y - z * z);
    if (std::isnan(root)) {
        return 0;
    }
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<int32_t>(root)));
}

} // namespace

void decodeFields(FieldMap fields, const uint8_t* report, uint8_t* message)
{
    for (const FieldOp& op : fields) {
        const uint8_t* in = report + op.wire;
        uint8_t* out = message + op.message;
        switch (op.kind) {
        case FieldKind::Bytes:
            std::memcpy(out, in, op.count);
            break;
        case FieldKind::Words16:
            for (unsigned i = 0; i < op.count; ++i) {
                store<uint16_t>(out + 2 * i, readLe16(in + 2 * i));
            }
            break;
        case FieldKind::Words32:
            for (unsigned i = 0; i < op.count; ++i) {
                store<uint32_t>(out + 4 * i, readLe32(in + 4 * i));
            }
            break;
        case FieldKind::Flags:
            for (unsigned i = 0; i < op.count; ++i) {
                out[i] = static_cast<uint8_t>((in[0] >> (op.bit + i)) & 1u);
            }
            break;
        case FieldKind::BitField:
            store<uint32_t>(out, (static_cast<uint32_t>(in[0]) >> op.bit) & lowBits(op.bits));
            break;
        case FieldKind::Zero:
            std::memset(out, 0, op.count);
            break;
        case FieldKind::OrientationW:
            store<int16_t>(out, orientationWFrom(in));
            break;
        }
    }
}

void encodeFields(FieldMap fields, const uint8_t* message, uint8_t* report)
{
    // Bit-packed bytes are assembled from zero, so clear them before any op
    // ORs its bits in.
    for (const FieldOp& op : fields) {
        if (op.kind == FieldKind::Flags || op.kind == FieldKind::BitField) {
            report[op.wire] = 0;
        }
    }
    for (const FieldOp& op : fields) {
        const uint8_t* in = message + op.message;
        uint8_t* out = report + op.wire;
        switch (op.kind) {
        case FieldKind::Bytes:
            std::memcpy(out, in, op.count);
            break;
        case FieldKind::Words16:
            for (unsigned i = 0; i < op.count; ++i) {
                writeLe16(out + 2 * i, load<uint16_t>(in + 2 * i));
            }
            break;
        case FieldKind::Words32:
            for (unsigned i = 0; i < op.count; ++i) {
                writeLe32(out + 4 * i, load<uint32_t>(in + 4 * i));
            }
            break;
        case FieldKind::Flags:
            for (unsigned i = 0; i < op.count; ++i) {
                out[0] = static_cast<uint8_t>(out[0] | ((in[i] & 1u) << (op.bit + i)));
            }
            break;
        case FieldKind::BitField: {
            const uint32_t value = load<uint32_t>(in) & (op.bits == 0 ? ~0u : lowBits(op.bits));
            out[0] = static_cast<uint8_t>(out[0] | static_cast<uint8_t>(value << op.bit));
            break;
        }
        case FieldKind::Zero:
            std::memset(out, 0, op.count);
            break;
        case FieldKind::OrientationW:
            // Only ever decoded: the host sends no orientation.
            break;
        }
    }
}

} // namespace vnx::linkCodec
