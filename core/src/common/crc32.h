#pragma once

// CRC-32 that protects the calibration records and other stored blocks: the
// reflected polynomial 0xEDB88320, start value 0xFFFFFFFF and final complement
// (the common check value of "123456789" is 0xCBF43926).

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/// Start state 0xFFFFFFFF.
uint32_t crc32_init(void);
/// Folds the low 8 bits of `byte` into *state (nothing for a null state).
void crc32_step(uint32_t* state, uint32_t byte);
/// The finished CRC of a state: its complement.
uint32_t crc32_read(uint32_t state);
/// The finished CRC of `length` bytes at `data`; 0 for a length of 0 (or null data).
uint32_t crc32_process(const void* data, uint32_t length);

#ifdef __cplusplus
}
#endif
