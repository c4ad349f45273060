#pragma once

// Configuration of the LDA activity classifier inside the activity
// classifier's configuration. The layout is a byte format.

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vnx_ActivityClassifier_Lda_Config_s
{
    uint32_t kind;        ///< 0: the phone classifier; any other value: the watch classifier
    uint8_t windowLength; ///< N, classification frames per feature window (1-10 phone, 1-4 watch)
    uint8_t unused[3];
} vnx_ActivityClassifier_Lda_Config_s;

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(vnx_ActivityClassifier_Lda_Config_s) == 8);
static_assert(offsetof(vnx_ActivityClassifier_Lda_Config_s, kind) == 0);
static_assert(offsetof(vnx_ActivityClassifier_Lda_Config_s, windowLength) == 4);
#endif
