#include "rowscroll.h"

#include <algorithm>

int RowScroll(int current, int rowWidth, int room, int nextAt, int ahead)
{
    if (rowWidth <= room)
        return 0;
    const int most = rowWidth - room;
    if (nextAt >= current && nextAt + ahead <= current + room)
        return std::min(current, most);
    return std::clamp(nextAt - room / 3, 0, most);
}
