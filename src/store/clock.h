#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

// The clock that decides "today" and "now". Tests set it.
namespace Clock {
QDateTime now();
QDate today();
QTime time();
void set(const QDateTime& fixed);   // an invalid value returns to the system clock
}
