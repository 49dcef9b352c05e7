// The transform of images without a window: polynomials of degree < m and any image with every
// coefficient kept come back; a separable image's coefficients are the products of the
// one-dimensional route's; a unit coefficient is the product of its one-dimensional functions;
// the bands tile the array; compression keeps by contribution; the coefficient file reads back
// to the bit and refuses what is damaged.

#include "data/CoefficientFile.h"
#include "data/SampleExpansion.h"
#include "engine/Errors.h"
#include "engine/Expansion.h"
#include "image/ImageCoefficientFile.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <bit>
#include <cmath>
#include <fstream>
#include <functional>
#include <random>

using namespace image;
using Values = std::vector<double>;

Q_DECLARE_METATYPE(image::Band)

namespace {

// What a call throws, as the user reads it; empty when it throws nothing.
QString failure(const std::function<void()>& call)
{
    try {
        call();
    } catch (const std::exception& error) {
        return QString::fromStdString(error.what());
    }
    return {};
}

ImageTransform transformOf(int width, int height, int m, engine::Rule rule = engine::Rule::Default)
{
    return ImageTransform(defaultParameters(width, height, m, rule), width, height);
}

Pixels imageOf(int width, int height, const std::function<double(double, double)>& f)
{
    Pixels pixels {width, height, Values(std::size_t(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.at(x, y) = f(double(x) / (width - 1), double(y) / (height - 1));
    return pixels;
}

Values randomValues(std::size_t count, unsigned seed)
{
    std::mt19937 generator(seed);
    std::uniform_real_distribution<double> uniform(-1, 1);
    Values values(count);
    for (double& value : values)
        value = uniform(generator);
    return values;
}

double largestDifference(const Values& u, const Values& v)
{
    double largest = u.size() == v.size() ? 0 : NAN;
    for (std::size_t i = 0; i < std::min(u.size(), v.size()); ++i)
        largest = std::max(largest, std::abs(u[i] - v[i]));
    return largest;
}

double largestMagnitude(const Values& u)
{
    return std::abs(std::ranges::max(u, {}, [](double v) { return std::abs(v); }));
}

// The one-dimensional route along an axis: the expansion of the spline through the samples
// (data/SampleExpansion.h) in the image's basis along that axis.
engine::Expansion oneDimensional(const engine::Transform& transform, const Values& y)
{
    SampledData samples;
    for (std::size_t i = 0; i < y.size(); ++i)
        samples.x.push_back(double(i) / (y.size() - 1));
    samples.y = y;
    return expandSamples(
        std::make_shared<const engine::Transform>(transform.basis().parameters()), samples);
}

// The expansion's coefficients over N_(L,k), from d and the wavelets of levels J0+1 .. L.
Values splineOfLevel(const engine::Expansion& expansion, int L)
{
    const engine::Coefficients& c = expansion.coefficients();
    Values s = c.d;
    for (int level = c.J0 + 1; level <= L; ++level) {
        s.insert(s.end(), c.level(level).begin(), c.level(level).end());
        expansion.transform().merge(level, {s.data()});
    }
    return s;
}

// The coefficients of one band's functions along an axis: of the wavelets or of the B-splines.
Values factorOf(const engine::Expansion& expansion, int level, bool wavelet)
{
    if (!wavelet)
        return splineOfLevel(expansion, level);
    const std::span<const double> c = expansion.coefficients().level(level);
    return {c.begin(), c.end()};
}

bool waveletAlongX(Band band)
{
    return band == Band::X || band == Band::XY;
}

bool waveletAlongY(Band band)
{
    return band == Band::Y || band == Band::XY;
}

// Sizes with widths and heights on both sides of a power of two plus one, and levels above the
// default ones, where the spline through the pixels is of a coarser level than J.
void sizeRows(bool withLevels)
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("extraLevels");
    for (auto [width, height] : {std::pair(7, 5), {33, 17}, {100, 37}})
        for (int m = 2; m <= 4; ++m)
            QTest::addRow("%dx%d m=%d", width, height, m) << width << height << m << 0;
    if (withLevels)
        for (int m = 2; m <= 4; ++m)
            QTest::addRow("9x6 m=%d J+2", m) << 9 << 6 << m << 2;
}

ImageTransform transformOfRow(int width, int height, int m, int extraLevels)
{
    ImageParameters p = defaultParameters(width, height, m, engine::Rule::Default);
    p.Jx += extraLevels;
    p.Jy += extraLevels;
    return ImageTransform(p, width, height);
}

} // namespace

class TestImage : public QObject
{
    Q_OBJECT

private slots:
    // A constant and a plane are polynomials of degree < m in x and in y: the spline through
    // them is they, whatever the sizes; to rounding, some 1e-15 of the values per level.
    void polynomialsComeBack_data() { sizeRows(true); }
    void polynomialsComeBack()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, m);
        QFETCH(int, extraLevels);
        const ImageTransform transform = transformOfRow(width, height, m, extraLevels);
        for (const auto& f :
            std::vector<std::function<double(double, double)>> {[](double, double) { return 7.25; },
                [](double x, double y) { return 3 - 2 * x + 5 * y; }}) {
            const Pixels image = imageOf(width, height, f);
            const Values back = transform.inverse(transform.forward(image)).values;
            const double error = largestDifference(back, image.values);
            QVERIFY2(error <= 1e-12 * largestMagnitude(image.values),
                qPrintable(QString::number(error)));
        }
    }

