#pragma once

// The main-window fixture shared by the main-window and program tests.

#include "app/frmmdi.h"
#include "app/windowregistry.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "ui/windowhost.h"

#include <QAction>
#include <QDialog>
#include <gtest/gtest.h>
#include <memory>

// A main-window test: a start-up test with a log-in that lets ADMINISTRADOR
// in at once. The main window and the registered windows go when the test
// ends.
class MainWindowTest : public StartUpTest {
protected:
    void SetUp() override {
        StartUpTest::SetUp();
        FrmMdi::setLoginRunner([](QWidget*) {
            Modulo::NomeOperadorAtual = QStringLiteral("ADMINISTRADOR");
            return int(QDialog::Accepted);
        });
    }
    void TearDown() override {
        mdi.reset();
        FrmMdi::setLoginRunner({});
        WindowRegistry::clear();
        StartUpTest::TearDown();
    }

    // Loads the main window and runs its start-up timer (the log-in).
    FrmMdi* start() {
        mdi = std::make_unique<FrmMdi>();
        if (!mdi->ended()) timer("Timer1")->fire();
        return mdi.get();
    }
    WindowTimer* timer(const char* name) { return mdi->findChild<WindowTimer*>(name); }
    QAction* action(const char* name) { return mdi->findChild<QAction*>(name); }

    std::unique_ptr<FrmMdi> mdi;
};
