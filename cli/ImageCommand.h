#pragma once

#include <QCommandLineParser>

#include <optional>
#include <string>

// splinewave-cli image: a picture, taken as grey, through the two-dimensional transform
// (image/ImageTransform.h), compressed and rebuilt.

// What the command leaves: the rebuilt image as PNG for -o, the file of the kept coefficients for
// --coefficients when asked for, and the note for stderr.
struct ImageResult
{
    std::string png;
    std::optional<std::string> coefficients;
    std::string note;
};

// Reads the image file, keeps the coefficients of largest contribution (--keep K, --percent P)
// or those of contribution at least T (--threshold T), and rebuilds the image from them; the note
// says how many were kept and the PSNR of the rebuilt image, overall and along the edges. Throws
// Failure (cli/Options.h). O(N m^2) for N pixels, O(N log N) for the ranking.
ImageResult imageCommand(const QCommandLineParser& parser);
