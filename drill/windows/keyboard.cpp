#include "keyboard.h"

#include "fingerguide.h"
#include "session.h"
#include "settings/options.h"
#include "settings/settings.h"
#include "widgets/drawing.h"

#include <cmath>

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMetaObject>
#include <QResizeEvent>
#include <QShowEvent>

Tkb1* kb1 = nullptr;

namespace {

// Puts a one-character caption's ink in the middle of its cell: full-width
// brackets and signs draw at one side of their em box, where the cell's
// edge would cut them. The caption is placed by an indent from the side it
// is aligned to, since a label clips its text to its contents.
void CentreInk(QLabel* cell)
{
    const QString caption = cell->text();
    if (caption.size() != 1)
        return;
    const QFontMetricsF metrics(cell->font());
    const qreal advance = metrics.horizontalAdvance(caption);
    const qreal width = cell->width();
    const qreal origin = width / 2 - metrics.tightBoundingRect(caption).center().x();
    if (origin >= 0) {
        cell->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        cell->setIndent(int(std::lround(origin)));
    } else {
        cell->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        cell->setIndent(int(std::lround(width - advance - origin)));
    }
}

QLabel* MakeCell(QWidget* parent, const char* caption, const char* name, QRect place)
{
    QLabel* cell = MakeLabel(parent, QString::fromUtf8(caption), place.left(), place.top(), DrillFont(KeyCellSize));
    cell->setObjectName(QString::fromLatin1(name));
    cell->setAlignment(Qt::AlignCenter);
    cell->setFixedSize(place.size());
    CentreInk(cell);
    return cell;
}

} // namespace

Tkb1::Tkb1(QWidget* drillWindow)
    : QWidget(drillWindow, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      drillWindow_(drillWindow)
{
    setWindowTitle(QStringLiteral("キーボード"));
    setFixedSize(KeyboardDrawnWidth, KeyboardDrawnHeight);
    setFont(DrillFont(KeyCellSize));
    setAttribute(Qt::WA_InputMethodEnabled, false);

    std::size_t placed = 0;
    for (const KeyCell& k : KeyCells) {
        const QRect place(k.left, k.top, k.width, KeyCellSize);
        QLabel* cell = MakeCell(this, k.caption, k.name, place);
        SetColours(cell, Qt::black, Qt::white);
        KeyLabels[k.index] = cell;
        drawnPlaces_[placed++] = {cell, place};
    }
    for (const KeyboardFingerCell& f : KeyboardFingerCells) {
        const QRect place(f.left, KeyboardFingerRowTop, f.width, KeyCellSize);
        QLabel* cell = MakeCell(this, f.caption, f.name, place);
        drawnPlaces_[placed++] = {cell, place};
        SetBackground(cell, faceColour());
        fingerLabels_[f.finger] = cell;
        faceText_ = FromQColor(cell->palette().color(QPalette::WindowText));
    }
    FormCreate();
}

void Tkb1::showEvent(QShowEvent* event)
{
    SizeLabelsOnShow(this);
    QWidget::showEvent(event);
}

void Tkb1::FormCreate()
{
    KeyColour = Black;
    PlaceKeyboardWindow(*this);
}

QColor Tkb1::faceColour() const
{
    return palette().color(QPalette::Button);
}

void Tkb1::lightFinger(Finger finger, std::optional<Colour> colour)
{
    QLabel* label = fingerLabels_[finger];
    if (colour)
        SetColours(label, ToQColor(*colour), ToQColor(CaptionColourOn(*colour)));
    else // unlit, the cell takes the window's own colours again
        SetColours(label, faceColour(), ToQColor(faceText_));
}

void Tkb1::kbd(char ch)
{
    light(KeyIndexFor(ch), KeyColour, std::nullopt, Black);
}

void Tkb1::lightKeys(const FingerGuide& guide)
{
    light(guide.keyCell, guide.keyColour, guide.shiftCell, guide.shiftColour);
}

void Tkb1::light(std::optional<std::uint8_t> key, Colour keyColour, std::optional<std::uint8_t> shift,
                 Colour shiftColour)
{
    // Every cell goes black and the keys light, each caption black or white
    // as reads better; only the cells lit before can be other than black.
    for (const auto& lit : {litCell_, litShift_})
        if (lit)
            SetColours(KeyLabels[*lit], Qt::black, Qt::white);
    litCell_ = key;
    litShift_ = shift;
    if (litCell_)
        SetColours(KeyLabels[*litCell_], ToQColor(keyColour), ToQColor(CaptionColourOn(keyColour)));
    if (litShift_)
        SetColours(KeyLabels[*litShift_], ToQColor(shiftColour), ToQColor(CaptionColourOn(shiftColour)));
}

void Tkb1::followSizeOption()
{
    // The settings window may have changed the width of a resizable one.
    if (ResizableKeyboard == resizable_ && (!resizable_ || width() == KeyboardWidth))
        return;
    resizable_ = ResizableKeyboard;
    if (resizable_) {
        setMinimumSize(KeyboardDrawnWidth, KeyboardDrawnHeight);
        setMaximumSize(KeyboardLargestWidth, KeyboardLargestWidth * KeyboardDrawnHeight / KeyboardDrawnWidth);
        resize(KeyboardWidth, KeyboardWidth * KeyboardDrawnHeight / KeyboardDrawnWidth);
    } else {
        setFixedSize(KeyboardDrawnWidth, KeyboardDrawnHeight);
    }
}

void Tkb1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const double scale = std::min(double(width()) / KeyboardDrawnWidth, double(height()) / KeyboardDrawnHeight);
    placeCells(scale);
    if (!resizable_)
        return;
    KeyboardWidth = static_cast<std::int32_t>(std::lround(KeyboardDrawnWidth * scale));
    // The window keeps the keyboard's shape: a drag that breaks it is
    // put right once it has been taken.
    const QSize shaped(KeyboardWidth, static_cast<int>(std::lround(KeyboardDrawnHeight * scale)));
    if (std::abs(shaped.width() - width()) > 1 || std::abs(shaped.height() - height()) > 1)
        QMetaObject::invokeMethod(this, [this, shaped] { resize(shaped); }, Qt::QueuedConnection);
}

void Tkb1::placeCells(double scale)
{
    if (scale == scale_)
        return;
    scale_ = scale;
    const QFont font = DrillFont(static_cast<int>(std::lround(KeyCellSize * scale)));
    for (const auto& [cell, place] : drawnPlaces_) {
        const QRect scaled(QPoint(int(std::lround(place.left() * scale)), int(std::lround(place.top() * scale))),
                           QPoint(int(std::lround((place.right() + 1) * scale)) - 1,
                                  int(std::lround((place.bottom() + 1) * scale)) - 1));
        cell->setFont(font);
        cell->setFixedSize(scaled.size());
        cell->move(scaled.topLeft());
        CentreInk(cell);
    }
}

bool Tkb1::event(QEvent* event)
{
    // Every key goes to the drill window unchanged, Tab and Escape
    // included, to be judged there as a key typed in it.
    if (event->type() == QEvent::KeyPress) {
        if (drillWindow_)
            QCoreApplication::sendEvent(drillWindow_, event);
        return true;
    }
    return QWidget::event(event);
}
