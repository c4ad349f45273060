#include "PointerStyleFixture.h"
#include "localisation/PVLocalizedStringManager.h"
#include "platform/PVQtOpenPanel.h"
#include "settings/PVPointerStyleGridLayout.h"
#include "support/LogCapture.h"
#include "support/WidgetShots.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVFlippedView.h"
#include "ui/controls/PVImageView.h"
#include "ui/controls/PVRoundButton.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QMenu>
#include <QTemporaryDir>
#include <algorithm>

namespace {

const QString kImport = "pointer_import_tile";

/// A small picture file of `color` at `path`.
void writePicture(const QString& path, const QColor& color)
{
    QImage picture(24, 24, QImage::Format_ARGB32);
    picture.fill(color);
    ASSERT_TRUE(picture.save(path, "PNG"));
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(PointerStylePage, TilesFillFiveColumnsAndTheLastStylePinsTheDocumentHeight)
{
    const struct
    {
        const char* name;
        std::vector<std::tuple<quint64, quint64, QString>> records;
    } cases[] = {
        {"two built-in styles and the import tile",
         {{1, 0, "pointer_red_dot"}, {2, 0, "pointer_green_dot"}, {3, 2, kImport}}},
        {"seven styles",
         {{1, 0, "pointer_red_dot"},
          {2, 0, "pointer_green_dot"},
          {3, 0, "pointer_blue_ring"},
          {4, 0, "pointer_yellow_spot"},
          {5, 1, "a.png"},
          {6, 1, "b.png"},
          {7, 2, kImport}}},
    };
    open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setStyleRecords(c.records);
        clickTab(0);
        clickTab(1);
        const int count = static_cast<int>(c.records.size());
        const QList<PVPointStyleItem*> all = tiles();
        ASSERT_EQ(all.size(), std::max(count, 5));
        const int width = page->pointerStyleList()->flippedView()->width();
        const double side = PVPointerStyleGridLayout::tileSide(width);
        for (int i = 0; i < all.size(); ++i) {
            SCOPED_TRACE(i);
            const QRect tile = all[i]->geometry();
            EXPECT_EQ(all[i]->isHidden(), i >= count);
            EXPECT_EQ(tile.width(), tile.height()) << "square";
            EXPECT_NEAR(tile.width(), side, 1.0);
            const int column = i % 5;
            const int row = i / 5;
            if (column == 0) {
                EXPECT_EQ(tile.left(), 18);
            } else {
                EXPECT_NEAR(tile.left() - all[i - 1]->geometry().right() - 1, 28, 1) << "28 after the previous";
                EXPECT_EQ(tile.width(), all[i - 1]->width());
            }
            if (column == 4) {
                EXPECT_NEAR(width - tile.right() - 1, 18, 1);
            }
            if (row == 0) {
                EXPECT_EQ(tile.top(), 14);
            } else {
                const QRect above = all[(row - 1) * 5 + 4]->geometry();
                EXPECT_NEAR(tile.top() - above.bottom() - 1, 5, 1) << "under the column-4 tile above";
            }
            if (i < count) {
                EXPECT_EQ(all[i]->tagInteger(), std::get<0>(c.records[i]));
                EXPECT_EQ(all[i]->pointerTag(), std::get<1>(c.records[i]));
            }
        }
        const QRect last = all[count - 1]->geometry();
        EXPECT_EQ(page->pointerStyleList()->flippedView()->height(), last.bottom() + 1 + 7);
    }
}

TEST_F(PointerStylePage, TheImageTakesItsShareOfTheTileByPointerSizeLevel)
{
    openOnPage();
    const struct
    {
        quint64 level;
        double share;
    } cases[] = {{0, 0.5}, {1, 0.75}, {2, 1.0}, {3, 1.0}, {99, 1.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        page->pointerStyleList()->setImageSize(c.level);
        for (PVPointStyleItem* tile : tiles()) {
            EXPECT_EQ(tile->imageSize(), c.level);
            const QRect image = tile->imageView()->geometry();
            EXPECT_NEAR(image.width(), tile->width() * c.share, 1.0);
            EXPECT_EQ(image.width(), image.height());
            EXPECT_NEAR(image.center().x(), tile->rect().center().x(), 1.0) << "centred";
            EXPECT_NEAR(image.center().y(), tile->rect().center().y(), 1.0);
        }
    }
    // The level reaches tiles made later, by the grid's reload.
    page->setPointerStyles(app.styles.allPointerStyles());
    EXPECT_EQ(tiles().first()->imageSize(), 99u);
}

TEST_F(PointerStylePage, TheBorderShowsSelectionHoverAndPress)
{
    openOnPage();
    PVPointStyleItem* tile = tileOf(2);
    ASSERT_NE(tile, nullptr);
    const struct
    {
        bool selected, down, inside;
        QColor color;
        double width;
    } cases[] = {
        {true, false, false, themeBlueColor(), 3.0},
        {false, true, true, themeBlueColor(), 3.0},
        {false, true, false, themeBlueHighlightedColor(), 1.0},
        {false, false, true, themeBlueHighlightedColor(), 1.0},
        {false, false, false, Qt::transparent, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.selected << c.down << c.inside);
        tile->setSelected(c.selected);
        tile->setMouseDown(c.down);
        tile->setMouseIn(c.inside);
        const QImage shot = grabWidget(tile->window()).copy(QRect(tile->mapTo(tile->window(), QPoint()), tile->size()));
        EXPECT_EQ(tile->borderView()->borderColor(), c.color);
        if (c.width > 0) {
            EXPECT_EQ(tile->borderView()->borderWidth(), c.width);
        }
        // The left edge half way down: border colour inside the width,
        // the page's white beyond it.
        const int y = tile->height() / 2;
        if (c.width == 3.0) {
            EXPECT_TRUE(sameColor(shot.pixelColor(1, y), c.color, 12)) << describe(shot.pixelColor(1, y));
            EXPECT_EQ(shot.pixelColor(4, y), QColor(Qt::white));
        } else if (c.width == 1.0) {
            EXPECT_TRUE(sameColor(shot.pixelColor(0, y), c.color, 40)) << describe(shot.pixelColor(0, y));
            EXPECT_EQ(shot.pixelColor(2, y), QColor(Qt::white));
        } else {
            EXPECT_EQ(shot.pixelColor(0, y), QColor(Qt::white));
        }
    }
    tile->setMouseDown(false);

    // Hovering with the real pointer: the thin border, then none again.
    QTest::mouseMove(tile, tile->rect().center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return tile->borderView()->borderColor() == themeBlueHighlightedColor(); }));
    QTest::mouseMove(main->okButton(), QPoint(1, 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return tile->borderView()->borderColor() == QColor(Qt::transparent); }));
}