    // Any image comes back with every coefficient kept: the spline goes through the pixels.
    void randomImageComesBack_data() { sizeRows(true); }
    void randomImageComesBack()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, m);
        QFETCH(int, extraLevels);
        const ImageTransform transform = transformOfRow(width, height, m, extraLevels);
        const Pixels image {width, height, randomValues(std::size_t(width) * height, 7)};
        const double error
            = largestDifference(transform.inverse(transform.forward(image)).values, image.values);
        QVERIFY2(error <= 1e-9, qPrintable(QString::number(error)));
    }

    // f(x) g(y): every band is the product of the one-dimensional route's coefficients of f and
    // of g, wavelets or B-splines of the band's levels. The two roads round differently (the
    // image's fits see g(y) f(x), not f(x)): to 1e-12 of the largest, where they reach 1e-13.
    void separableImageIsOuterProduct_data() { sizeRows(true); }
    void separableImageIsOuterProduct()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, m);
        QFETCH(int, extraLevels);
        const ImageTransform transform = transformOfRow(width, height, m, extraLevels);
        const Values f = randomValues(width, 1), g = randomValues(height, 2);
        Pixels image {width, height, Values(std::size_t(width) * height)};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.at(x, y) = f[x] * g[y];
        const ImageCoefficients c = transform.forward(image);
        const engine::Expansion alongX = oneDimensional(transform.alongX(), f);
        const engine::Expansion alongY = oneDimensional(transform.alongY(), g);
        Values expected(c.values.size(), NAN);
        for (const BandPlace& band : transform.bands()) {
            const Values u = factorOf(alongX, band.levelX, waveletAlongX(band.band));
            const Values v = factorOf(alongY, band.levelY, waveletAlongY(band.band));
            QCOMPARE(int(u.size()), band.columns);
            QCOMPARE(int(v.size()), band.rows);
            for (int j = 0; j < band.rows; ++j)
                for (int i = 0; i < band.columns; ++i)
                    expected[std::size_t(band.row + j) * c.nx + band.column + i] = u[i] * v[j];
        }
        const double error = largestDifference(c.values, expected);
        QVERIFY2(error <= 1e-12 * largestMagnitude(expected), qPrintable(QString::number(error)));
    }

    // One unit coefficient in the middle of a band, and one at its first index (a boundary
    // function): its image is psi or N along x times psi or N along y at the pixels, the
    // wavelets and the coarse B-splines from a one-dimensional expansion (Expansion::at), the
    // B-splines of other levels from the basis.
    void unitCoefficientIsProductOfFunctions_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("m");
        QTest::addColumn<Band>("band");
        const std::pair<Band, const char*> bands[]
            = {{Band::Coarse, "coarse"}, {Band::X, "x"}, {Band::Y, "y"}, {Band::XY, "xy"}};
        for (auto [width, height, m] : {std::tuple(7, 5, 2), {33, 17, 3}, {100, 37, 4}})
            for (auto [band, name] : bands)
                QTest::addRow("%dx%d m=%d %s", width, height, m, name)
                    << width << height << m << band;
    }
    void unitCoefficientIsProductOfFunctions()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, m);
        QFETCH(Band, band);
        const ImageTransform transform = transformOf(width, height, m);
        const std::vector<BandPlace> bands = transform.bands();
        // The finest band of the kind: the one that tells most about the levels.
        const BandPlace place = *std::ranges::find_if(
            bands.rbegin(), bands.rend(), [&](const BandPlace& b) { return b.band == band; });
        auto function = [&](const engine::Transform& axis, bool wavelet, int level, int index,
                            int pixels) {
            Values t(pixels);
            for (int i = 0; i < pixels; ++i)
                t[i] = double(i) / (pixels - 1);
            if (!wavelet && level != axis.basis().coarsestLevel()) {
                Values values;
                for (double x : t)
                    values.push_back(axis.basis().splineValue(level, index, x));
                return values;
            }
            const engine::BasisParameters& p = axis.basis().parameters();
            engine::Coefficients unit(p.m, p.J0, p.J);
            (wavelet ? unit.wavelet(level, index) : unit.scaling(index)) = 1;
            return engine::Expansion(std::make_shared<const engine::Transform>(p), unit).at(t);
        };
        for (auto [i, j] : {std::pair(place.columns / 2, place.rows / 2), {0, 0}}) {
            ImageCoefficients c {transform.parameters(), coefficientColumns(transform.parameters()),
                coefficientRows(transform.parameters()), {}};
            c.values.assign(std::size_t(c.nx) * c.ny, 0.0);
            c.values[std::size_t(place.row + j) * c.nx + place.column + i] = 1;
            const Values u = function(
                transform.alongX(), waveletAlongX(band), place.levelX, place.firstX + i, width);
            const Values v = function(
                transform.alongY(), waveletAlongY(band), place.levelY, place.firstY + j, height);
            Values expected;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    expected.push_back(u[x] * v[y]);
            const double error = largestDifference(transform.inverse(c).values, expected);
            QVERIFY2(
                error <= 1e-12 * largestMagnitude(expected), qPrintable(QString::number(error)));
        }
    }

    // Every entry of the array in exactly one band; the coarse block first, then the levels up;
    // each band as long as its functions are many, at the levels the pyramid gives them: along
    // the axis with fewer levels, Jmax - J levels behind, until J0.
    void bandsTileTheArray_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("m");
        for (auto [width, height, m] :
            {std::tuple(7, 5, 2), {33, 17, 3}, {100, 37, 4}, {5, 300, 4}, {513, 9, 2}})
            QTest::addRow("%dx%d m=%d", width, height, m) << width << height << m;
    }
    void bandsTileTheArray()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, m);
        const ImageParameters p = defaultParameters(width, height, m, engine::Rule::Default);
        const int nx = (1 << p.Jx) + m - 1, ny = (1 << p.Jy) + m - 1, Jmax = std::max(p.Jx, p.Jy);
        QCOMPARE(coefficientColumns(p), nx);
        QCOMPARE(coefficientRows(p), ny);
        std::vector<int> covered(std::size_t(nx) * ny, 0);
        int previous = p.J0;
        const std::vector<BandPlace> bands = bandPlaces(p);
        QCOMPARE(bands.front().band, Band::Coarse);
        for (const BandPlace& band : bands) {
            QVERIFY(band.level >= previous);
            previous = band.level;
            const int Lx = std::max(band.level - (Jmax - p.Jx), p.J0);
            const int Ly = std::max(band.level - (Jmax - p.Jy), p.J0);
            auto count = [&](bool wavelet, int level) {
                return wavelet ? 1 << (level - 1) : (1 << level) + m - 1;
            };
            QCOMPARE(band.levelX, waveletAlongX(band.band) ? Lx : std::max(Lx - 1, p.J0));
            QCOMPARE(band.levelY, waveletAlongY(band.band) ? Ly : std::max(Ly - 1, p.J0));
            QCOMPARE(band.columns, count(waveletAlongX(band.band), band.levelX));
            QCOMPARE(band.rows, count(waveletAlongY(band.band), band.levelY));
            QCOMPARE(band.firstX, 1 - m);
            QCOMPARE(band.firstY, 1 - m);
            for (int j = band.row; j < band.row + band.rows; ++j)
                for (int i = band.column; i < band.column + band.columns; ++i)
                    ++covered.at(std::size_t(j) * nx + i);
        }
        QVERIFY(std::ranges::all_of(covered, [](int n) { return n == 1; }));
    }

    // The norm of the middle entry of every band: ||psi_(L,p)|| from the one-dimensional basis's
    // norms, and for an inner B-spline ||N_(L,k)||^2 = h^3 c_m, h = 2^-L (h times the
    // normalised B-spline), c_m the integral of the square of the cardinal B-spline: 2/3, 11/20,
    // 151/315 for m = 2, 3, 4; to rounding.
    void normsAreProducts_data()
    {
        QTest::addColumn<int>("m");
        for (int m = 2; m <= 4; ++m)
            QTest::addRow("m=%d", m) << m;
    }
    void normsAreProducts()
    {
        QFETCH(int, m);
        const ImageTransform transform = transformOf(100, 37, m);
        const double c[] = {2.0 / 3, 11.0 / 20, 151.0 / 315};
        auto norm = [&](const engine::Transform& axis, bool wavelet, int level, int index) {
            return wavelet ? axis.basisNorms().wavelet(level, index)
                           : std::sqrt(std::pow(2.0, -3 * level) * c[m - 2]);
        };
        const int nx = coefficientColumns(transform.parameters());
        for (const BandPlace& band : transform.bands()) {
            const int i = band.columns / 2, j = band.rows / 2;
            const double expected
                = norm(transform.alongX(), waveletAlongX(band.band), band.levelX, band.firstX + i)
                * norm(transform.alongY(), waveletAlongY(band.band), band.levelY, band.firstY + j);
            const double actual
                = transform.norms()[std::size_t(band.row + j) * nx + band.column + i];
            QVERIFY2(std::abs(actual - expected) <= 1e-13 * expected,
                qPrintable(
                    QString("level %1: %2, not %3").arg(band.level).arg(actual).arg(expected)));
        }
    }

    // keepLargest keeps the K of largest |c| ||basis function||, the earlier of equal ones;
    // thresholded and keptForPercent; nonZero counts.
    void compressionByContribution()
    {
        const ImageTransform transform = transformOf(33, 17, 3);
        const Values& norms = transform.norms();
        ImageCoefficients c = transform.forward(imageOf(33, 17,
            [](double x, double y) { return std::sin(5 * x) * std::exp(y) + (x > 0.4 ? 1 : 0); }));
        const std::size_t total = c.values.size();
        for (std::size_t K : {std::size_t(0), std::size_t(1), std::size_t(40), total - 1, total}) {
            const ImageCoefficients kept = keepLargest(transform, c, K);
            QCOMPARE(nonZero(kept), K);
            double smallestKept = INFINITY, largestDropped = 0;
            for (std::size_t i = 0; i < total; ++i) {
                const double contribution = std::abs(c.values[i]) * norms[i];
                QVERIFY(kept.values[i] == 0 || kept.values[i] == c.values[i]);
                if (kept.values[i] != 0)
                    smallestKept = std::min(smallestKept, contribution);
                else
                    largestDropped = std::max(largestDropped, contribution);
            }
            QVERIFY(largestDropped <= smallestKept);
            const double t = K == 0 || K == total ? 0 : smallestKept;
            if (t > 0)
                QCOMPARE(nonZero(thresholded(transform, c, t)), K);
        }
        // Equal contributions: ones on the central wavelets of one band, which share one norm.
        const BandPlace xy = transform.bands().back();
        std::ranges::fill(c.values, 0.0);
        std::vector<std::size_t> ones;
        const int m = transform.parameters().m;
        for (int i = m; i < xy.columns - m; ++i)
            ones.push_back(std::size_t(xy.row + xy.rows / 2) * c.nx + xy.column + i);
        for (std::size_t u : ones)
            c.values[u] = 1;
        const ImageCoefficients kept = keepLargest(transform, c, 3);
        for (std::size_t k = 0; k < ones.size(); ++k)
            QCOMPARE(kept.values[ones[k]], k < 3 ? 1.0 : 0.0);
        QCOMPARE(keptForPercent(c, 0), std::size_t(0));
        QCOMPARE(keptForPercent(c, 100), total);
        QCOMPARE(keptForPercent(c, 50), std::size_t(std::llround(total / 2.0)));
        QCOMPARE(keptForPercent(c, 150), total);
    }

    // One pixel off by 3 inside, one by 1 on the edge: quoted mean squared errors.
    void imageErrorOverallAndAtEdges()
    {
        const Pixels original = imageOf(40, 30, [](double, double) { return 0.0; });
        Pixels changed = original;
        changed.at(20, 15) = 3;
        changed.at(39, 10) = -1;
        const ImageError error = imageError(original, changed, 255);
        const double edgePixels = 40 * 30 - 24 * 14;
        QCOMPARE(error.largest, 3.0);
        QCOMPARE(error.edgeLargest, 1.0);
        QVERIFY(std::abs(error.psnr - 10 * std::log10(255.0 * 255 / (10.0 / 1200))) < 1e-12);
        QVERIFY(std::abs(error.edgePsnr - 10 * std::log10(255.0 * 255 / (1 / edgePixels))) < 1e-12);
        QCOMPARE(imageError(original, original, 255).psnr, INFINITY);
    }

    // What the transform refuses, in the user's words.
    void refused()
    {
        const ImageTransform transform = transformOf(7, 5, 4);
        Pixels image = imageOf(7, 5, [](double x, double) { return x; });
        image.at(3, 2) = NAN;
        QCOMPARE(failure([&] { transform.forward(image); }),
            "Значение пикселя x = 3, y = 2 — не конечное число.");
        QCOMPARE(
            failure([&] { transform.forward(imageOf(5, 7, [](double, double) { return 0; })); }),
            "Изображение 5 × 7 пикселей, а преобразование построено для 7 × 5.");
        ImageParameters p = transform.parameters();
        p.Jy = 40;
        QVERIFY_THROWS_EXCEPTION(engine::ParameterError, ImageTransform(p, 7, 5));
        p.Jy = transform.parameters().Jy;
        QCOMPARE(failure([&] { ImageTransform(p, (1 << p.Jx) + 2, 5); }),
            "Сплайн уровня Jx = 4 проходит не более чем через 17 пикселей строки, а ширина "
            "изображения — 18; увеличьте Jx.");
        QVERIFY(failure([&] {
            defaultParameters(1, 5, 4, engine::Rule::Default);
        }).startsWith("Изображение 1 × 5: по ширине и по высоте нужно от 2 до"));
        for (int m : {0, 5})
            try {
                defaultParameters(7, 5, m, engine::Rule::Default);
                QFAIL("no error");
            } catch (const engine::ParameterError& error) {
                QCOMPARE(error.kind, engine::ParameterError::Kind::Order);
            }
        ImageCoefficients other
            = transformOf(40, 5, 4).forward(imageOf(40, 5, [](double, double) { return 1.0; }));
        QVERIFY(failure([&] { transform.inverse(other); }).startsWith("Коэффициенты (m=4, Jx=6"));
    }

    // Written, shuffled and read: the same bits; from disk too.
    void fileRoundTrip()
    {
        const ImageTransform transform = transformOf(33, 17, 3, engine::Rule::Exact);
        ImageCoefficientFile file {transform.forward(imageOf(33, 17,
                                       [](double x, double y) { return std::cos(9 * x * y) / 3; })),
            33, 17, Channel::Green, "image:лес, 1.png"};
        file.coefficients.values[1] = 0.1;
        file.coefficients.values[2] = 4.9e-324;
        file.coefficients.values[3] = -1e300;
        const std::string text = imageCoefficientText(file);
        QVERIFY(text.starts_with("# splinewave coefficients\n# m=3; Jx=5; Jy=4; J0=2; rule=exact; "
                                 "width=33; height=17; channel=green; f=image:лес, 1.png\n"
                                 "kind,level,band,ix,iy,value\nd,2,,-2,-2,"));
        QCOMPARE(coefficientKind(text), CoefficientKind::Image);
        std::vector<std::string> lines;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find('\n', at);
            lines.push_back(text.substr(at, end - at));
            at = end + 1;
        }
        std::shuffle(lines.begin() + 3, lines.end(), std::mt19937(5));
        std::string shuffled;
        for (const std::string& line : lines)
            shuffled += line + "\r\n";
        QTemporaryDir folder;
        const std::string path = folder.filePath("c.csv").toStdString();
        std::ofstream(path) << shuffled;
        const ImageCoefficientFile back = readImageCoefficientFile(path);
        QVERIFY(back.coefficients.parameters == file.coefficients.parameters);
        QCOMPARE(back.width, 33);
        QCOMPARE(back.height, 17);
        QCOMPARE(back.channel, Channel::Green);
        QCOMPARE(back.function, file.function);
        QVERIFY(std::ranges::equal(
            back.coefficients.values, file.coefficients.values, [](double u, double v) {
                return std::bit_cast<quint64>(u) == std::bit_cast<quint64>(v);
            }));
    }

    // Each damage named with its line: a row (from "d," or "c,") replaced whole, a key's text
    // in place; the one-dimensional reader and this one point to each other's files.
    void damagedFiles_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message");
        const QString file = "Файл «i.csv», строка ";
        QTest::newRow("kind") << "d,2,,-2,-2,"
                              << "x,2,,-2,-2,0" << file + "4: вид «x» неизвестен (d или c).";
        QTest::newRow("band of d")
            << "d,2,,-2,-2,"
            << "d,2,x,-2,-2,0" << file + "4: коэффициенты d — уровня J0=2 без полосы.";
        QTest::newRow("unknown band")
            << "c,4,xy,-2,-2,"
            << "c,4,yx,-2,-2,0"
            << file + "%1: полосы «yx» уровня 4 нет (x, y или xy уровней J0+1 … max(Jx, Jy)).";
        QTest::newRow("level of band") << "c,4,xy,-2,-2,"
                                       << "c,6,xy,-2,-2,0"
                                       << file
                + "%1: полосы «xy» уровня 6 нет (x, y или xy "
                  "уровней J0+1 … max(Jx, Jy)).";
        QTest::newRow("index out")
            << "c,4,xy,-2,-2,"
            << "c,4,xy,-2,2,0" << file + "%1: индексы -2, 2 вне полосы (ix -2 … 5, iy -2 … 1).";
        QTest::newRow("not a number")
            << "d,2,,-2,-2,"
            << "d,2,,-2,-2,1e999" << file + "4: «1e999» — не конечное число.";
        QTest::newRow("index not an integer")
            << "d,2,,-2,-2,"
            << "d,2,,-2,-2.5,0" << file + "4: уровень, ix и iy — целые числа.";
        QTest::newRow("five fields") << "d,2,,-2,-2,"
                                     << "d,2,-2,-2,0"
                                     << file
                + "4: ожидалось шесть полей «вид,уровень,полоса,ix,iy,"
                  "значение».";
        QTest::newRow("repeated") << "c,4,xy,-2,-1,"
                                  << "c,4,xy,-2,-2,0"
                                  << file + "%1: коэффициент c,4,xy,-2,-2 повторяется.";
        QTest::newRow("unknown key")
            << "channel=grey"
            << "channel=grey; depth=8" << file + "2: неизвестный ключ «depth».";
        QTest::newRow("missing key") << "channel=grey; "
                                     << "" << file + "2: нет ключа «channel».";
        QTest::newRow("channel") << "channel=grey"
                                 << "channel=alpha"
                                 << file
                + "2: канал «alpha» неизвестен (grey, red, green или blue).";
        QTest::newRow("too wide") << "width=33"
                                  << "width=34"
                                  << file
                + "2: width=34: сплайн уровня 5 проходит через 2 … 33 "
                  "пикселей.";
        QTest::newRow("interval") << "; f="
                                  << "; a=0; b=2; f="
                                  << file
                + "2: коэффициенты изображения бывают только на отрезке "
                  "[0, 1].";
        QTest::newRow("level") << "Jy=4"
                               << "Jy=30"
                               << file
                + "2: Уровень J=30 вне допустимых пределов для m=3 и J0=2: "
                  "от 4 до 22.";
        QTest::newRow("function's file") << "Jx=5; Jy=4"
                                         << "J=5"
                                         << file
                + "2: в файле коэффициенты функции одной "
                  "переменной (ключ J), а не изображения; откройте "
                  "его как коэффициенты функции.";
        QTest::newRow("columns") << "kind,level,band"
                                 << "kind,level,index"
                                 << file + "3: ожидалась строка «kind,level,band,ix,iy,value».";
    }
    void damagedFiles()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, message);
        const ImageTransform transform = transformOf(33, 17, 3);
        const ImageCoefficientFile file {
            transform.forward(imageOf(33, 17, [](double x, double) { return x; })), 33, 17,
            Channel::Grey, "image:i.png"};
        std::string text = imageCoefficientText(file);
        const std::string before = from.toStdString();
        const std::size_t at = text.find(before);
        QVERIFY(at != std::string::npos);
        const bool row = from.startsWith("d,") || from.startsWith("c,");
        text.replace(at, row ? text.find('\n', at) - at : before.size(), to.toStdString());
        const int line = int(std::count(text.begin(), text.begin() + at, '\n')) + 1;
        QCOMPARE(failure([&] { parseImageCoefficientText(text, "i.csv"); }),
            message.contains("%1") ? message.arg(line) : message);
    }

    // A missing coefficient is named where it would follow; a function's reader refuses an
    // image's file by what it is.
    void missingCoefficientAndFunctionReader()
    {
        const ImageTransform transform = transformOf(7, 5, 2);
        const ImageCoefficientFile file {
            transform.forward(imageOf(7, 5, [](double, double y) { return y; })), 7, 5,
            Channel::Grey, "image:i.png"};
        std::string text = imageCoefficientText(file);
        text.erase(text.rfind("c,3,xy,"));
        QCOMPARE(failure([&] { parseImageCoefficientText(text, "i.csv"); }),
            "Файл «i.csv», строка " + QString::number(std::ranges::count(text, '\n') + 1)
                + ": нет коэффициента c,3,xy,2,2.");
        QCOMPARE(failure([&] { parseCoefficientText(text, "i.csv"); }),
            "Файл «i.csv», строка 2: в файле коэффициенты изображения (ключи Jx и Jy), а не "
            "функции одной переменной; откройте его как коэффициенты изображения.");
    }
};

QTEST_APPLESS_MAIN(TestImage)
#include "test_image.moc"
