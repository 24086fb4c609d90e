#pragma once

// Where a row wider than its room starts to show, in pixels from its own
// start, so that the next key at `nextAt` and `ahead` pixels after it are
// in view: the scroll stays while they are, else the next key moves to a
// third of the room; never past the row's end, 0 for a row that fits.
int RowScroll(int current, int rowWidth, int room, int nextAt, int ahead);
