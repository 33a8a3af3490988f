#pragma once

#include "ui/DataSetModel.h"

// A grid column over a TIERS column; the code is a number, set to the right.
GridColumn clientColumn(const char *fieldName, const char *title, int width);
