#pragma once

#include "engine/Transform.h"

#include <pybind11/pybind11.h>

// A Python callable as the transform's batch function: f is called with a numpy array of the
// points of one batch (a few thousand mesh intervals' quadrature points) and returns the values
// at them, an array of the same shape or a scalar for all. The transform runs without the GIL;
// each call takes it back for as long as Python runs. A value of the wrong shape or type raises
// ValueError or TypeError naming f; an exception of f goes through the transform to the caller.
engine::BatchFunction pythonFunction(pybind11::object f);
