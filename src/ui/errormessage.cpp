#include "errormessage.h"

#include "store/dberror.h"

ErrorInfo ErrorInfo::from(const DbError& e) {
    return ErrorInfo{e.number(), e.description(), e.source()};
}

ErrorInfo ErrorInfo::from(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e)) return from(*db);
    return ErrorInfo{0, QString::fromLocal8Bit(e.what()), programTitle()};
}

QString ErrorInfo::format(const QString& pattern) const {
    // One pass, so that a "%" inside the description is left alone.
    QString out;
    out.reserve(pattern.size() + description.size() + source.size() + 12);
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('%') && i + 1 < pattern.size()) {
            const QChar n = pattern[i + 1];
            if (n == QLatin1Char('1')) { out += QString::number(number); ++i; continue; }
            if (n == QLatin1Char('2')) { out += description; ++i; continue; }
            if (n == QLatin1Char('3')) { out += source; ++i; continue; }
        }
        out += c;
    }
    return out;
}

QString errorText(const QStringList& lines, const ErrorInfo& error, const QString& pattern) {
    QStringList all = lines;
    all << error.format(pattern);
    return all.join(QLatin1Char('\r'));
}

void ShowError(const QStringList& lines, const ErrorInfo& error, const QString& pattern,
               const QString& title, MsgIcon icon) {
    MsgBox(errorText(lines, error, pattern), MsgButtons::Ok, icon, MsgAnswer::Ok, title);
}

bool askCloseWithoutWriting(const QStringList& lines, const ErrorInfo& error, const QString& pattern,
                            const QString& title) {
    const QString text = errorText(lines, error, pattern) +
                         QStringLiteral("\rFechar a janela assim mesmo, sem gravar o que foi digitado?");
    return MsgBox(text, MsgButtons::YesNo, MsgIcon::Critical, MsgAnswer::No, title) == MsgAnswer::Yes;
}
