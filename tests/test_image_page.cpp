// The image page, driven through its controls: an image opened, its reconstruction at the
// percentage kept, the counts and the PSNR, bad files and bad percentages refused, grey and
// colour, a change of the window's order, the PSNR curve, the saves, and a coefficient file
// opened again.

#include "core/ImageFile.h"
#include "image/ImageCoefficientFile.h"
#include "imaging/ImagePage.h"
#include "imaging/ImageView.h"
#include "tests/TestSupport.h"

#include <QLabel>
#include <QPainter>

#include <cmath>

class TestImagePage : public WindowTest
{
    Q_OBJECT

    template <class Widget> Widget* control(const char* name)
    {
        return form->tsImage->findChild<Widget*>(name);
    }
    QString result() { return control<QLabel>("lblImageResult")->text(); }
    ImageView* view(const char* name) { return control<ImageView>(name); }
    QXYSeries* curve(int series)
    {
        return static_cast<QXYSeries*>(
            control<QChartView>("chImagePsnr")->chart()->series()[series]);
    }

    // A smooth shading with a disc of sharp edge, different in each channel, in 60 .. 195: what
    // a reconstruction overshoots is not cut off at 0 or 255 in a picture.
    static QImage sample(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y,
                    qRgb(int(128 + 60 * std::sin(x / 7.0) * std::cos(y / 5.0)), 60 + 4 * x % 136,
                        60 + (3 * y + x) % 136));
        QPainter painter(&image);
        painter.setBrush(QColor(190, 70, 100));
        painter.drawEllipse(width / 4, height / 4, width / 2, height / 2);
        return image;
    }
    // The sample as a PNG file in the scratch folder.
    QString writeSample(const QString& name, int width = 65, int height = 33)
    {
        sample(width, height).save(name, "PNG");
        return name;
    }
    void open(const QString& name)
    {
        seam.fileAnswers << name;
        control<QPushButton>("btnImageOpen")->click();
    }
    // Typing done: Enter.
    void typePercent(const QString& text)
    {
        auto* edit = control<QLineEdit>("edImagePercent");
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    // The PSNR, the edge band's, the count kept and the total of the result line.
    struct Result
    {
        double psnr = NAN, edge = NAN;
        long kept = -1, total = -1;
    };
    Result parsed()
    {
        const QRegularExpressionMatch match
            = QRegularExpression("^PSNR (\\S+) дБ, у краёв \\(8 пикселей\\) (\\S+) дБ; "
                                 "сохранено (\\d+) из (\\d+) коэффициентов$")
                  .match(result());
        if (!match.hasMatch())
            return {};
        return {QLocale().toDouble(match.captured(1)), QLocale().toDouble(match.captured(2)),
            match.captured(3).toLong(), match.captured(4).toLong()};
    }
    // Saves the coefficients kept as "c.csv" (by colour: c-red.csv, c-green.csv, c-blue.csv).
    void saveCoefficients()
    {
        seam.fileAnswers << "c";
        control<QPushButton>("btnImageSaveCoefficients")->click();
    }
    // The coefficients of one channel of a w x h image, (2^Jx + m - 1)(2^Jy + m - 1), Jx and
    // Jy the smallest with 2^J >= w - 1, h - 1 (the sample's sizes are above every smallest J).
    static long channelTotal(int m, int width, int height)
    {
        auto size = [m](int pixels) {
            int J = 0;
            while ((1 << J) < pixels - 1)
                ++J;
            return (1L << J) + m - 1;
        };
        return size(width) * size(height);
    }

private slots:
    // The count kept is the percentage of the total rounded; all kept, the pixels come back.
    void keptFollowsPercent_data()
    {
        QTest::addColumn<int>("m");
        QTest::addColumn<QString>("percent");
        for (int m = 2; m <= 4; ++m)
            for (const char* percent : {"100", "10", "1", "0", "12,5"})
                QTest::addRow("m=%d %s %%", m, percent) << m << QString(percent);
    }
    void keptFollowsPercent()
    {
        QFETCH(int, m);
        QFETCH(QString, percent);
        form->pcCenter->setCurrentWidget(form->tsImage);
        open(writeSample("sample.png"));
        typePercent(percent);
        const Result r = parsed();
        const long total = channelTotal(m, 65, 33);
        const double share = percent.replace(',', '.').toDouble() / 100;
        QVERIFY2(r.total == total, qPrintable(result()));
        QCOMPARE(r.kept, std::lround(share * total));
        QVERIFY(seam.messages.isEmpty());
        const QImage original = view("imgOriginal")->picture();
        const QImage back = view("imgReconstruction")->picture();
        if (share == 1) { // to rounding: 1e-10 of 255 is 200 dB
            QVERIFY2(r.psnr > 200 && r.edge > 200, qPrintable(result()));
            QCOMPARE(back, original);
        } else
            QVERIFY2(r.psnr < 60 && r.edge < 60 && back != original, qPrintable(result()));
        QVERIFY(!view("imgPyramid")->picture().isNull());
    }

    // Fewer coefficients, a worse image: the curve falls to the left, its point of 100 % drawn
    // at the top; the red point is the percentage in force, at its PSNR.
    void psnrCurve()
    {
        chooseDegree(3);
        form->pcCenter->setCurrentWidget(form->tsImage);
        open(writeSample("sample.png"));
        typePercent("3");
        QTRY_COMPARE(curve(0)->count(), 20);
        const QList<QPointF> points = curve(0)->points();
        QVERIFY_NEAR(points.front().x(), 0.1, 1e-15);
        QVERIFY_EXACT(points.back().x(), 100.0);
        QVERIFY_EXACT(points.back().y(), ImagePage::psnrShownAtMost);
        QVERIFY(points[0].y() < points[9].y() && points[9].y() < points[18].y());
        QCOMPARE(curve(1)->count(), 1);
        QVERIFY_EXACT(curve(1)->at(0).x(), 3.0);
        QVERIFY_NEAR(curve(1)->at(0).y(), parsed().psnr, 0.005);
    }

    // A change of order on the window: the transform follows when the page is shown.
    void orderFollowsWindow()
    {
        chooseDegree(2);
        open(writeSample("sample.png"));
        QCOMPARE(parsed().total, channelTotal(2, 65, 33));
        chooseDegree(4);
        QCOMPARE(parsed().total, channelTotal(2, 65, 33)); // not shown: not yet
        form->pcCenter->setCurrentWidget(form->tsImage);
        QCOMPARE(parsed().total, channelTotal(4, 65, 33));
        chooseDegree(3); // shown: at once
        QCOMPARE(parsed().total, channelTotal(3, 65, 33));
        QVERIFY(seam.messages.isEmpty());
    }

    // Grey: one channel, the luminance; by colour: three, each given back at 100 %.
    void colourByChannel()
    {
        open(writeSample("sample.png"));
        typePercent("100");
        QVERIFY(view("imgOriginal")->picture().isGrayscale());
        const long grey = parsed().total;
        control<QComboBox>("cbImageChannels")->setCurrentIndex(1);
        QCOMPARE(parsed().total, 3 * grey);
        const QImage original = view("imgOriginal")->picture();
        QVERIFY(!original.isGrayscale());
        QCOMPARE(original.convertToFormat(QImage::Format_RGB32), sample(65, 33));
        QCOMPARE(view("imgReconstruction")->picture(), original);
        control<QComboBox>("cbImageChannels")->setCurrentIndex(0); // and back
        QCOMPARE(parsed().total, grey);
        QVERIFY(view("imgOriginal")->picture().isGrayscale());
        QVERIFY(seam.messages.isEmpty());
    }

    // One message naming the file; the image opened before stays, with its result.
    void badFileKeepsImage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addRow("missing") << "missing.png";
        QTest::addRow("not an image") << "text.png";
        QTest::addRow("one pixel wide") << "narrow.png";
        QTest::addRow("folder") << "folder.png";
    }
    void badFileKeepsImage()
    {
        QFETCH(QString, name);
        QVERIFY(write("text.png", "not a picture\n"));
        QImage(1, 40, QImage::Format_RGB32).save("narrow.png");
        QVERIFY(QDir().mkdir("folder.png"));
        form->pcCenter->setCurrentWidget(form->tsImage);
        open(writeSample("sample.png"));
        typePercent("10");
        const QString before = result();
        const QImage picture = view("imgReconstruction")->picture();
        open(name);
        QVERIFY2(seam.messages.size() == 1 && seam.messages[0].contains("«" + name + "»"),
            qPrintable(seam.messages.join('\n')));
        QCOMPARE(result(), before);
        QCOMPARE(view("imgReconstruction")->picture(), picture);
        // Its curve, stopped for the file that failed, goes on: every point once, in order.
        QTRY_COMPARE(curve(0)->count(), 20);
        for (int i = 1; i < 20; ++i)
            QVERIFY(curve(0)->at(i - 1).x() < curve(0)->at(i).x());
        // The colour box refused with it: the file is read again only when it can be.
        QFile::remove("sample.png");
        control<QComboBox>("cbImageChannels")->setCurrentIndex(1);
        QCOMPARE(seam.messages.size(), 2);
        QCOMPARE(control<QComboBox>("cbImageChannels")->currentIndex(), 0);
        QCOMPARE(result(), before);
    }

    // A text that is not a percentage: the window's message, the percentage in force back.
    void percentRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addRow("word") << "abc"
                              << "Текст «abc» не является числом";
        QTest::addRow("above 100") << "150"
                                   << "от 0 до 100 %, а введено «150»";
        QTest::addRow("negative") << "-1"
                                  << "от 0 до 100 %, а введено «-1»";
        QTest::addRow("empty") << ""
                               << "Текст «» не является числом";
    }
    void percentRefused()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QVERIFY(russianLocale());
        open(writeSample("sample.png"));
        typePercent("2,5");
        const QString before = result();
        QVERIFY2(QRegularExpression("^PSNR \\d+,\\d\\d дБ").match(before).hasMatch(),
            qPrintable(before));
        typePercent(typed);
        QVERIFY2(seam.messages.size() == 1 && seam.messages[0].contains(message),
            qPrintable(seam.messages.join('\n')));
        QCOMPARE(control<QLineEdit>("edImagePercent")->text(), QString("2,5"));
        QCOMPARE(result(), before);
    }

    // The PNG saved is the reconstruction shown; its PSNR against the original shown is the
    // page's, all channels together, and the difference's scale is that of its pixels.
    void savedPngIsReconstruction_data()
    {
        QTest::addColumn<int>("channels"); // the index of cbImageChannels
        QTest::addRow("grey") << 0;
        QTest::addRow("by colour") << 1;
    }
    void savedPngIsReconstruction()
    {
        QFETCH(int, channels);
        control<QComboBox>("cbImageChannels")->setCurrentIndex(channels);
        open(writeSample("sample.png"));
        typePercent("10");
        seam.fileAnswers << "back";
        control<QPushButton>("btnImageSave")->click();
        QVERIFY(seam.messages.isEmpty());
        const QImage saved = QImage("back.png").convertToFormat(QImage::Format_RGB32);
        const QImage original
            = view("imgOriginal")->picture().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(saved, view("imgReconstruction")->picture().convertToFormat(QImage::Format_RGB32));
        double squares = 0;
        int largest = 0;
        for (int y = 0; y < saved.height(); ++y)
            for (int x = 0; x < saved.width(); ++x)
                for (int shift : {0, 8, 16}) {
                    const int d = int(saved.pixel(x, y) >> shift & 0xff)
                        - int(original.pixel(x, y) >> shift & 0xff);
                    squares += d * d;
                    largest = std::max(largest, std::abs(d));
                }
        // Both pictures are rounded to whole levels: a rounding error of variance about 1/6
        // beside a mean squared error of tens, and one level at most in the largest.
        const double psnr
            = 10 * std::log10(255.0 * 255 / (squares / (3 * saved.width() * saved.height())));
        QVERIFY2(std::abs(psnr - parsed().psnr) < 0.1,
            qPrintable(QString::number(psnr) + " / " + result()));
        const QRegularExpressionMatch scale
            = QRegularExpression("белый \\+([\\d.]+)").match(view("imgDifference")->caption());
        QVERIFY2(scale.hasMatch(), qPrintable(view("imgDifference")->caption()));
        QVERIFY_NEAR(scale.captured(1).toDouble(), double(largest), 1.0);
    }

    // The coefficient files hold what is kept, to the bit, each channel in its own: the same
    // pixels transformed and kept here, on the engine's own, give the same doubles.
    void savedCoefficientsReadBack_data()
    {
        QTest::addColumn<int>("m");
        QTest::addColumn<int>("channels"); // the index of cbImageChannels
        QTest::addColumn<QStringList>("files");
        for (int m = 2; m <= 4; ++m)
            QTest::addRow("m=%d grey", m) << m << 0 << QStringList {"c.csv"};
        QTest::addRow("m=3 by colour")
            << 3 << 1 << QStringList {"c-red.csv", "c-green.csv", "c-blue.csv"};
    }
    void savedCoefficientsReadBack()
    {
        QFETCH(int, m);
        QFETCH(int, channels);
        QFETCH(QStringList, files);
        form->chExactIntegration->setChecked(m == 3);
        const engine::Rule rule = m == 3 ? engine::Rule::Exact : engine::Rule::Default;
        control<QComboBox>("cbImageChannels")->setCurrentIndex(channels);
        open(writeSample("sample.png", 40, 23));
        typePercent("7");
        seam.fileAnswers << "c";
        control<QPushButton>("btnImageSaveCoefficients")->click();
        QVERIFY2(seam.messages.isEmpty(), qPrintable(seam.messages.join('\n')));
        const ImageData pixels = readImageFile("sample.png", ImageChannels(channels));
        QCOMPARE(pixels.channels.size(), std::size_t(files.size()));
        const image::ImageTransform transform(image::defaultParameters(40, 23, m, rule), 40, 23);
        const char* names[] = {"red", "green", "blue"};
        for (int c = 0; c < files.size(); ++c) {
            const image::ImageCoefficientFile file
                = image::readImageCoefficientFile(files[c].toStdString());
            const image::ImageCoefficients all = transform.forward(pixels.channels[c]);
            const image::ImageCoefficients kept
                = image::keepLargest(transform, all, image::keptForPercent(all, 7));
            QVERIFY(file.coefficients.parameters == transform.parameters());
            QVERIFY(file.coefficients.values == kept.values); // every bit
            QVERIFY(file.width == 40 && file.height == 23 && file.function == "image:sample.png");
            QCOMPARE(image::channelName(file.channel), channels ? names[c] : "grey");
        }
    }

    // A coefficient file saved at 100 % opens in its own basis, whatever the window's: the
    // original is the image of its coefficients, which every coefficient kept gives back
    // exactly; the percentage keeps its share; saved again, the same file to the byte.
    void coefficientFileOpens_data()
    {
        QTest::addColumn<int>("m");
        QTest::addColumn<bool>("exact");
        QTest::addColumn<int>("channels"); // the index of cbImageChannels when saved
        QTest::addColumn<QString>("name"); // the file opened
        QTest::addColumn<QString>("caption"); // the original's
        QTest::addRow("m=2 grey") << 2 << false << 0 << "c.csv"
                                  << "Из коэффициентов: 40 × 23, m=2";
        QTest::addRow("m=3 exact grey") << 3 << true << 0 << "c.csv"
                                        << "Из коэффициентов: 40 × 23, m=3";
        QTest::addRow("m=4 red") << 4 << false << 1 << "c-red.csv"
                                 << "Из коэффициентов: 40 × 23, m=4, канал red";
    }
    void coefficientFileOpens()
    {
        QFETCH(int, m);
        QFETCH(bool, exact);
        QFETCH(int, channels);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        form->pcCenter->setCurrentWidget(form->tsImage);
        chooseDegree(m);
        form->chExactIntegration->setChecked(exact);
        control<QComboBox>("cbImageChannels")->setCurrentIndex(channels);
        open(writeSample("sample.png", 40, 23));
        typePercent("100");
        saveCoefficients();
        QFile::remove("sample.png"); // the coefficients alone
        typePercent("10");
        open(name); // in the window's basis: nothing to say of it; the percentage in force
        QVERIFY2(!form->StatusBar->currentMessage().contains("базис"),
            qPrintable(form->StatusBar->currentMessage()));
        QCOMPARE(parsed().kept, std::lround(0.1 * channelTotal(m, 40, 23)));
        typePercent("100");
        const int other = m == 4 ? 2 : m + 1;
        chooseDegree(other);
        form->chExactIntegration->setChecked(!exact);
        open(name);
        QVERIFY2(seam.messages.isEmpty(), qPrintable(seam.messages.join('\n')));
        QCOMPARE(view("imgOriginal")->caption(), caption);
        QVERIFY(view("imgOriginal")->picture().isGrayscale());
        QVERIFY2(form->StatusBar->currentMessage().contains(
                     "; на этой странице действует базис файла (m=" + QString::number(m)
                     + (exact ? ", точное" : ", без точного")),
            qPrintable(form->StatusBar->currentMessage()));
        QCOMPARE(form->cbStepSplain->currentText(), QString::number(other));
        // The image of the file's coefficients, by a transform of its own.
        const image::ImageCoefficientFile read
            = image::readImageCoefficientFile(name.toStdString());
        const image::ImageTransform transform(read.coefficients.parameters, 40, 23);
        const QImage expected = toImage({transform.inverse(read.coefficients)});
        QCOMPARE(view("imgOriginal")->picture(), expected);
        QCOMPARE(view("imgReconstruction")->picture(), expected);
        QVERIFY2(result().startsWith("PSNR ∞ (без потерь), у краёв (8 пикселей) ∞ (без потерь)"),
            qPrintable(result()));
        const QString all = QString::number(channelTotal(m, 40, 23));
        QVERIFY2(result().endsWith("сохранено " + all + " из " + all + " коэффициентов"),
            qPrintable(result()));
        seam.fileAnswers << "again";
        control<QPushButton>("btnImageSaveCoefficients")->click();
        QCOMPARE(contents("again.csv"), contents(name));
        // The window's basis changes; the file's stays. The share follows the percentage.
        const int third = 9 - m - other;
        chooseDegree(third);
        typePercent("10");
        QCOMPARE(parsed().total, channelTotal(m, 40, 23));
        QCOMPARE(parsed().kept, std::lround(0.1 * channelTotal(m, 40, 23)));
        QVERIFY(parsed().psnr < 60);
        QFile::remove(name); // one channel whichever way: the file is not read again
        control<QComboBox>("cbImageChannels")->setCurrentIndex(1 - channels); // for the next
        QCOMPARE(parsed().total, channelTotal(m, 40, 23));
        QVERIFY(seam.messages.isEmpty());
        // An image opened next is in the window's basis again.
        open(writeSample("sample.png", 40, 23));
        QCOMPARE(view("imgOriginal")->caption().left(9), QString("Исходное:"));
        QCOMPARE(parsed().total, (channels ? 1 : 3) * channelTotal(third, 40, 23));
    }

    // A coefficient file that cannot be read as an image's: the reader's one message naming
    // its line; the image opened before stays.
    void badCoefficientFileKeepsImage_data()
    {
        QTest::addColumn<QByteArray>("from"); // in c.csv
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("where");
        QTest::addRow("a value not a number")
            << QByteArray("\nd,1,,-1,-1,") << QByteArray("\nd,1,,-1,-1,x")
            << "«bad.csv», строка 4:";
        QTest::addRow("a row twice")
            << QByteArray("\nd,1,,-1,-1,") << QByteArray("\nd,1,,-1,-1,0\nd,1,,-1,-1,")
            << "«bad.csv», строка 5:";
        QTest::addRow("a function's key line")
            << QByteArray("Jx=5; Jy=5;") << QByteArray("J=5;") << "«bad.csv», строка 2:";
    }
    void badCoefficientFileKeepsImage()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, where);
        chooseDegree(2);
        open(writeSample("sample.png", 33, 20));
        saveCoefficients();
        QByteArray text = contents("c.csv");
        QVERIFY(text.contains(from));
        QVERIFY(write("bad.csv", text.replace(from, to)));
        typePercent("10");
        const QString before = result();
        const QImage picture = view("imgReconstruction")->picture();
        open("bad.csv");
        QVERIFY2(seam.messages.size() == 1 && seam.messages[0].contains(where),
            qPrintable(seam.messages.join('\n')));
        QCOMPARE(result(), before);
        QCOMPARE(view("imgReconstruction")->picture(), picture);
        QCOMPARE(view("imgOriginal")->caption().left(9), QString("Исходное:"));
    }
};

SPLINEWAVE_TEST_MAIN(TestImagePage)
#include "test_image_page.moc"
