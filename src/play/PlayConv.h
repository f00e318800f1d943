#pragma once
// Play's program-wide query converter: it answers the format look-ups, strides and image sizes
// of SHOW, FLOAD and FDUMP. Built on first use, so any global's constructor may use it.
//
//     int32_t row = QueryConv().FindFormat("R565.RGB");
#include "imaging/Conv.h"

Conv& QueryConv();
