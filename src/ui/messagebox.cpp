#include "messagebox.h"

#include "windowhost.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

namespace {

BoxHook* g_hook = nullptr;

// The carriage return alone is the line break of the program's messages.
QString shownText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString buttonCaption(MsgAnswer a) {
    switch (a) {
    case MsgAnswer::Ok: return QStringLiteral("OK");
    case MsgAnswer::Cancel: return QStringLiteral("Cancelar");
    case MsgAnswer::Yes: return QStringLiteral("Sim");
    case MsgAnswer::No: return QStringLiteral("Não");
    }
    return {};
}

QMessageBox::ButtonRole buttonRole(MsgAnswer a) {
    switch (a) {
    case MsgAnswer::Ok: return QMessageBox::AcceptRole;
    case MsgAnswer::Cancel: return QMessageBox::RejectRole;
    case MsgAnswer::Yes: return QMessageBox::YesRole;
    case MsgAnswer::No: return QMessageBox::NoRole;
    }
    return QMessageBox::AcceptRole;
}

QMessageBox::Icon boxIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None: return QMessageBox::NoIcon;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// Answers valid for a set of buttons, in button order.
QList<MsgAnswer> answersOf(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok: return {MsgAnswer::Ok};
    case MsgButtons::OkCancel: return {MsgAnswer::Ok, MsgAnswer::Cancel};
    case MsgButtons::YesNo: return {MsgAnswer::Yes, MsgAnswer::No};
    case MsgButtons::YesNoCancel: return {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel};
    }
    return {MsgAnswer::Ok};
}

// The answer of Esc and of the close box.
MsgAnswer escapeAnswer(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel: return MsgAnswer::Cancel;
    case MsgButtons::YesNo: return MsgAnswer::No;
    }
    return MsgAnswer::Ok;
}

} // namespace

QString programTitle() { return QStringLiteral("Tarvel"); }

BoxHook* setBoxHook(BoxHook* hook) { return std::exchange(g_hook, hook); }

MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                 std::optional<MsgAnswer> defaultButton, const QString& title) {
    const QList<MsgAnswer> answers = answersOf(buttons);
    const MsgAnswer def = (defaultButton && answers.contains(*defaultButton)) ? *defaultButton : answers.first();

    ShownBox box;
    box.kind = ShownBox::Kind::Message;
    box.text = text;
    box.title = title.isEmpty() ? programTitle() : title;
    box.icon = icon;
    box.buttons = buttons;
    box.defaultButton = def;
    if (g_hook) {
        const MsgAnswer a = g_hook->messageBox(box);
        return answers.contains(a) ? a : def;
    }

    QMessageBox mb(boxIcon(icon), box.title, shownText(text), QMessageBox::NoButton, WindowHost::dialogParent());
    mb.setTextFormat(Qt::PlainText);
    QList<QPair<QAbstractButton*, MsgAnswer>> made;
    for (MsgAnswer a : answers) {
        QPushButton* b = mb.addButton(buttonCaption(a), buttonRole(a));
        made.append({b, a});
        if (a == def) mb.setDefaultButton(b);
        if (a == escapeAnswer(buttons)) mb.setEscapeButton(b);
    }
    mb.exec();
    for (const auto& [button, answer] : made)
        if (mb.clickedButton() == button) return answer;
    return escapeAnswer(buttons);
}

std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& defaultText,
                                TextEntry::Rules rules) {
    ShownBox box;
    box.kind = ShownBox::Kind::Input;
    box.text = prompt;
    box.title = title.isEmpty() ? programTitle() : title;
    box.buttons = MsgButtons::OkCancel;
    box.defaultButton = MsgAnswer::Ok;
    box.defaultText = defaultText;
    if (g_hook) return g_hook->inputBox(box);

    QInputDialog dlg(WindowHost::dialogParent());
    dlg.setInputMode(QInputDialog::TextInput);
    dlg.setWindowTitle(box.title);
    dlg.setLabelText(shownText(prompt));
    dlg.setTextValue(defaultText);
    dlg.setOkButtonText(QStringLiteral("OK"));
    dlg.setCancelButtonText(QStringLiteral("Cancelar"));
    if (rules)
        if (auto* field = dlg.findChild<QLineEdit*>()) TextEntry::attach(field, rules);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.textValue();
}
