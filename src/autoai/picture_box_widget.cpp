#include "autoai/picture_box_widget.h"

#include <QPainter>
#include <QPen>

#include "ui/geometry.h"

namespace gm::autoai {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
}

void PictureBox::Cls()
{
    strokes_.clear();
    current_ = QPointF();
    update();
}

void PictureBox::Circle(QPointF centre, double radius)
{
    strokes_.push_back({radius > 0.0 ? Stroke::Kind::Circle : Stroke::Kind::Dot, foreColor_, centre, centre, radius});
    update();
}

void PictureBox::Line(QPointF from, QPointF to)
{
    strokes_.push_back({Stroke::Kind::Line, foreColor_, from, to, 0.0});
    current_ = to;
    update();
}

void PictureBox::PSet(QPointF point)
{
    strokes_.push_back({Stroke::Kind::Dot, foreColor_, point, point, 0.0});
    current_ = point;
    update();
}

void PictureBox::LineTo(QPointF point)
{
    Line(current_, point);
}

void PictureBox::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Twips to pixels; the pen keeps its width in pixels.
    painter.scale(1.0 / ui::kTwipsPerPixel, 1.0 / ui::kTwipsPerPixel);
    for (const Stroke& stroke : strokes_) {
        QPen pen(stroke.colour, kPenWidth);
        pen.setCosmetic(true);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        switch (stroke.kind) {
        case Stroke::Kind::Dot:
            painter.drawPoint(stroke.from);
            break;
        case Stroke::Kind::Circle:
            painter.drawEllipse(stroke.from, stroke.radius, stroke.radius);
            break;
        case Stroke::Kind::Line:
            painter.drawLine(stroke.from, stroke.to);
            break;
        }
    }
}

}  // namespace gm::autoai
