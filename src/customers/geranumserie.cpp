#include "geranumserie.h"

#include "store/clock.h"
#include "store/recordcursor.h"

#include <QRandomGenerator>

QString GeraNumSerie(const QDateTime& when, int random, const QString& sigla) {
    const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    const QDate d = when.date();
    const QTime t = when.time();
    return QString::number(d.year()).right(2) + two(d.month()) + two(d.day()) + two(t.hour()) + two(t.minute()) +
           two(random) + QLatin1Char('-') + sigla;
}

QString GeraNumSerie(const QString& sigla) {
    return GeraNumSerie(Clock::now(), int(QRandomGenerator::global()->bounded(99)), sigla);
}

QString GeraNumSerie(const RecordCursor& dataEmpresa) {
    QString sigla;
    try {
        if (dataEmpresa.isOpen() && dataEmpresa.hasCurrent()) sigla = dataEmpresa.text(QStringLiteral("Sigla"));
    } catch (const std::exception&) {
        // No readable company row: the number ends with "-".
    }
    return GeraNumSerie(sigla);
}

QString widestNumSerie() {
    return GeraNumSerie(QDateTime(QDate(2026, 12, 28), QTime(23, 58)), 98, QStringLiteral("WW"));
}
