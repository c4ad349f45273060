#include "settings/PVPointerStyleManager.h"
#include "settings/PVFilePathManager.h"
#include "settings/PVPlistManager.h"
#include "support/LogCapture.h"
#include "support/SettingsFolder.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

QList<quint64> tagsOf(const PVPointerStyleManager& manager)
{
    QList<quint64> tags;
    for (const PVPointerStyle& style : manager.allPointerStyles()) {
        tags.append(style.pointerTag());
    }
    return tags;
}

int countOf(const QList<quint64>& tags, quint64 tag)
{
    return static_cast<int>(tags.count(tag));
}

TEST(PointerStyles, ImportTileLeavesWithTheSixthCustomImageAndComesBack)
{
    SettingsFolder folder;
    PVPlistManager store;
    PVPointerStyleManager manager(store);
    EXPECT_EQ(countOf(tagsOf(manager), 2), 1);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(countOf(tagsOf(manager), 2), 1) << "with " << i << " custom images";
        store.addPointerStyle(QString("custom%1.png").arg(i));
        manager.updatePointerStyleArray();
    }
    EXPECT_EQ(countOf(tagsOf(manager), 1), 6);
    EXPECT_EQ(countOf(tagsOf(manager), 2), 0);
    EXPECT_EQ(tagsOf(manager).last(), 1u);

    const quint64 firstCustom = manager.allPointerStyles()[countOf(tagsOf(manager), 0)]._id();
    store.removePointerStyle(firstCustom);
    manager.updatePointerStyleArray();
    EXPECT_EQ(countOf(tagsOf(manager), 1), 5);
    EXPECT_EQ(tagsOf(manager).last(), 2u);
}

TEST(PointerStyles, SevenCustomRecordsListTheFirstSixById)
{
    SettingsFolder folder;
    PVPlistManager store;
    for (int i = 0; i < 7; ++i) {
        store.addPointerStyle(QString("c%1.png").arg(i));
    }
    PVPointerStyleManager manager(store);
    QStringList custom;
    for (const PVPointerStyle& style : manager.allPointerStyles()) {
        if (style.pointerTag() == PVPointerTagCustom) {
            custom.append(style.imageName());
        }
    }
    EXPECT_EQ(custom, (QStringList{"c0.png", "c1.png", "c2.png", "c3.png", "c4.png", "c5.png"}));
    EXPECT_EQ(countOf(tagsOf(manager), 2), 0);
}

TEST(PointerStyles, ImagesComeFromResourcesOrTheDocumentFolder)
{
    SettingsFolder folder;
    PVPlistManager store;
    QImage picture(16, 8, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(PVFilePathManager::filePath("mine.png")));
    store.addPointerStyle("mine.png");
    store.addPointerStyle("gone.png");
    PVPointerStyleManager manager(store);
    for (const PVPointerStyle& style : manager.allPointerStyles()) {
        if (style.imageName() == "gone.png") {
            EXPECT_TRUE(style.image().isNull());
        } else if (style.imageName() == "mine.png") {
            EXPECT_EQ(style.image().size(), QSize(16, 8));
        } else {
            EXPECT_FALSE(style.image().isNull()) << style.imageName().toStdString();
        }
    }
    const PVPointerStyle* defaultStyle = manager.pointerStyleAtPKID(1);
    ASSERT_NE(defaultStyle, nullptr);
    EXPECT_EQ(defaultStyle->pointerTag(), PVPointerTagBuiltIn);
}

TEST(PointerStyles, LookupOfAMissingOrSharedIdWarns)
{
    SettingsFolder folder;
    PVPlistManager store;
    QVariantList styles = store.queryAllPointerStyle();
    styles.append(QVariantMap{{"_id", 1}, {"tag", 1}, {"image_name", "twin.png"}});
    store.updateToWholeData(styles, "Pointer_Style");
    PVPointerStyleManager manager(store);
    LogCapture log;
    EXPECT_EQ(manager.pointerStyleAtPKID(999), nullptr);
    const PVPointerStyle* first = manager.pointerStyleAtPKID(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->pointerTag(), PVPointerTagBuiltIn);
    int warnings = 0;
    for (const DXLogEntry& entry : log.entries()) {
        warnings += entry.level == DXLogLevelWarn ? 1 : 0;
    }
    EXPECT_EQ(warnings, 2);
}

TEST(PointerStyles, RecordWithoutAStringNameHasAnEmptyName)
{
    const PVPointerStyle style(QVariantMap{{"_id", 4}, {"tag", 0}, {"image_name", 12}});
    EXPECT_EQ(style._id(), 4u);
    EXPECT_TRUE(style.imageName().isEmpty());
    EXPECT_TRUE(style.image().isNull());
}

} // namespace
