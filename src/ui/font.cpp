#include "ui/font.h"

#include <QStringList>

namespace gm::ui {

QFont uiFont(int pointSize)
{
    // The layouts were drawn for 8-point MS Sans Serif. Windows keeps that
    // only as a bitmap font in a few pixel sizes; Microsoft Sans Serif, on
    // every Windows since 2000 and what Windows maps its dialog font to, is
    // its scalable successor with the same metrics. Elsewhere Liberation
    // Sans (Arial's metrics) comes closest.
    QFont font;
    font.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("MS Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    return font;
}

QFont namedFont(const QString& family, int pointSize, bool bold)
{
    QFont font;
    font.setFamilies({family, QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

}  // namespace gm::ui
