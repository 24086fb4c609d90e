#pragma once

#include "colour.h"

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>

#include <functional>
#include <string>

// The program's face at a character height in pixels: the fixed-pitch
// Japanese face the layout was drawn for, or the nearest one installed.
QFont DrillFont(int pixelHeight, bool bold = false);

// The same face sized so that its whole cell, internal leading included, is
// `cellHeight` pixels high.
QFont DrillFontForCell(int cellHeight);

inline QColor ToQColor(Colour c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }
inline Colour FromQColor(const QColor& c) { return RGBColour(std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue())); }

// A plain-text label at a place, in a font and colour. Labels that size
// themselves to their text call adjustSize() after every change of text.
QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top, const QFont& font);
void SetTextColour(QLabel* label, Colour colour);
// Paints the label's background; a label without one stays transparent.
void SetBackground(QLabel* label, const QColor& colour);
QColor BackgroundOf(const QLabel* label);
// The background and the text colour in one change of the palette.
void SetColours(QLabel* label, const QColor& background, const QColor& text);
void SetSizedText(QLabel* label, const QString& text);
// Sizes the labels whose text changed while their window was hidden; every
// window with self-sizing labels calls it as it is shown.
void SizeLabelsOnShow(QWidget* window);

// The width of a label's text in this font: its widest line.
int TextWidth(const QFont& font, const QString& text);
// The width of the label's own text: its size, where it has been sized.
int LabelTextWidth(const QLabel* label);

// A dialog's frame: a caption and a close box, nothing the desktop adds
// (no help button, no resizing handle of its own).
inline constexpr Qt::WindowFlags DialogFrame = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
    | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// No text a learner must read is drawn smaller.
constexpr int SmallestReadablePixels = 12;

// The largest pixel size, at most `partFont`'s and at least `smallest`, at
// which what `widthAt` measures fits `room`, in the same face; the part's
// font itself when it fits at that, `smallest` when nothing fits.
QFont LargestFittingFont(const QFont& partFont, int room, const std::function<int(const QFont&)>& widthAt,
                         int smallest = 4);

// A self-sizing label's text in `drawn`, or in the largest smaller font,
// down to the smallest readable size, in which it fits `room`; on several
// lines `room` wide when even that is too wide.
void FitLabelToRoom(QLabel* label, const QFont& drawn, int room);

// The height of the label's text in its font, on its lines.
int LabelTextHeight(const QLabel* label);
// A label fitted by FitLabelToRoom, in a smaller font, down to the
// smallest readable size, until its lines take at most `height` pixels.
void FitLabelToHeight(QLabel* label, int height);

// Sets the label's font, and its size when the font changed.
void SetLabelFont(QLabel* label, const QFont& font);

// CP932 bytes as the text of a label: a CR starts a new line.
QString LabelText(std::string_view cp932);
