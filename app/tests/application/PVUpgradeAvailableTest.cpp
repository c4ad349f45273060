#include "application/PVAppDelegate.h"

#include <gtest/gtest.h>

namespace {

struct UpgradeCase
{
    std::optional<QString> online;
    const char* local;
    bool upgrade;
};

TEST(UpgradeAvailable, ComparesOnlineAgainstRunningVersion)
{
    const UpgradeCase cases[] = {
        {QStringLiteral("1.3.0"), "1.2.9", true},
        {QStringLiteral("1.2.9"), "1.3.0", false},
        {QStringLiteral("1.2.3"), "1.2.3", false},
        {std::nullopt, "1.2.3", false},
        // Missing components count as 0 on either side.
        {QStringLiteral("1.2"), "1.2.3", false},
        {QStringLiteral("1.2.3"), "1.2", true},
        {QStringLiteral("1.2"), "1.2.0", false},
        {QStringLiteral("1.2.0.1"), "1.2", true},
        // Components are numbers, not text.
        {QStringLiteral("1.10"), "1.9", true},
        {QStringLiteral("1.9"), "1.10", false},
        {QStringLiteral("2"), "1.99.99", true},
        // Leading digits count; a component without any is 0.
        {QStringLiteral("1.3rc1"), "1.2", true},
        {QStringLiteral("1.beta"), "1.0", false},
        {QStringLiteral(""), "1.0.0", false},
        {QStringLiteral("garbled"), "1.0.0", false},
        // A huge component saturates instead of wrapping to something small.
        {QStringLiteral("1.99999999999999999999999"), "1.5", true},
    };
    PVAppDelegate delegate;
    for (const auto& c : cases) {
        delegate.onlineVersion = c.online;
        delegate.localVersion = QString::fromLatin1(c.local);
        EXPECT_EQ(delegate.upgradeAvailable(), c.upgrade)
            << (c.online ? c.online->toStdString() : "(none)") << " against " << c.local;
    }
}

TEST(UpgradeAvailable, RunningVersionIsTheProgramsOwn)
{
    EXPECT_EQ(PVAppDelegate::shareInstance().localVersion, QStringLiteral(PELVARO_VERSION));
}

} // namespace
