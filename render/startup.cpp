#include "render/startup.h"

#include "assets/landscape.h"
#include "render/camera.h"
#include "render/near_rows.h"
#include "render/projection.h"

void buildRenderTables()
{
    resetCamera();
    highDetail = 0;
    fov = static_cast<float>(3.14159265358979323846 / 6.0);
    buildColumnTables();
    buildTrigTables();
    buildHeightTable();
    buildDetailTables();
    buildNearRowBounds();
}
