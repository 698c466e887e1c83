#pragma once

#include "camera/editpoints.h"
#include "camera/luttable.h"

namespace vela {

// The table under the spline curve through the edit points (in ascending x). The curve
// is sampled at t = 0, 0.002, 0.004, ... (the step accumulated in double precision) up
// to one unit past the last point; each entry takes the value under the sample whose x
// best matches its input level, where a later sample wins only when its distance is
// below the truncated distance of the one found so far. Values are clamped to 0 .. 4095.
LutTable ComputeTableFromPoints(const EditPoint* points, int count);

inline LutTable ComputeTableFromPoints(const EditPoints& points) {
    return ComputeTableFromPoints(points.Data(), points.Count());
}

}  // namespace vela
