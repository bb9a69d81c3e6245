#pragma once
// One line of text kept as pictures of itself with every digit 0 to 9, cut at its digits:
// a text that differs from it only in digits is drawn by copying those cells, without being
// laid out. The pointer's position in the status bar changes on every tick, and laying out
// a line with Japanese in it costs more than the whole magnified frame.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <array>
#include <utility>
#include <vector>

namespace ocu::qt {

class TextCells {
public:
    // How the line is drawn: left and centred in a box of `size`, in `font`, `ink` on `paper`,
    // at a display scale of `ratio`.
    struct Look {
        QSize size;
        QFont font;
        QColor ink, paper;
        qreal ratio = 1.0;
        bool operator==(const Look&) const = default;
    };

    // Whether `text` can be drawn from the cells made for this look; makes them when it is a
    // new line. False where copies would not match a drawing (digits of different widths,
    // ink reaching past a digit's cell).
    bool Ready(const QString& text, const Look& look);
    // Draws `text` with the box's top-left at `at`. Ready(text) first.
    void Draw(QPainter& p, QPoint at, const QString& text) const;
    // Keeps a picture of the line as `text` shows it (Ready(text) first): the line as the
    // screen has it, which Advance keeps up with.
    void Show(const QString& text);
    // Copies the digits of `text` that differ from the line shown into its picture; their
    // span in its pixels. Empty (nothing done) where no line is shown or `text` has another
    // shape.
    QRect Advance(const QString& text);
    const QImage& Shown() const { return shown_; }

    // Whether two texts differ in digits only.
    static bool SameShape(const QString& a, const QString& b);

private:
    static QString Shape(const QString& text);
    // Into `out` (kept, so a tick allocates nothing): the cells of `text` to draw over `was`,
    // or all of them, in screen pixels of the box, each with its digit.
    void CellsToDraw(const QString& text, const QString* was, std::vector<std::pair<int, QRect>>& out) const;
    QRectF ToBox(const QRect& cell, QPoint at) const;
    // The cells CellsToDraw found, copied into a picture of the whole line.
    void CopyInto(QImage& line) const;

    QString shape_;
    Look look_;
    bool usable_ = false;
    std::array<QImage, 10> pictures_;  // the line with every digit 0, with every digit 1, ...
    // Per character: the screen-pixel columns of its cell, [first, end); none for a non-digit.
    std::vector<std::pair<int, int>> cells_;
    std::vector<std::pair<int, QRect>> changed_;  // the cells last found to draw
    QImage shown_;                                 // the line as shown, with the digits of
    QString shownText_;                            // this text
};

}  // namespace ocu::qt
