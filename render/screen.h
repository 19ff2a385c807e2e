// The screen's geometry: 320 x 240 pixels of one byte each, a palette
// index. 30 rows of letterbox band at the top and at the bottom, and the
// 180-row view between them (view row y is screen row 30 + y).
#ifndef LANDSCAPE_RENDER_SCREEN_H
#define LANDSCAPE_RENDER_SCREEN_H

const int screenColumns = 320;
const int screenRows = 240;
const int screenBitsPerPixel = 8;
const int bandRows = 30;
const int viewRows = 180;

#endif
