#pragma once

#include "messagebox.h"

#include <QStringList>
#include <exception>

class DbError;

// The number, description and source of a failure, as the error messages of
// the windows show them.
struct ErrorInfo {
    int number = 0;
    QString description;
    QString source;

    static ErrorInfo from(const DbError& e);
    // A DbError gives its own fields; any other exception gives number 0,
    // its what() text and the program's title as source.
    static ErrorInfo from(const std::exception& e);

    // Fills a pattern: %1 the number, %2 the description, %3 the source,
    // e.g. "%1_%2_%3", "%1 %2 %3", "%2__%1", "%2__ERRO: %1".
    QString format(const QString& pattern) const;
};

// Shows the message of a failed task: the given lines, then the error line
// made from the pattern, joined with the line break "\r". Critical icon, OK.
//   catch (const std::exception& e) {
//       ShowError({"Ocorreu um Erro ao tentar Cadastrar esta Marca de Aparelho!",
//                  "Se o Problema persistir, Contacte o Suporte Técnico"},
//                 ErrorInfo::from(e), "%1_%2_%3", "Configurações Tarvel");
//   }
void ShowError(const QStringList& lines, const ErrorInfo& error,
               const QString& pattern, const QString& title = {},
               MsgIcon icon = MsgIcon::Critical);

// The text ShowError shows (for windows that need it elsewhere).
QString errorText(const QStringList& lines, const ErrorInfo& error, const QString& pattern);

// After a write on closing a window failed: the message of the failure
// (lines and error line as ShowError gives them) asks whether to close the
// window all the same, without what was typed (critical icon, Yes/No, No the
// default). True when the operator chooses to close.
bool askCloseWithoutWriting(const QStringList& lines, const ErrorInfo& error, const QString& pattern,
                            const QString& title);
