#pragma once

#include <QApplication>
#include <QString>
#include <gtest/gtest.h>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// The main of every test executable:
//   #include "support/testmain.h"
//   TARVEL_TEST_MAIN()
// Started as another copy of the program (support/othercopy.h), does that
// copy's part. Otherwise makes the QApplication (offscreen platform when none
// is set), sets the pt-BR locale and Qt's pt-BR translation, installs a box
// hook that fails any message or input box no test scripted (so nothing can
// hang), then runs the tests.
namespace TestMain {
int run(int argc, char** argv);
}

#define TARVEL_TEST_MAIN() \
    int main(int argc, char** argv) { return TestMain::run(argc, argv); }
