#pragma once

// The application's package opener: starts xdg-open detached with the path
// as its only argument. No shell takes part, so quotes, semicolons or "$(...)"
// in a file name are just characters of the name.

#include "platform/PVPackageOpener.h"

class PVXdgOpener final : public PVPackageOpener
{
  public:
    static constexpr const char* kProgram = "xdg-open";

    bool open(const QString& path, QString* error) override;
};
