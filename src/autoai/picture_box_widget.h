// A panel that is drawn on with the classic picture-box operations (clear,
// circle, line, set a point, line from the current point, pen colour) in
// twips of the panel. The drawing is kept and painted again whenever the
// panel is uncovered, until it is cleared.
#pragma once

#include <QColor>
#include <QPointF>
#include <QWidget>
#include <vector>

namespace gm::autoai {

class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    // One drawn shape; points and radius in twips.
    struct Stroke {
        enum class Kind { Dot, Circle, Line };
        Kind kind = Kind::Dot;
        QColor colour;
        QPointF from;  // the dot, the circle's centre, or the line's start
        QPointF to;    // the line's end
        double radius = 0.0;
    };

    void Cls();
    void setForeColor(const QColor& colour) { foreColor_ = colour; }
    // A circle of radius 0 is a single dot.
    void Circle(QPointF centre, double radius);
    void Line(QPointF from, QPointF to);
    // Sets a single point; it becomes the current point.
    void PSet(QPointF point);
    // A line from the current point; its end becomes the current point.
    void LineTo(QPointF point);

    const std::vector<Stroke>& strokes() const { return strokes_; }

    // The pen width of every stroke, in pixels.
    static constexpr double kPenWidth = 1.5;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<Stroke> strokes_;
    QColor foreColor_ = Qt::black;
    QPointF current_;
};

}  // namespace gm::autoai
