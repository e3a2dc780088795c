#include "sqldialect.h"

#include "currency.h"
#include "dberror.h"

#include <QDate>
#include <QRegularExpression>

namespace SqlDialect {

namespace {

DbError malformed(const QString& text, const QString& why) {
    return DbError(DbErrorCode::BadCriterion,
                   QStringLiteral("Erro de sintaxe na expressão '%1': %2").arg(text, why),
                   dbErrorSource());
}

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

// #h:mm[:ss]# -> 'HH:mm:ss', as the store keeps times; empty when inner is no time.
QString timeLiteralFromDialect(const QString& inner, const QString& whole) {
    static const QRegularExpression re(QStringLiteral(R"(^\s*(\d{1,2}):(\d{2})(?::(\d{2}))?\s*$)"));
    const auto m = re.match(inner);
    if (!m.hasMatch()) return {};
    const QTime t(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).isEmpty() ? 0 : m.captured(3).toInt());
    if (!t.isValid()) throw malformed(whole, QStringLiteral("hora inválida #%1#").arg(inner));
    return QLatin1Char('\'') + t.toString(QStringLiteral("HH:mm:ss")) + QLatin1Char('\'');
}

// CCur(n[.nnnn]) at text[from] (just after the word) -> the amount in
// ten-thousandths, as the store keeps money; sets `end` past the ")".
// Empty when what follows is not a plain amount.
QString currencyFromDialect(const QString& text, int from, int& end) {
    static const QRegularExpression re(QStringLiteral(R"(\G\s*\(\s*(-?)(\d{1,14})(?:\.(\d{1,4}))?\s*\))"));
    const auto m = re.match(text, from, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
    if (!m.hasMatch()) return {};
    end = int(m.capturedEnd());
    const qint64 raw = m.captured(2).toLongLong() * Currency::Scale +
                       m.captured(3).leftJustified(4, QLatin1Char('0')).toLongLong();
    return QString::number(m.captured(1).isEmpty() ? raw : -raw);
}

// #m/d/yyyy# or #m/d/yyyy h:mm[:ss]# -> 'yyyy-MM-dd[ HH:mm:ss]'
QString dateLiteralFromDialect(const QString& inner, const QString& whole) {
    const QString time = timeLiteralFromDialect(inner, whole);
    if (!time.isEmpty()) return time;
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*(\d{1,2})/(\d{1,2})/(\d{2,4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    const auto m = re.match(inner);
    if (!m.hasMatch()) throw malformed(whole, QStringLiteral("data inválida #%1#").arg(inner));
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2) year += year < 30 ? 2000 : 1900;
    const QDate d(year, m.captured(1).toInt(), m.captured(2).toInt());
    if (!d.isValid()) throw malformed(whole, QStringLiteral("data inválida #%1#").arg(inner));
    QString out = d.toString(QStringLiteral("yyyy-MM-dd"));
    if (!m.captured(4).isEmpty()) {
        out += QStringLiteral(" %1:%2:%3")
                   .arg(m.captured(4).toInt(), 2, 10, QLatin1Char('0'))
                   .arg(m.captured(5))
                   .arg(m.captured(6).isEmpty() ? QStringLiteral("00") : m.captured(6));
    }
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

} // namespace

QString translate(const QString& typed) {
    // A NUL would end the statement early for the engine and hide the rest.
    if (typed.contains(QChar(0))) throw malformed(QString(typed).replace(QChar(0), QLatin1Char(' ')), QStringLiteral("caractere nulo"));
    const QString text = storedText(typed);
    QString out;
    out.reserve(text.size() + 8);
    const int n = int(text.size());
    int i = 0;
    // Parentheses outside literals: a criterion stays inside the place the
    // cursor gives it in its statement.
    int depth = 0;
    while (i < n) {
        const QChar c = text[i];
        const QChar next = i + 1 < n ? text[i + 1] : QChar();
        if ((c == QLatin1Char('-') && next == QLatin1Char('-')) || (c == QLatin1Char('/') && next == QLatin1Char('*'))) {
            throw malformed(text, QStringLiteral("comentário não permitido"));
        } else if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
            depth += c == QLatin1Char('(') ? 1 : -1;
            if (depth < 0) throw malformed(text, QStringLiteral("')' sem '('"));
            out += c;
            ++i;
        } else if (c == QLatin1Char('\'')) {
            // 'text' with '' inside: copied as it is.
            int j = i + 1;
            for (;;) {
                if (j >= n) throw malformed(text, QStringLiteral("texto sem fim"));
                if (text[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && text[j + 1] == QLatin1Char('\'')) { j += 2; continue; }
                    break;
                }
                ++j;
            }
            out += text.mid(i, j - i + 1);
            i = j + 1;
        } else if (c == QLatin1Char('"')) {
            // "text" is a text literal in the desktop dialect.
            int j = i + 1;
            QString value;
            for (;;) {
                if (j >= n) throw malformed(text, QStringLiteral("texto sem fim"));
                if (text[j] == QLatin1Char('"')) {
                    if (j + 1 < n && text[j + 1] == QLatin1Char('"')) { value += QLatin1Char('"'); j += 2; continue; }
                    break;
                }
                value += text[j];
                ++j;
            }
            out += quote(value);
            i = j + 1;
        } else if (c == QLatin1Char('[')) {
            const int j = int(text.indexOf(QLatin1Char(']'), i + 1));
            if (j < 0) throw malformed(text, QStringLiteral("nome sem ']'"));
            const QString name = text.mid(i + 1, j - i - 1);
            out += QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
            i = j + 1;
        } else if (c == QLatin1Char('#')) {
            const int j = int(text.indexOf(QLatin1Char('#'), i + 1));
            if (j < 0) throw malformed(text, QStringLiteral("data sem '#'"));
            out += dateLiteralFromDialect(text.mid(i + 1, j - i - 1), text);
            i = j + 1;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            int j = i;
            while (j < n && isWordChar(text[j])) ++j;
            const QString word = text.mid(i, j - i);
            int end = j;
            QString money;
            if (word.compare(QLatin1String("CCur"), Qt::CaseInsensitive) == 0) money = currencyFromDialect(text, j, end);
            if (!money.isEmpty()) {
                out += money;
                i = end;
                continue;
            }
            if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) out += QLatin1Char('1');
            else if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) out += QLatin1Char('0');
            else out += word;
            i = j;
        } else if (c == QLatin1Char('&')) {
            out += QStringLiteral("||");
            ++i;
        } else if (c == QLatin1Char(';')) {
            // A trailing semicolon is allowed; anything after it is not.
            for (int j = i + 1; j < n; ++j)
                if (!text[j].isSpace()) throw malformed(text, QStringLiteral("mais de uma instrução"));
            break;
        } else {
            out += c;
            ++i;
        }
    }
    if (depth != 0) throw malformed(text, QStringLiteral("'(' sem ')'"));
    return out;
}

