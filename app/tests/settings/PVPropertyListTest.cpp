#include "settings/PVPropertyList.h"

#include <QDateTime>
#include <QSize>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

TEST(PropertyList, EveryTypeRoundTripsThroughXml)
{
    const QDateTime date(QDate(2026, 12, 10), QTime(18, 30, 15), Qt::UTC);
    const QVariantMap root{
        {"Version", 1},
        {"count", qlonglong{9'000'000'000}},
        {"negative", -5},
        {"real", 0.25},
        {"flag", true},
        {"data", QByteArray("\x00\x01\xff", 3)},
        {"Updated", date},
        {"text", QString::fromUtf8("Zeiger <&> \"ä\" 指针\ttab")},
        {"list", QVariantList{QVariantMap{{"_id", 1}}, QVariantList{}, QString()}},
        {"empty", QVariantMap{}},
    };
    const QByteArray xml = PVPropertyList::toXml(root);
    ASSERT_FALSE(xml.isEmpty());
    EXPECT_TRUE(xml.startsWith("<?xml"));
    const QVariantMap back = PVPropertyList::parse(xml).toMap();
    EXPECT_EQ(back, root);
    EXPECT_EQ(back.value("Updated").toDateTime(), date);
}

TEST(PropertyList, ValuesXmlCannotCarryAreRefused)
{
    const QVariant cases[] = {
        QVariantMap{{"s", QString("a\x01")}},
        QVariantMap{{QString("key\x1f"), 1}},
        QVariantList{QString(QChar(0xFFFF))},
        QVariantMap{{"nan", std::nan("")}},
        QVariantMap{{"huge", qulonglong{0xFFFFFFFFFFFFFFFFull}}},
        QVariantMap{{"object", QVariant::fromValue(QSize(1, 2))}},
    };
    for (const QVariant& value : cases) {
        EXPECT_FALSE(PVPropertyList::canHold(value));
        EXPECT_TRUE(PVPropertyList::toXml(value).isEmpty());
    }
    EXPECT_TRUE(PVPropertyList::canHold(QVariantMap{{"ok", QString("line\r\nbreak\ttab")}}));
}

TEST(PropertyList, MalformedInputGivesNoValue)
{
    const QByteArray cases[] = {
        "", "not a plist", "<plist><dict><key>a</key>", "bplist00\x01\x02", QByteArray(64, '\xff'),
    };
    for (const QByteArray& bytes : cases) {
        EXPECT_FALSE(PVPropertyList::parse(bytes).toMap().contains("a"));
    }
}

TEST(PropertyList, WritesAtomicallyAndReportsFailure)
{
    QTemporaryDir folder;
    const QString path = folder.path() + "/file.plist";
    ASSERT_TRUE(PVPropertyList::writeFile(path, QVariantMap{{"a", 1}}));
    EXPECT_EQ(PVPropertyList::readFile(path).toMap().value("a").toInt(), 1);
    QString error;
    EXPECT_FALSE(
        PVPropertyList::writeFile(folder.path() + "/missing/file.plist", QVariantMap{{"a", 1}}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(PVPropertyList::writeFile(path, QVariantMap{{"a", QString("\x02")}}, &error));
    EXPECT_EQ(PVPropertyList::readFile(path).toMap().value("a").toInt(), 1);
}

} // namespace
