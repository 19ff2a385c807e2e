#include "render/projection.h"

#include <math.h>

double fov;
int32_t colSin[screenColumns];
int32_t colCos[screenColumns];
int32_t distHi[tableRows];
int32_t scaleHi[tableRows];
int32_t distLo[tableRows];
int32_t scaleLo[tableRows];
int32_t nearQuotientHi[colCosValues][tableRows];
int32_t nearQuotientLo[colCosValues][tableRows];
int32_t nearScaleHi[tableRows];
int32_t nearScaleLo[tableRows];
const int32_t (*nearQuotient)[tableRows];
const int32_t* nearScale;
int32_t rowCount;
int32_t highDetail;

namespace {
// Loop counters of the builders.
int32_t column;
int32_t row;
int32_t divisor;
// Intermediates, each rounded to single precision where it is stored.
double columnFraction;   // column / 320
double centred;          // columnFraction - 0.5
double angle;            // radians from the heading
double depthFraction;    // (n - row) / n
double depth;            // z, in units of 256 map cells before the spread
double spread;           // w = z * 0.55

// Depth-range constants, single precision like every other constant here.
const float lowNear = -0.2f;
const float highNear = 0.4f;
const float farDepth = 1.7f;
const float depthSpread = 0.55f;
// 0.45 * 65536: the projection factor in 16.16.
const double projectionScale = 29491.2;

void buildQuotients(int32_t (*quotient)[tableRows], const int32_t* dist, int32_t rows)
{
    for (divisor = minColCos; divisor <= maxColCos; ++divisor)
        for (row = 0; row <= rows; ++row)
            quotient[divisor - minColCos][rows - row] = dist[row] / divisor * 65536;
}

void reverseScales(int32_t* nearFirst, const int32_t* scale, int32_t rows)
{
    for (row = 0; row < rows; ++row)
        nearFirst[row] = scale[rows - row];
    nearFirst[rows] = 0;
}
}

void buildColumnTables()
{
    for (column = 0; column < screenColumns; ++column) {
        columnFraction = static_cast<float>(column / 320.0);
        centred = static_cast<float>(columnFraction - 0.5);
        angle = static_cast<float>(fov * centred);
        colCos[column] = static_cast<int32_t>(
            static_cast<float>(256.0 * static_cast<float>(cos(angle))));
        colSin[column] = static_cast<int32_t>(
            static_cast<float>(256.0 * static_cast<float>(sin(angle))));
    }
}

void buildRowTables(int32_t* dist, int32_t* scale, uint16_t n,
                    const double& near, const double& far)
{
    for (row = 0; row < n; ++row) {
        depthFraction = static_cast<float>(static_cast<double>(n - row) / n);
        depth = static_cast<float>(
            static_cast<double>(static_cast<float>(depthFraction * static_cast<float>(far - near)))
            + near);
        spread = static_cast<float>(depth * static_cast<double>(depthSpread));
        dist[row] = static_cast<int32_t>(static_cast<float>(spread * 65536.0));
        scale[row] = static_cast<int32_t>(static_cast<float>(projectionScale / spread));
    }
}

void buildDetailTables()
{
    buildRowTables(distLo, scaleLo, tableRows, lowNear, farDepth);
    buildRowTables(distHi, scaleHi, tableRows, highNear, farDepth);
    buildQuotients(nearQuotientLo, distLo, lowDetailRows);
    buildQuotients(nearQuotientHi, distHi, highDetailRows);
    reverseScales(nearScaleLo, scaleLo, lowDetailRows);
    reverseScales(nearScaleHi, scaleHi, highDetailRows);
}

void selectHighDetail()
{
    highDetail = 1;
    rowCount = highDetailRows;
    nearQuotient = nearQuotientHi;
    nearScale = nearScaleHi;
}

void selectLowDetail()
{
    highDetail = 0;
    rowCount = lowDetailRows;
    nearQuotient = nearQuotientLo;
    nearScale = nearScaleLo;
}
