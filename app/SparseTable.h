#pragma once

#include <array>
#include <map>
#include <vector>

// Two-level sparse tables keyed by basis-function indices (negative keys included).
//
// Indexed access inserts what is absent: row[k] on a missing key adds (k, 0.0), table[i] on a
// missing key adds an empty row, so table[i][k] never fails and reads 0.0 for anything never
// written. insert() keeps an existing entry; assigning a row replaces the whole row.
// Writers build a row in a working SparseRow and assign it whole: table[i] = row.
using SparseRow = std::map<int, double>;
using SparseTable = std::map<int, SparseRow>;

// A column of values indexed [i][0]: the sample points and the function values.
using ColumnMatrix = std::vector<std::array<double, 1>>;

// A dense system's matrix: n rows of n doubles, matrix[row][column].
using DenseMatrix = std::vector<std::vector<double>>;
