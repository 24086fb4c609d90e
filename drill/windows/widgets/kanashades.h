#pragma once

#include "kanagroups.h"

#include <QWidget>

#include <array>
#include <utility>

// Alternate shades behind a romaji row, one band per kana, so that the keys
// of each kana stand together. Stands behind every other label.
class KanaShades final : public QWidget {
public:
    explicit KanaShades(QWidget* parent);

    // Bands from the left edges of the keys in `keyLefts` (the row's typed
    // widths, one per key count).
    void setBands(const KanaGroups& groups, const int* keyLefts, std::size_t keyCount);
    std::size_t bandCount() const { return count_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<std::pair<int, int>, KanaGroups::Capacity> bands_ {};
    std::size_t count_ = 0;
};
