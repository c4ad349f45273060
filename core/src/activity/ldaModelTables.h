#pragma once

// Gaussian class models of the LDA activity classifiers: per fine class the
// mean feature vector, the upper triangle of the inverse covariance (row by
// row) and the log prefactor (log prior - 1/2 log((2 pi)^d |covariance|)).
// The values live in ldaModelTables.cpp, which the lda_trainer tool writes.

namespace vnx::activity::lda {

inline constexpr int kPhoneFeatures = 3;
inline constexpr int kPhoneClasses = 16;
inline constexpr int kWatchFeatures = 6;
inline constexpr int kWatchClasses = 18;
inline constexpr int kPhoneTriangle = kPhoneFeatures * (kPhoneFeatures + 1) / 2;
inline constexpr int kWatchTriangle = kWatchFeatures * (kWatchFeatures + 1) / 2;

extern const float phoneMean_[kPhoneClasses][kPhoneFeatures];
extern const float phoneInvCovUpperTriangle_[kPhoneClasses][kPhoneTriangle];
extern const float phonePrefactor_[kPhoneClasses];
extern const float watchMean_[kWatchClasses][kWatchFeatures];
extern const float watchInvCovUpperTriangle_[kWatchClasses][kWatchTriangle];
extern const float watchPrefactor_[kWatchClasses];

} // namespace vnx::activity::lda
