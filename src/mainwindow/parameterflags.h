#pragma once

namespace vela {

// 1 when the control's row belongs to the factory group, 0 otherwise. An id without a
// row is reported in a message box and counts as not factory.
int IsFactoryParam(int ctrlId);
// The row's setting-file flag: 1 when setting files carry the value; 0 for an id without
// a row.
int IsFileParam(int ctrlId);

}  // namespace vela