TEST_F(PointerStylePage, ClickingAStyleMakesItTheDevicesAndTellsTheOverlaysOnce)
{
    openOnPage();
    EXPECT_EQ(chosenId(), 1u);
    EXPECT_EQ(selectedTiles(), (std::vector<quint64>{1}));
    click(tileOf(3));
    EXPECT_EQ(chosenId(), 3u);
    EXPECT_EQ(selectedTiles(), (std::vector<quint64>{3}));
    EXPECT_EQ(styleChanges, 1);
    EXPECT_EQ(panel.shown, 0);
    // The selected tile's border is drawn in the window, the pointer over
    // it or not.
    PVPointStyleItem* tile = tileOf(3);
    const QImage shot = grabWidget(controller->window(), "pointer-style-selected");
    const QColor edge = shot.pixelColor(tile->mapTo(controller->window(), QPoint(1, tile->height() / 2)));
    EXPECT_TRUE(sameColor(edge, themeBlueColor(), 12)) << describe(edge);
}

TEST_F(PointerStylePage, CancellingTheChooserLeavesTheChosenStyle)
{
    openOnPage();
    click(tileOf(2));
    styleChanges = 0;
    click(tileOf(5));
    ASSERT_EQ(panel.shown, 1);
    EXPECT_EQ(panel.lastOptions.allowedFileTypes, (QStringList{"jpg", "jpeg", "png"}));
    EXPECT_TRUE(panel.lastOptions.allowsMultipleSelection);
    EXPECT_EQ(panel.lastParent, page);
    panel.answer(std::nullopt);
    EXPECT_EQ(chosenId(), 2u);
    EXPECT_EQ(selectedTiles(), (std::vector<quint64>{2}));
    EXPECT_EQ(styleIds(), (std::vector<quint64>{1, 2, 3, 4, 5}));
    EXPECT_EQ(styleChanges, 0);

    // OK with no file is a cancel too.
    click(tileOf(5));
    panel.answer(QStringList());
    EXPECT_EQ(chosenId(), 2u);
    EXPECT_EQ(styleIds(), (std::vector<quint64>{1, 2, 3, 4, 5}));
}

