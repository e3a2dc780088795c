#include "fonts.h"

#include <QFont>
#include <QStringList>

namespace Fonts {

void installSubstitutes() {
    struct Map {
        const char* family;
        QStringList faces;
    };
    const Map maps[] = {
        // Metric-compatible faces first.
        {"Arial", {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}},
        {"Arial Narrow", {QStringLiteral("Liberation Sans Narrow"), QStringLiteral("DejaVu Sans Condensed")}},
        {"Times New Roman", {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")}},
        {"Courier New", {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")}},
        // Lucida Sans: DejaVu Sans has its shape but is wider, so that the
        // printed title lines (laid out in columns of the face's average width)
        // overrun their boxes; the condensed cut matches its width.
        {"Lucida Sans", {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans")}},
        // Other humanist sans faces: DejaVu Sans is the closest in shape and width.
        {"Verdana", {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")}},
        {"Tahoma", {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans")}},
        {"MS Sans Serif", {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}},
        // No free casual face is installed; a plain, wide sans keeps the width.
        {"Comic Sans MS", {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")}},
    };
    for (const Map& m : maps) QFont::insertSubstitutions(QString::fromLatin1(m.family), m.faces);
}

}
