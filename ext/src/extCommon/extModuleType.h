#pragma once

// Type ids of the device layer and the device link protocol: modules, record
// families, domains and devices, 96 to 125. Several ids only carry a name; no
// module, domain or device of those types exists.

#ifdef __cplusplus
extern "C" {
#endif

typedef enum vnx_ExtModuleType_e
{
    VNX_TYPE_LOGGER = 96,
    VNX_TYPE_VNXD = 97,
    VNX_TYPE_BUTTON_MAPPER = 98,
    VNX_TYPE_CURSOR_MOVER = 99,
    VNX_TYPE_MOTION_PIPE = 100,
    VNX_TYPE_MOTION_FLOAT_PIPE = 101,
    VNX_TYPE_EXTENDED_PIPE_BUNDLE = 102,
    VNX_TYPE_DEVICE_FORWARDING = 103,
    VNX_TYPE_SERIALIZATION_MODULE = 104,
    VNX_TYPE_STANDARD_MOVER_BUNDLE = 105,
    VNX_TYPE_TWO_WAY_SPLITTER = 106,
    // 107 to 111 are not used.
    VNX_TYPE_DOMAIN = 112,
    VNX_TYPE_DEVICE = 113,
    VNX_TYPE_QD_HID1_DOMAIN = 114,
    VNX_TYPE_QD_HID1_DEVICE = 115,
    VNX_TYPE_MANUAL_DOMAIN = 116,
    VNX_TYPE_MANUAL_DEVICE = 117,
    VNX_TYPE_XML_FILE_DOMAIN = 118,
    VNX_TYPE_XML_FILE_DEVICE = 119,
    VNX_TYPE_TLINK_DOMAIN = 120,
    VNX_TYPE_TLINK_DEVICE = 121,
    VNX_TYPE_TLINK_PIPE_DOMAIN = 122,
    VNX_TYPE_TLINK_PIPE_DEVICE = 123,
    VNX_TYPE_TLINK_HID1_DOMAIN = 124,
    VNX_TYPE_TLINK_HID1_DEVICE = 125,
} vnx_ExtModuleType_e;

/// The name of an ext type id; null outside 96 to 125 and for 107 to 111.
const char* vnx_ext_typeToString(int type);

#ifdef __cplusplus
}
#endif
