// Window and control geometry in twips: 15 twips are one pixel at 96 dpi.
#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace gm::ui {

inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

constexpr QSize twipsSize(int width, int height)
{
    return QSize(twipsToPixels(width), twipsToPixels(height));
}

// Places a control at a rectangle given in twips, relative to its parent.
void placeTwips(QWidget* control, int left, int top, int width, int height);

// Puts a window in the middle of its owner, or of the screen when there is
// no visible owner.
void centreOn(QWidget* window, const QWidget* owner);

}  // namespace gm::ui
