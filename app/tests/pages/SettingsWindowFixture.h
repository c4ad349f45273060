#pragma once

// The settings window over the application's model on a fresh settings
// folder, shown and active, with a receiver plugged in; clicks through QTest
// and the main queue's timers stepped by the test.

#include "platform/PVNotificationCenter.h"
#include "platform/PVNotificationNames.h"
#include "platform/PVWindowCloseWatcher.h"
#include "support/ApplicationModel.h"
#include "support/SteppedTimers.h"
#include "ui/controls/PVButton.h"
#include "ui/window/PVMainViewController.h"
#include "ui/window/PVMainViewModelAdapter.h"
#include "ui/window/PVMainWindowController.h"
#include "ui/window/PVTabButton.h"
#include "ui/window/PVTabStackView.h"
#include "ui/window/PVWindow.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

class SettingsWindow : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        PVWindowCloseWatcher::install();
        app.globals.setDongleInsert(true);
        controller = std::make_unique<PVMainWindowController>(adapter);
        main = controller->contentViewController();
    }

    /// Shows the window (again) and lets its buttons act.
    void open()
    {
        controller->showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
        timers.advance(1.0);
    }

    void clickTab(int index) { click(main->tabStackView()->tabButtons()[index]); }
    /// A click in the middle of a button; the next may come at once.
    void click(QWidget* button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        timers.advance(1.0);
    }
    /// Runs the work queued on the main queue.
    static void runMainQueue() { QCoreApplication::processEvents(); }

    static void post(const QString& name) { PVNotificationCenter::defaultCenter().post(name); }

    /// Which page containers show.
    std::vector<bool> pagesShown() const
    {
        std::vector<bool> shown;
        for (QWidget* container : main->pageContainers()) {
            shown.push_back(container->isVisible());
        }
        return shown;
    }

    SteppedTimers timers;
    ApplicationModel app;
    PVMainViewModelAdapter adapter{app.models, app.globals, app.styles, app.store};
    std::unique_ptr<PVMainWindowController> controller;
    PVMainViewController* main = nullptr;
};
