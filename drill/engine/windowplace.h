#pragma once

#include <cstdint>
#include <span>

// A window's top-left corner, as the settings file stores it.
struct WindowPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const WindowPoint&, const WindowPoint&) = default;
};

struct WindowArea {
    std::int32_t x, y, width, height;
};

// Where a window of `width` × `height` stored at `stored` is shown: there,
// when at least half of it lies on the screens' areas; else at `fallback`.
// A place saved for a larger screen or a smaller scale factor would open the
// window where nobody can see or move it. Without screens nothing is judged.
WindowPoint PlaceOnScreens(WindowPoint stored, std::int32_t width, std::int32_t height,
                           std::span<const WindowArea> screens, WindowPoint fallback);

// The place to write back: the stored one unless the window was moved from
// where it was shown, so that a place corrected for this screen is not lost
// for the screen it was saved on.
WindowPoint PlaceToWrite(WindowPoint stored, WindowPoint shown, WindowPoint now);

// Where a window at `at` that grew to `width` × `height` stays in full
// view: moved up and left as little as it takes to end within the screen
// area that holds its top-left corner (the first, when none does), never
// above or left of that area. Without screens it stays where it is.
WindowPoint KeptOnScreen(WindowPoint at, std::int32_t width, std::int32_t height,
                         std::span<const WindowArea> screens);
