// The function the forward transform decomposes. (B-splines and wavelets are the engine's, see
// transform/EngineBridge.cpp.)

#include "app/Main_f.h"

double TMainForm::testFunction(double x) const
{
    return userFunction.value(x);
}
