#pragma once

#include <QString>
#include <stdexcept>

// A database failure as the windows report it: number, description, source.
class DbError : public std::runtime_error {
public:
    DbError(int number, QString description, QString source)
        : std::runtime_error(description.toStdString()),
          m_number(number), m_description(std::move(description)), m_source(std::move(source)) {}

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const QString& source() const { return m_source; }

private:
    int m_number;
    QString m_description;
    QString m_source;
};

// The source that the store's errors name.
inline QString dbErrorSource() { return QStringLiteral("Banco de Dados"); }

// The cause of a failure of the database engine (an SQLite result code,
// primary or extended) in the operator's words: full disk, read-only file or
// folder, file in use, read or write error, damaged file. A code with no
// cause of its own gives a general line followed by the engine's text.
// Every DbError made from an engine failure carries this as its description.
QString engineCause(int code, const QString& engineText = {});

// Error numbers of our own for conditions that are not engine errors.
namespace DbErrorCode {
constexpr int FileNotFound = 3024;     // the database file is missing
constexpr int NotADatabase = 3343;     // unrecognised file or wrong password
constexpr int NoCurrentRecord = 3021;  // field read/edit without a current row
constexpr int UnknownField = 3265;     // no field of that name
constexpr int NotInEditMode = 3020;    // update or field write without edit/add
constexpr int BadCriterion = 3077;     // malformed criterion or statement
constexpr int ReadOnly = 3027;         // cursor cannot be updated
constexpr int NumericOverflow = 3349;  // a number beyond what its field holds
constexpr int Busy = 3260;             // another copy held the file longer than the wait limit
constexpr int NotAllowed = 3112;       // a criterion or source asked for more than a read of its table
constexpr int TookTooLong = 3059;      // a find or list ran past the time limit and was stopped
constexpr int InvalidText = 3075;      // a text holds a character that no criterion can carry
constexpr int RecordDeleted = 3167;    // the row was deleted (by another copy) before the write
constexpr int Unconfirmed = 3197;      // a write's COMMIT failed and the file could not be read to tell whether it stood
}
