#pragma once

// One function of the multilevel basis of the forward transform: the scaling function
// N_(J0,index) or the wavelet psi_(level,index).
struct BasisFunction
{
    bool wavelet;
    int index;
    int level;
};