QString storedText(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    // Most texts have no surrogate at all: no copy then.
    while (i < n && !text[i].isSurrogate()) ++i;
    if (i == n) return text;
    QString out = text;
    for (; i < n; ++i) {
        const QChar c = out[i];
        if (c.isHighSurrogate() && i + 1 < n && out[i + 1].isLowSurrogate()) { ++i; continue; }
        if (c.isSurrogate()) out[i] = QChar(QChar::ReplacementCharacter);
    }
    return out;
}

QString likePrefix(const QString& pattern) {
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('#')) break;
        if (c == QLatin1Char('[')) {
            // [x] is the character x; any other set ends the literal start.
            if (i + 2 < pattern.size() && pattern[i + 2] == QLatin1Char(']') && pattern[i + 1] != QLatin1Char('!')) {
                out += pattern[i + 1];
                i += 2;
                continue;
            }
            break;
        }
        out += c;
    }
    return out;
}

QString quote(const QString& text) {
    if (text.contains(QChar(0)))
        throw DbError(DbErrorCode::InvalidText,
                      QStringLiteral("O texto contém um caractere nulo, que não pode ser pesquisado nem gravado "
                                     "num critério."),
                      dbErrorSource());
    QString q = storedText(text);
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

QString dateLiteral(const QDate& date) {
    return QStringLiteral("#%1/%2/%3#").arg(date.month()).arg(date.day()).arg(date.year());
}

QString timeLiteral(const QTime& time) {
    return QLatin1Char('#') + time.toString(QStringLiteral("H:mm:ss")) + QLatin1Char('#');
}

QString currencyLiteral(const Currency& amount) {
    const qint64 raw = amount.raw();
    const quint64 mag = raw < 0 ? quint64(0) - quint64(raw) : quint64(raw);
    QString out = QStringLiteral("CCur(");
    if (raw < 0) out += QLatin1Char('-');
    out += QString::number(mag / quint64(Currency::Scale));
    QString frac = QString::number(mag % quint64(Currency::Scale)).rightJustified(4, QLatin1Char('0'));
    while (frac.endsWith(QLatin1Char('0'))) frac.chop(1);
    if (!frac.isEmpty()) out += QLatin1Char('.') + frac;
    return out + QLatin1Char(')');
}

QString likeLiteral(const QString& typed) {
    QString out;
    out.reserve(typed.size());
    for (QChar c : storedText(typed)) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('#') || c == QLatin1Char('['))
            out += QLatin1Char('[') + c + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

QString beginsWith(const QString& field, const QString& typed) {
    return field + QStringLiteral(" LIKE ") + quote(likeLiteral(typed) + QLatin1Char('*'));
}

}
