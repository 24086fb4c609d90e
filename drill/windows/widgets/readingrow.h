#pragma once

#include "kanagroups.h"

#include <QFont>
#include <QWidget>

#include <array>
#include <string_view>

// The kana reading of a problem in one row: the kana typed already in grey,
// the kana being typed marked in teal, the rest in the window's text
// colour. A reading too wide for the row at the smallest readable size
// scrolls so that the marked kana stays in view.
class ReadingRow final : public QWidget {
public:
    ReadingRow(QWidget* parent, QRect place);

    void setReading(std::string_view reading, const KanaGroups& groups);
    void mark(std::size_t group);
    std::size_t marked() const { return marked_; }
    QString text() const { return text_; }
    // The text the marked group shows.
    QString markedText() const;
    int scroll() const { return scroll_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Span {
        int from = 0, to = 0; // characters of text_
        int left = 0, right = 0; // pixels
    };
    QString text_;
    QFont font_;
    int textWidth_ = 0;
    std::array<Span, KanaGroups::Capacity> spans_ {};
    std::size_t count_ = 0;
    std::size_t marked_ = 0;
    int scroll_ = 0;
};