TEST_F(PointerStylePage, ImportingCopiesTheFirstFileAsANewSelectedCustomStyle)
{
    QTemporaryDir source;
    const QString first = source.filePath("first.png");
    const QString second = source.filePath("second.jpg");
    writePicture(first, Qt::magenta);
    writePicture(second, Qt::cyan);
    openOnPage();
    LogCapture log;
    click(tileOf(5));
    panel.answer(QStringList{first, second});

    EXPECT_TRUE(log.contains(DXLogLevelWarn, "You choosed too many files! Only the first file will be used."));
    EXPECT_EQ(styleIds(), (std::vector<quint64>{1, 2, 3, 4, 6, 5}));
    const PVPointerStyle& added = app.styles.allPointerStyles()[4];
    EXPECT_EQ(added.pointerTag(), 1u);
    EXPECT_EQ(chosenId(), 6u);
    EXPECT_EQ(selectedTiles(), (std::vector<quint64>{6}));
    EXPECT_EQ(styleChanges, 1);
    // A time-stamped name without extension, holding the first file.
    EXPECT_TRUE(QRegularExpression("^\\d{17}_[ \\d]{4}$").match(added.imageName()).hasMatch())
        << added.imageName().toStdString();
    EXPECT_EQ(contentsOf(PVFilePathManager::filePath(added.imageName())), contentsOf(first));
    ASSERT_NE(tileOf(6), nullptr);
    EXPECT_EQ(tileOf(6)->imageView()->image().pixelColor(12, 12), QColor(Qt::magenta));
    EXPECT_EQ(tiles().size(), 6);
}

TEST_F(PointerStylePage, AFileThatIsNoImageImportsWithAnEmptyTileAndAFailedCopyAddsNothing)
{
    QTemporaryDir source;
    const QString notes = source.filePath("notes.png");
    QFile file(notes);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    openOnPage();

    click(tileOf(5));
    panel.answer(QStringList{notes});
    ASSERT_NE(tileOf(6), nullptr);
    EXPECT_TRUE(tileOf(6)->imageView()->image().isNull());
    EXPECT_EQ(chosenId(), 6u);

    styleChanges = 0;
    click(tileOf(5));
    panel.answer(QStringList{source.filePath("gone.png")});
    EXPECT_EQ(styleIds(), (std::vector<quint64>{1, 2, 3, 4, 6, 5}));
    EXPECT_EQ(chosenId(), 6u);
    EXPECT_EQ(selectedTiles(), (std::vector<quint64>{6}));
    EXPECT_EQ(styleChanges, 0);
}

TEST_F(PointerStylePage, OnlyACustomStylesTileHasAMenuAndItsItemDeletesTheStyle)
{
    QTemporaryDir source;
    writePicture(source.filePath("mine.png"), Qt::blue);
    openOnPage();
    click(tileOf(5));
    panel.answer(QStringList{source.filePath("mine.png")});
    ASSERT_NE(tileOf(6), nullptr);
    const QString image = PVFilePathManager::filePath(app.styles.allPointerStyles()[4].imageName());
    ASSERT_TRUE(QFile::exists(image));

    for (quint64 id : {1, 5}) {
        SCOPED_TRACE(id);
        QTest::mouseClick(tileOf(id), Qt::RightButton, {}, QPoint(10, 10));
        EXPECT_EQ(tileOf(id)->contextMenu(), nullptr);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    }
    QTest::mouseClick(tileOf(6), Qt::RightButton, {}, QPoint(10, 10));
    QMenu* menu = tileOf(6)->contextMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == menu; }));
    EXPECT_EQ(menu->title(), "Menu");
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), PVLocalizedStringManager::sharedInstance().localizedStringAtKey("PV033"));

    // The deleted style stood before the import tile: the one before it is
    // chosen.
    styleChanges = 0;
    menu->actions()[0]->trigger();
    menu->close();
    runMainQueue();
    EXPECT_FALSE(QFile::exists(image));
    EXPECT_EQ(styleIds(), (std::vector<quint64>{1, 2, 3, 4, 5}));
    EXPECT_EQ(chosenId(), 4u);
    EXPECT_EQ(selectedTiles(), (std::vector<quint64>{4}));
    EXPECT_EQ(styleChanges, 1);
    EXPECT_EQ(tileOf(6), nullptr);
}

