// Builds every start-up table the way start-up does, without SDL, and puts
// the camera at its start-up view in high detail.
#ifndef LANDSCAPE_TESTS_STARTUP_TABLES_H
#define LANDSCAPE_TESTS_STARTUP_TABLES_H

#include "assets/landscape.h"
#include "render/camera.h"
#include "render/projection.h"
#include "render/startup.h"

inline void buildStartUpTables()
{
    buildRenderTables();
    selectHighDetail();
}

#endif
