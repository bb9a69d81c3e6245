#include "platform/qt/TextCells.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace ocu::qt {
namespace {

constexpr int kDrawFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;

// Only the ASCII digits: the pictures are drawn with these.
bool Digit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

}  // namespace

// The line with each digit made a 0: two texts of one shape differ only in digits.
QString TextCells::Shape(const QString& text) {
    QString shape = text;
    for (QChar& c : shape)
        if (Digit(c)) c = QLatin1Char('0');
    return shape;
}

bool TextCells::SameShape(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && !(Digit(a[i]) && Digit(b[i]))) return false;
    return true;
}

bool TextCells::Ready(const QString& text, const Look& look) {
    // The pointer's position asks on every tick: a line of the same shape is the usual answer.
    if (SameShape(text, shape_) && look == look_) return usable_;
    const QString shape = Shape(text);
    shape_ = shape;
    look_ = look;
    usable_ = false;
    shown_ = QImage();
    shownText_.clear();
    for (QImage& p : pictures_) p = QImage();
    cells_.assign(static_cast<std::size_t>(text.size()), {-1, -1});
    if (std::none_of(text.begin(), text.end(), Digit) || look.size.isEmpty()) return false;

    // Ten digits of one width keep the rest of the line in place whatever the digits.
    const QFontMetricsF metrics(look.font);
    const qreal width = metrics.horizontalAdvance(QLatin1Char('0'));
    for (char d = '1'; d <= '9'; ++d)
        if (metrics.horizontalAdvance(QLatin1Char(d)) != width) return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!Digit(text[i])) continue;
        const qreal left = metrics.horizontalAdvance(text.left(i)) * look.ratio;
        cells_[static_cast<std::size_t>(i)] = {static_cast<int>(std::floor(left)),
                                               static_cast<int>(std::ceil(left + width * look.ratio))};
    }
    // Each picture is the whole line drawn as a drawing draws it, so the digits sit where
    // the line's own layout puts them (at fractions of a pixel, beside Japanese from
    // another font).
    const QSize pixels(static_cast<int>(std::ceil(look.size.width() * look.ratio)),
                       static_cast<int>(std::ceil(look.size.height() * look.ratio)));
    for (int d = 0; d < 10; ++d) {
        QString line = shape;
        for (qsizetype i = 0; i < line.size(); ++i)
            if (Digit(text[i])) line[i] = QLatin1Char(static_cast<char>('0' + d));
        QImage& picture = pictures_[static_cast<std::size_t>(d)];
        picture = QImage(pixels, QImage::Format_RGB32);
        picture.setDevicePixelRatio(look.ratio);
        picture.fill(look.paper);
        QPainter p(&picture);
        p.setFont(look.font);
        p.setPen(look.ink);
        p.drawText(QRect(QPoint(0, 0), look.size), kDrawFlags, line);
    }
    // Copies match a drawing when every column the digits change lies in one cell only: a
    // digit's ink never reaches past its cell or into a column it shares with a neighbour.
    std::vector<int> owners(static_cast<std::size_t>(pixels.width()), 0);
    for (const auto& [left, right] : cells_)
        for (int x = std::max(left, 0); x < std::min(right, pixels.width()); ++x) ++owners[static_cast<std::size_t>(x)];
    for (int x = 0; x < pixels.width(); ++x) {
        bool differs = false;
        for (int y = 0; y < pixels.height() && !differs; ++y)
            for (int d = 1; d < 10 && !differs; ++d)
                differs = pictures_[0].pixel(x, y) != pictures_[static_cast<std::size_t>(d)].pixel(x, y);
        if (differs && owners[static_cast<std::size_t>(x)] != 1) return false;
    }
    usable_ = true;
    return true;
}

void TextCells::CellsToDraw(const QString& text, const QString* was, std::vector<std::pair<int, QRect>>& out) const {
    out.clear();
    const int width = pictures_[0].width(), height = pictures_[0].height();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto [left, right] = cells_[static_cast<std::size_t>(i)];
        if (right <= 0 || left >= width) continue;
        if (was != nullptr && (*was)[i] == text[i]) continue;
        const int digit = text[i].unicode() - '0';
        if (digit == 0 && was == nullptr) continue;  // the zeros are there already
        const int from = std::max(left, 0);
        out.emplace_back(digit, QRect(from, 0, std::min(right, width) - from, height));
    }
}

void TextCells::Show(const QString& text) {
    shown_ = QImage();
    shownText_.clear();
    if (!usable_ || !SameShape(text, shape_)) return;
    shown_ = pictures_[0].copy();
    CellsToDraw(text, nullptr, changed_);
    CopyInto(shown_);
    shownText_ = text;
}

QRect TextCells::Advance(const QString& text) {
    if (shown_.isNull() || !SameShape(text, shownText_)) return {};
    CellsToDraw(text, &shownText_, changed_);
    QRect span;
    for (const auto& [digit, cell] : changed_) span |= cell;
    CopyInto(shown_);
    shownText_ = text;
    return span;
}

QRectF TextCells::ToBox(const QRect& cell, QPoint at) const {
    const qreal r = look_.ratio;
    return {at.x() + cell.x() / r, static_cast<qreal>(at.y()), cell.width() / r, cell.height() / r};
}

void TextCells::CopyInto(QImage& line) const {
    for (const auto& [digit, cell] : changed_) {
        const QRect put = cell & line.rect();
        const QImage& picture = pictures_[static_cast<std::size_t>(digit)];
        for (int y = put.top(); y <= put.bottom(); ++y)
            std::memcpy(line.scanLine(y) + put.left() * 4, picture.constScanLine(y) + put.left() * 4,
                        static_cast<std::size_t>(put.width()) * 4);
    }
}

void TextCells::Draw(QPainter& p, QPoint at, const QString& text) const {
    p.drawImage(at, pictures_[0]);
    std::vector<std::pair<int, QRect>> cells;
    CellsToDraw(text, nullptr, cells);
    for (const auto& [digit, cell] : cells)
        p.drawImage(ToBox(cell, at), pictures_[static_cast<std::size_t>(digit)], QRectF(cell));
}

}  // namespace ocu::qt
