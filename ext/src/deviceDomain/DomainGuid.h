#pragma once

// The identity of one device across runs: its device type, the domain type
// that made it and the device's own id within that domain. It names the
// device's stored calibration.

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_DomainGuid_s
{
    uint16_t deviceType; ///< device type id
    uint16_t domainType; ///< domain type id
    uint8_t id[12];      ///< filled by the device type; unused bytes 0
} vnx_DomainGuid_s;

#ifdef __cplusplus
}

static_assert(sizeof(vnx_DomainGuid_s) == 16);
static_assert(offsetof(vnx_DomainGuid_s, deviceType) == 0);
static_assert(offsetof(vnx_DomainGuid_s, domainType) == 2);
static_assert(offsetof(vnx_DomainGuid_s, id) == 4);
#endif
