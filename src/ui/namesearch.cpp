#include "namesearch.h"

#include "store/recordcursor.h"
#include "store/sqldialect.h"
#include "textentry.h"
#include "widgets.h"
#include "windowhost.h"

#include <QLineEdit>

namespace NameSearch {

void prepareBox(QLineEdit* box, int limit, const QString& toolTip, bool selectAllOnFocus) {
    box->setToolTip(toolTip);
    TextEntry::Rules rules = TextEntry::Rules(TextEntry::UpperCase) | TextEntry::NoApostrophe;
    if (selectAllOnFocus) rules |= TextEntry::SelectAllOnFocus;
    TextEntry::attach(box, rules);
    TextEntry::setTypingLimit(box, limit);
    QPalette p = box->palette();
    p.setColor(QPalette::Base, TextEntry::toolTipBase());
    box->setPalette(p);
    Widgets::setTextColour(box, Found);
}

bool find(RecordCursor& cursor, QLineEdit* box) {
    WaitCursor wait;
    const bool found = cursor.findFirst(SqlDialect::beginsWith(QStringLiteral("Nome"), box->text()));
    if (!found) cursor.refresh();
    wait.release();
    Widgets::setTextColour(box, found ? Found : NotFound);
    return found;
}

}
