#pragma once

// The DCD file store: one file per device under the property DCD_PATH
// (default "/tmp"), named after the device's domain GUID, holding exactly the
// bytes of the device's DCD record. A save replaces the file in one step
// (a complete new file renamed over the old one), so a crash or power cut
// mid-save leaves the previous calibration, never a damaged file.

#include <cstddef>

#include "calibration/dcdData.h"
#include "deviceDomain/DomainGuid.h"

namespace vnx {

class ZephraDcdManager
{
  public:
    /// Room a path buffer must have.
    static constexpr size_t kPathSize = 256;
    /// Largest DCD record stored.
    static constexpr size_t kMaxDcdSize = 260;

    /// Writes "<DCD_PATH>/<w0>-<w1>-<w2>-<w3>-1.dcd" into `path` (kPathSize
    /// bytes), the GUID taken as four little-endian 32-bit words in upper-case
    /// hexadecimal. False when it does not fit; `path` then holds no usable
    /// name.
    static bool createPath(const vnx_DomainGuid_s& guid, char* path);

    /// Saves the record's size-field count of bytes. 0 when all were
    /// written; -2 for a null record, a size above kMaxDcdSize or a path that
    /// does not fit; -1014 when the file cannot be made; 2 when writing it
    /// failed (the previous file stays as it was).
    static int writeDcd(const vnx_DomainGuid_s& guid, const vnx_dcdData_s* dcd);

    /// Reads at most `capacity` bytes of the device's file into `buffer`
    /// (unchecked: the module that takes the DCD validates it). 0 with the
    /// count in `*size` when at least one byte was read; 2 when there is no
    /// such regular file (first four bytes of the buffer zeroed) or it is
    /// empty. Links, FIFOs and other non-regular files count as missing.
    static int readDcd(const vnx_DomainGuid_s& guid, vnx_dcdData_s* buffer, size_t capacity, size_t* size);
};

} // namespace vnx
