// Builds every start-up table the way start-up does, without SDL, and puts
// the camera at its start-up view in high detail.
#ifndef LANDSCAPE_TESTS_STARTUP_TABLES_H
#define LANDSCAPE_TESTS_STARTUP_TABLES_H

#include "assets/landscape.h"
#include "render/camera.h"
#include "render/projection.h"

inline void buildStartUpTables()
{
    resetCamera();
    highDetail = 0;
    fov = static_cast<float>(3.14159265358979323846 / 6.0);
    buildColumnTables();
    buildTrigTables();
    buildHeightTable();
    buildDetailTables();
    selectHighDetail();
}

#endif
