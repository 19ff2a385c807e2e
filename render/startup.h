// The renderer's start-up: the camera's start-up view and every table the
// passes read, built in their fixed order.
#ifndef LANDSCAPE_RENDER_STARTUP_H
#define LANDSCAPE_RENDER_STARTUP_H

// Camera at (188, 168) facing heading 180, then the column tables, the
// trigonometric tables, heightTable and both detail levels' row tables,
// then the bounds of the near-row skip (render/near_rows.h). Sets
// highDetail to 0 without selecting either level's tables, and aims no
// rays: switchDetail (render/rays.h) or enterHighDetail comes next.
void buildRenderTables();

#endif
