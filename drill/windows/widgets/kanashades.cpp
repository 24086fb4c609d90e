#include "kanashades.h"

#include <QPainter>

namespace {
const QColor BandShade(0x00, 0x00, 0x00, 26);
}

KanaShades::KanaShades(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void KanaShades::setBands(const KanaGroups& groups, const int* keyLefts, std::size_t keyCount)
{
    count_ = 0;
    for (std::size_t g = 0; g < groups.count; ++g) {
        const std::size_t from = groups.groups[g].keysAt;
        const std::size_t to = from + groups.groups[g].keysSize;
        if (to >= keyCount)
            break;
        bands_[count_++] = {keyLefts[from], keyLefts[to]};
    }
    update();
}

void KanaShades::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Every other kana shaded: neighbours never share a shade.
    for (std::size_t b = 1; b < count_; b += 2)
        painter.fillRect(QRect(bands_[b].first, 0, bands_[b].second - bands_[b].first, height()), BandShade);
}
