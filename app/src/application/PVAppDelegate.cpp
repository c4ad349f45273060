#include "application/PVAppDelegate.h"

#include "ui/window/PVMainViewModel.h"
#include "ui/window/PVMainWindowController.h"

#include <QMenu>
#include <QSystemTrayIcon>

#include <QStringList>
#include <algorithm>

namespace {

/// The number the component starts with ("3rc1" is 3, "beta" is 0).
unsigned long long leadingNumber(const QString& component)
{
    unsigned long long value = 0;
    for (const QChar c : component) {
        if (c < u'0' || c > u'9') {
            break;
        }
        // Saturate instead of wrapping: a garbled, very long component must
        // not turn into a small number.
        const unsigned long long digit = c.unicode() - u'0';
        value = value > (~0ULL - digit) / 10 ? ~0ULL : value * 10 + digit;
    }
    return value;
}

} // namespace

PVAppDelegate& PVAppDelegate::shareInstance()
{
    static PVAppDelegate delegate;
    return delegate;
}

PVAppDelegate::PVAppDelegate() = default;

PVAppDelegate::PVAppDelegate(PVLaunchParts parts) : launchParts(std::move(parts)) {}

PVAppDelegate::~PVAppDelegate()
{
    releaseWindows();
}

bool PVAppDelegate::upgradeAvailable() const
{
    return onlineVersion.has_value() && isNewerVersion(*onlineVersion, localVersion);
}

bool PVAppDelegate::isNewerVersion(const QString& online, const QString& local)
{
    const QStringList onlineParts = online.split(u'.');
    const QStringList localParts = local.split(u'.');
    const qsizetype count = std::max(onlineParts.size(), localParts.size());
    for (qsizetype i = 0; i < count; ++i) {
        const auto onlinePart = i < onlineParts.size() ? leadingNumber(onlineParts[i]) : 0;
        const auto localPart = i < localParts.size() ? leadingNumber(localParts[i]) : 0;
        if (onlinePart != localPart) {
            return onlinePart > localPart;
        }
    }
    return false;
}
