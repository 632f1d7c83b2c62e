#include "chart/curvegraph.h"