TEST_F(PointerStylePage, DeletingChoosesTheStyleThatTookThePlaceOrTheOneBeforeTheImportTile)
{
    setStyleRecords({{1, 0, "pointer_red_dot"}, {2, 1, "x"}, {3, 1, "y"}, {4, 1, "z"}, {5, 2, kImport}});
    openOnPage();
    const struct
    {
        quint64 id;
        std::vector<quint64> idsAfter;
        quint64 chosenAfter;
    } cases[] = {
        {3, {1, 2, 4, 5}, 4}, // the next style took its place
        {4, {1, 2, 5}, 2},    // the import tile took it: the one before
        {2, {1, 5}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        styleChanges = 0;
        const PVPointerStyle* style = app.styles.pointerStyleAtPKID(c.id);
        ASSERT_NE(style, nullptr) << testing::PrintToString(styleIds());
        page->pointerStyleListDeletePointerStyle(page->pointerStyleList(), *style);
        runMainQueue();
        EXPECT_EQ(styleIds(), c.idsAfter);
        EXPECT_EQ(chosenId(), c.chosenAfter);
        EXPECT_EQ(selectedTiles(), (std::vector<quint64>{c.chosenAfter}));
        EXPECT_EQ(styleChanges, 1);
        const QList<PVPointStyleItem*> shown = tiles();
        EXPECT_EQ(static_cast<size_t>(std::count_if(shown.begin(), shown.end(),
                                                    [](PVPointStyleItem* tile) { return !tile->isHidden(); })),
                  c.idsAfter.size());
    }
}

TEST_F(PointerStylePage, DeletingRemovesOnlyAPlainFileOfTheDocumentFolderAndTheRecordAlways)
{
    // Files beside the document folder that hand-edited records name.
    const QString outside = app.folder.home() + "/outside.png";
    writePicture(outside, Qt::red);
    writePicture(PVFilePathManager::filePath("kept"), Qt::green);
    QDir(app.folder.document()).mkdir("folder");
    const struct
    {
        QString name;
        bool removed;
        QString survivor; // a file that must stay
    } cases[] = {
        {"kept", true, {}},
        {"missing", false, {}},
        {"../outside.png", false, outside},
        {outside, false, outside},
        {"folder", false, app.folder.document() + "/folder"},
        {"..", false, app.folder.document()},
        {"", false, app.folder.document()},
    };
    quint64 id = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        setStyleRecords({{1, 0, "pointer_red_dot"}, {id, 1, c.name}, {20, 2, kImport}});
        std::optional<bool> removed;
        ASSERT_NE(app.styles.pointerStyleAtPKID(id), nullptr) << testing::PrintToString(styleIds());
        page->deletePointer(*app.styles.pointerStyleAtPKID(id),
                            [&removed](bool success, std::nullptr_t) { removed = success; });
        EXPECT_EQ(removed, std::optional<bool>(c.removed));
        EXPECT_EQ(styleIds(), (std::vector<quint64>{1, 20}));
        EXPECT_EQ(app.store.queryAllPointerStyle().size(), 2);
        if (!c.survivor.isEmpty()) {
            EXPECT_TRUE(QFileInfo::exists(c.survivor));
        }
        ++id;
    }
    EXPECT_FALSE(QFile::exists(PVFilePathManager::filePath("kept")));
    // No completion is fine too.
    setStyleRecords({{1, 0, "pointer_red_dot"}, {2, 1, "x"}});
    ASSERT_NE(app.styles.pointerStyleAtPKID(2), nullptr);
    page->deletePointer(*app.styles.pointerStyleAtPKID(2), nullptr);
    EXPECT_EQ(styleIds(), (std::vector<quint64>{1}));
}

TEST(QtOpenPanel, OpensAFileDialogOfExistingImagesWithoutWaitingAndAnswersOnClose)
{
    QTemporaryDir folder;
    writePicture(folder.filePath("one.png"), Qt::red);
    const auto window = activeWindow(QSize(300, 200));
    ASSERT_NE(window, nullptr);
    PVQtOpenPanel panel;
    for (bool accept : {true, false}) {
        SCOPED_TRACE(accept);
        std::optional<std::pair<bool, QStringList>> heard;
        PVOpenPanel::Options options{{"jpg", "jpeg", "png"}, true};
        panel.beginWithCompletion(window.get(), options,
                                  [&heard](bool ok, const QStringList& paths) { heard = {ok, paths}; });
        EXPECT_FALSE(heard.has_value()) << "returns before the user answers";
        QFileDialog* dialog = window->findChild<QFileDialog*>();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog->nameFilters(), QStringList{"*.jpg *.jpeg *.png"});
        EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
        dialog->setDirectory(folder.path());
        dialog->selectFile(folder.filePath("one.png"));
        QDialog* asDialog = dialog;
        if (accept) {
            asDialog->accept();
        } else {
            asDialog->reject();
        }
        ASSERT_TRUE(heard.has_value());
        EXPECT_EQ(heard->first, accept);
        EXPECT_EQ(heard->second, accept ? QStringList{folder.filePath("one.png")} : QStringList());
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->findChild<QFileDialog*>() == nullptr; }));
    }
}

} // namespace
