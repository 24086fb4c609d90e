#include "windowplace.h"

#include <algorithm>
#include <vector>

namespace {

// In 64 bits: the stored values may be anywhere in the 32-bit range.
struct Box {
    std::int64_t left, top, right, bottom;
    bool empty() const { return left >= right || top >= bottom; }
};

// The area of the window that some screen shows. Screens may overlap (a
// mirrored pair), so the union is measured, cell by cell of the grid that
// the parts' edges make.
std::int64_t VisibleArea(const Box& window, std::span<const WindowArea> screens)
{
    std::vector<Box> parts;
    std::vector<std::int64_t> xs, ys;
    for (const WindowArea& s : screens) {
        const Box part {std::max<std::int64_t>(window.left, s.x), std::max<std::int64_t>(window.top, s.y),
                        std::min<std::int64_t>(window.right, std::int64_t(s.x) + s.width),
                        std::min<std::int64_t>(window.bottom, std::int64_t(s.y) + s.height)};
        if (part.empty())
            continue;
        parts.push_back(part);
        xs.insert(xs.end(), {part.left, part.right});
        ys.insert(ys.end(), {part.top, part.bottom});
    }
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    std::int64_t area = 0;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i)
        for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
            const bool shown = std::any_of(parts.begin(), parts.end(), [&](const Box& p) {
                return p.left <= xs[i] && xs[i + 1] <= p.right && p.top <= ys[j] && ys[j + 1] <= p.bottom;
            });
            if (shown)
                area += (xs[i + 1] - xs[i]) * (ys[j + 1] - ys[j]);
        }
    return area;
}

} // namespace

WindowPoint PlaceOnScreens(WindowPoint stored, std::int32_t width, std::int32_t height,
                           std::span<const WindowArea> screens, WindowPoint fallback)
{
    if (screens.empty() || width <= 0 || height <= 0)
        return stored;
    const Box window {stored.x, stored.y, std::int64_t(stored.x) + width, std::int64_t(stored.y) + height};
    const std::int64_t whole = std::int64_t(width) * height;
    return 2 * VisibleArea(window, screens) >= whole ? stored : fallback;
}

WindowPoint PlaceToWrite(WindowPoint stored, WindowPoint shown, WindowPoint now)
{
    return now == shown ? stored : now;
}

WindowPoint KeptOnScreen(WindowPoint at, std::int32_t width, std::int32_t height,
                         std::span<const WindowArea> screens)
{
    if (screens.empty())
        return at;
    const auto holds = [&](const WindowArea& s) {
        return at.x >= s.x && at.y >= s.y && std::int64_t(at.x) < std::int64_t(s.x) + s.width
            && std::int64_t(at.y) < std::int64_t(s.y) + s.height;
    };
    const auto area = std::find_if(screens.begin(), screens.end(), holds);
    const WindowArea& s = area == screens.end() ? screens.front() : *area;
    const auto kept = [](std::int32_t from, std::int32_t size, std::int32_t start, std::int32_t length) {
        const std::int64_t end = std::int64_t(start) + length;
        if (std::int64_t(from) + size <= end)
            return from;
        return std::int32_t(std::max<std::int64_t>(start, end - size));
    };
    return {kept(at.x, width, s.x, s.width), kept(at.y, height, s.y, s.height)};
}
