#pragma once

#include <QDateTime>
#include <QString>

// The serial number the program makes for an appliance that has none:
// two-digit year, month, day, hour and minute (each two digits), a random
// number from 00 to 98, "-" and the company's abbreviation (Sigla).
// "260305090704-AB" is 5 March 2026, 09:07, random number 4, abbreviation AB.
// Shared by the customer-appliance window and the intake.

class RecordCursor;

// Generated now (Clock::now()) with a fresh random number.
QString GeraNumSerie(const QString& sigla);

// Generated now with the Sigla of the company cursor's current row (a
// closed cursor or no row: the number ends with "-").
QString GeraNumSerie(const RecordCursor& dataEmpresa);

// The same for a given moment and random number (0 to 98).
QString GeraNumSerie(const QDateTime& when, int random, const QString& sigla);

// The widest number it makes, for the room of a column that shows it: the
// abbreviation at its limit of two capitals, at their widest.
QString widestNumSerie();
