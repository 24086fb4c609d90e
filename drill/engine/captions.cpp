#include "captions.h"

#include "settings/options.h"

#include <iterator>

namespace {

// Row n is the caption numbered n, so that a caption is its row.
constexpr bool InOrder()
{
    for (std::size_t n = 0; n < std::size(CaptionRows); ++n)
        if (CaptionRows[n].caption != CaptionId(n))
            return false;
    return std::size(CaptionRows) == std::size_t(CaptionId::NoneMissed) + 1;
}
static_assert(InOrder(), "one row for every caption, in its order");

} // namespace

const char* CaptionText(CaptionId caption, bool child)
{
    const CaptionRow& row = CaptionRows[std::size_t(caption)];
    return child ? row.child : row.drawn;
}

const char* ShownCaption(CaptionId caption)
{
    return CaptionText(caption, KanaLabels);
}
