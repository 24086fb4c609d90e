#include "widgets/readingrow.h"

#include "cp932.h"
#include "drawing.h"
#include "rowscroll.h"

#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace {

constexpr int ReadingPixels = 16;
// The marked kana's ground: the teal of its text, faint.
const QColor MarkShade = [] {
    QColor shade = ToQColor(Teal);
    shade.setAlpha(40);
    return shade;
}();

} // namespace

ReadingRow::ReadingRow(QWidget* parent, QRect place) : QWidget(parent), font_(DrillFont(ReadingPixels))
{
    setGeometry(place);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ReadingRow::setReading(std::string_view reading, const KanaGroups& groups)
{
    // The text piece by piece, so that every group knows its characters;
    // bytes of no group (a kana that types nothing) show unmarked.
    text_.clear();
    count_ = 0;
    std::size_t byte = 0;
    for (std::size_t g = 0; g < groups.count; ++g) {
        const KanaGroups::Group& group = groups.groups[g];
        if (group.kanaAt < byte || group.kanaAt + group.kanaSize > reading.size())
            break;
        text_ += DecodeCp932(reading.substr(byte, group.kanaAt - byte));
        Span& span = spans_[count_++];
        span.from = int(text_.size());
        text_ += DecodeCp932(reading.substr(group.kanaAt, group.kanaSize));
        span.to = int(text_.size());
        byte = group.kanaAt + group.kanaSize;
    }
    text_ += DecodeCp932(reading.substr(std::min(byte, reading.size())));

    font_ = LargestFittingFont(DrillFont(ReadingPixels), width(), [this](const QFont& font) { return TextWidth(font, text_); },
                               SmallestReadablePixels);
    QTextLayout layout(text_, font_);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const auto x = [&](int at) { return int(std::lround(line.cursorToX(at))); };
    for (std::size_t g = 0; g < count_; ++g) {
        spans_[g].left = x(spans_[g].from);
        spans_[g].right = x(spans_[g].to);
    }
    textWidth_ = TextWidth(font_, text_);
    marked_ = count_; // none yet
    scroll_ = 0;
    mark(0);
    update();
}

void ReadingRow::mark(std::size_t group)
{
    if (group == marked_)
        return;
    marked_ = group;
    if (marked_ < count_) {
        const Span& span = spans_[marked_];
        const int ahead = span.right - span.left + 3 * font_.pixelSize();
        scroll_ = RowScroll(scroll_, textWidth_, width(), span.left, ahead);
    }
    update();
}

QString ReadingRow::markedText() const
{
    return marked_ < count_ ? text_.mid(spans_[marked_].from, spans_[marked_].to - spans_[marked_].from) : QString();
}

void ReadingRow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font_);
    painter.translate(-scroll_, 0);
    const int baseline = QFontMetrics(font_).ascent() + (height() - QFontMetrics(font_).height()) / 2;
    const QColor text = palette().color(QPalette::WindowText);
    if (marked_ >= count_) {
        painter.setPen(marked_ == 0 ? text : QColor(Qt::gray));
        painter.drawText(0, baseline, text_);
        return;
    }
    const Span& span = spans_[marked_];
    painter.fillRect(QRect(span.left, 0, span.right - span.left, height()), MarkShade);
    painter.setPen(Qt::gray);
    painter.drawText(0, baseline, text_.left(span.from));
    painter.setPen(ToQColor(Teal));
    painter.drawText(span.left, baseline, text_.mid(span.from, span.to - span.from));
    painter.setPen(text);
    painter.drawText(span.right, baseline, text_.mid(span.to));
}
