#include "update/DXZipEntryName.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

namespace {

constexpr uint32_t kUnixHost = 3;
constexpr uint32_t kFileTypeMask = 0170000;
constexpr uint32_t kSymbolicLinkType = 0120000;
constexpr uint32_t kUtf8NameFlag = 1u << 11;

} // namespace

QString DXZipEntryNameText(const QByteArray& name, uint32_t generalPurposeFlag)
{
    if ((generalPurposeFlag & kUtf8NameFlag) != 0) {
        return QString::fromUtf8(name);
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(name);
    return utf8.hasError() ? QString::fromLatin1(name) : text;
}

bool DXZipEntryNameIsSafe(const QString& name)
{
    if (name.isEmpty() || name.contains(QChar(u'\0'))) {
        return false;
    }
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\'))) {
        return false;
    }
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (drive.match(name).hasMatch()) {
        return false;
    }
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    const QStringList components = name.split(separators);
    return !components.contains(QStringLiteral(".."));
}

bool DXZipEntryIsSymbolicLink(uint32_t versionMadeBy, uint32_t externalAttributes)
{
    return (versionMadeBy >> 8) == kUnixHost && ((externalAttributes >> 16) & kFileTypeMask) == kSymbolicLinkType;
}

uint32_t DXZipEntryUnixMode(uint32_t versionMadeBy, uint32_t externalAttributes)
{
    return (versionMadeBy >> 8) == kUnixHost ? (externalAttributes >> 16) & 07777 : 0;
}
