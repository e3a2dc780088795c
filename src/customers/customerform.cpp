#include "customerform.h"

#include "ui/errormessage.h"
#include "ui/textentry.h"
#include "ui/widgets.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace CustomerForm {

namespace {
int charWidth(const QWidget* w) { return w->fontMetrics().horizontalAdvance(QLatin1Char('W')); }
}

QString field(int index) { return QString::fromLatin1(Fields[std::size_t(index)]); }

void makeBoxes(QWidget* owner, const Box* boxes, int count, int firstIndex, QLineEdit** txt, QLabel** lbl) {
    for (int i = 0; i < count; ++i) {
        const int n = firstIndex + i;
        txt[n] = new QLineEdit(owner);
        txt[n]->setObjectName(QStringLiteral("Txt(%1)").arg(n));
        TextEntry::setTypingLimit(txt[n], boxes[i].limit);
        txt[n]->setMinimumWidth(Widgets::boxWidthFor(owner, std::max(3, boxes[i].limit)));
        lbl[n] = new QLabel(QString::fromUtf8(boxes[i].caption), owner);
        lbl[n]->setObjectName(QStringLiteral("Lbl(%1)").arg(n));
    }
}

void layOut(QGridLayout* grid, QLineEdit* const* txt, QLabel* const* lbl, int firstRow, bool nameLabel) {
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(5);
    const auto place = [&](int i, int row, int col, int span = 1) {
        grid->addWidget(lbl[i], firstRow + row, col, Qt::AlignRight);
        grid->addWidget(txt[i], firstRow + row, col + 1, 1, span);
    };
    if (nameLabel) {
        place(0, 0, 0, 5);
    } else {
        lbl[0]->hide();
        grid->addWidget(txt[0], firstRow, 0, 1, 6);
    }
    place(1, 1, 0, 5);
    place(2, 2, 0);
    place(3, 2, 2, 3);
    place(4, 3, 0);
    place(5, 3, 2);
    place(6, 3, 4);
    place(7, 4, 0);
    place(8, 4, 2, 3);
    place(9, 5, 0);
    place(10, 5, 2, 3);
    place(11, 6, 0, 5);
    // The state is two letters, shown whole inside the box's frame.
    txt[5]->setMinimumWidth(charWidth(txt[5]) * 2 + 8);
    txt[5]->setMaximumWidth(charWidth(txt[5]) * 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(5, 1);
}

QHBoxLayout* operatorBar(QWidget* owner, QLineEdit* txtOperador, std::initializer_list<QPushButton*> buttons) {
    auto* bar = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("Operador:"), owner);
    caption->setObjectName(QStringLiteral("LblOperador"));
    txtOperador->setFont(QFont(QStringLiteral("Verdana"), owner->font().pointSize()));
    txtOperador->setFixedWidth(charWidth(owner) * 11);
    bar->addWidget(caption);
    bar->addWidget(txtOperador);
    bar->addStretch(1);
    for (QPushButton* b : buttons) bar->addWidget(b);
    return bar;
}

bool requireFilled(QLineEdit* box, Required which, MsgIcon icon, const QString& title) {
    if (!box->text().trimmed().isEmpty()) return true;
    MsgBox(which == Required::Nome ? QStringLiteral("'E obrigatório preencher o Nome do Cliente !")
                                   : QStringLiteral("'E obrigatório preencher o Endereço do Cliente !"),
           MsgButtons::Ok, icon, std::nullopt, title);
    box->setFocus();
    return false;
}

void showDbError(Task task, const QStringList& what, const std::exception& error, const QString& title,
                 const QString& pattern) {
    QStringList lines = what;
    lines << QStringLiteral("Tente Reparar e Compactar o Banco de Dados e Tente Novamente");
    if (task == Task::Write)
        lines << QStringLiteral("Se o problema persistir Contacte o Suporte Técnico e Informe o erro Abaixo");
    ShowError(lines, ErrorInfo::from(error), pattern, title);
}

}
