// Builds every start-up table the way start-up does, without SDL, and puts
// the camera at its start-up view in high detail; and the ways the tests
// change the view and the landscape from there.
#ifndef LANDSCAPE_TESTS_STARTUP_TABLES_H
#define LANDSCAPE_TESTS_STARTUP_TABLES_H

#include <cstdint>

#include "assets/landscape.h"
#include "render/camera.h"
#include "render/near_rows.h"
#include "render/projection.h"
#include "render/startup.h"

inline void buildStartUpTables()
{
    buildRenderTables();
    selectHighDetail();
}

// Heading h (0..359) reached by a turn, as the program reaches it.
inline void faceHeading(int h)
{
    heading = static_cast<std::uint16_t>(h < 2 ? h + 358 : h - 2);
    turn(2);
}

// The renderer draws this landscape (65536 cells each) from now on.
inline void useLandscape(const std::uint8_t* heights, const std::uint8_t* colors)
{
    buildTerrainTables(heights, colors);
    buildNearRowBounds();
}

#endif
