// splinewave-cli: its exit statuses and messages, its coefficient files beside the window's and
// loaded in it, the inverse and compression of its files, and images.

#include "tests/TestSupport.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSpinBox>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestCli : public WindowTest
{
    Q_OBJECT

private slots:
    void exitStatuses();
    void coefficientFilesInTheWindow();
    void inverseAndCompress();
    void outputsAndInputs();
    void fullDisk();
    void samplesInTheirOwnUnits();
    void imageRoundTrip();
    void imageRefusals();

private:
    struct Run
    {
        int status;
        QByteArray out;
        QString err;
    };
    // The program on the arguments, which are separated by blanks, with the input on its
    // standard input.
    static Run cli(const QString& arguments, const QByteArray& input = {})
    {
        QProcess process;
        process.start(SPLINEWAVE_CLI, arguments.split(' ', Qt::SkipEmptyParts));
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit)
            return {-1, {}, {}};
        return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
    }
    // The window's coefficients in a coefficient file, through the save popup's item.
    QByteArray windowCoefficients()
    {
        seam.fileAnswers << "window.csv";
        form->miCoeffCsv->trigger();
        return contents("window.csv");
    }
};

// The status and the start of the message, which a usage error ends with the hint to --help;
// -o gets a file only when the command succeeds. A coefficient file of another interval than
// [0, 1] is refused; the empty values of a data file are told.
void TestCli::exitStatuses()
{
    const QByteArray good = cli("forward -m 2 -J 3 -f 1-8*x").out;
    QVERIFY(write("good.csv", good) && write("bad.csv", good.left(good.lastIndexOf("c,3,1"))));
    QVERIFY(write("wide.csv", QByteArray(good).replace("; a=0;", "; a=-1;")));
    QVERIFY(write("gaps.csv", "f\n0\n\n\n0,75\n1\n"));
    QVERIFY(write("long.csv", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n"));
    const std::tuple<const char*, int, const char*> cases[] = {
        {"forward -m 3 -J 5 -f sin(2*pi*x)", 0, ""},
        {"basis -m 2 -J 3 --exact", 0, ""},
        {"--help", 0, ""},
        {"", 2, "не задана команда (forward, inverse, compress, basis или image)\n"},
        {"backward", 2, "неизвестная команда «backward»\n"},
        {"forward --fast", 2, "Неизвестный параметр"},
        {"inverse good.csv -m 3", 2, "команда inverse не принимает параметр -m\n"},
        {"forward -m 5 -J 5 -f x", 2, "порядок сплайна -m должен быть 2, 3 или 4, а не 5\n"},
        {"basis -m 4 -J 3", 2, "Уровень J=3 вне допустимых пределов для m=4 и J0=2: от 4 до 22.\n"},
        {"forward -m 2 -J 3 -f x+", 2, "Ошибка в формуле f(x): формула оборвана, позиция 3\n"},
        {"forward -m 2 -J 3 -f x --data good.csv", 2, "задайте функцию одним способом: -f ФОРМУЛА"},
        {"compress good.csv --keep 1 --threshold 1", 2, "задайте ровно одно из --threshold T и"},
        {"compress good.csv --keep 1 --by size", 2, "значение --by «size» неизвестно"},
        {"inverse good.csv --points 1", 2, "--points должно быть не меньше 2\n"},
        {"forward -m 2 -J 3 -f 1/(x-0.5)", 1, ""},
        {"forward -m 2 -J 3 --data none.csv", 1, "Файл «none.csv»: файл не найден (возможно"},
        {"inverse bad.csv", 1, "Файл «bad.csv», строка 11: нет коэффициента c,3,1.\n"},
        {"forward -m 2 -J 3 -f x -o нет/out.csv", 1, "Файл «нет/out.csv»: не удалось записать: "},
        {"inverse wide.csv", 1,
            "Файл «wide.csv», строка 2: коэффициенты записаны для отрезка [-1, 1], а отрезок в "
            "этой программе постоянный: [0, 1].\n"},
        {"compress wide.csv --keep 1", 1, "Файл «wide.csv», строка 2: коэффициенты записаны для"},
        {"forward -m 2 -J 3 --data gaps.csv --fit smooth", 2,
            "значение --fit «smooth» неизвестно (interpolate или project)\n"},
        {"forward -m 2 -J 3 -f x --fit project", 2,
            "--fit и --interpolation относятся к отсчётам --data, а не к формуле\n"},
        {"forward -m 2 -J 3 --data gaps.csv --interpolation linear", 2,
            "--interpolation выбирает функцию между отсчётами для --fit project\n"},
        {"forward -m 2 -J 3 --data gaps.csv --fit project --interpolation spline", 2,
            "значение --interpolation «spline» неизвестно (cubic или linear)\n"},
        {"forward -m 2 -J 3 --data long.csv", 1,
            "Сплайн уровня J = 3 не проходит через отсчёты: отсчётов 10, а сплайн этого уровня "
            "проходит не более чем через 9; увеличьте J или выберите проекцию сплайна через "
            "отсчёты.\n"},
        {"forward -m 2 -J 3 --data gaps.csv", 0,
            "Файл «gaps.csv»: пропущено значений: 2 (строки 3, 4), сплайн проходит через "
            "остальные точки.\n"},
        {"forward -m 2 -J 99999999999 -f x", 2,
            "значение -J «99999999999» вне допустимого диапазона\n"},
        {"forward -m 2 -J 3 --J0 x -f x", 2, "значение --J0 «x» не целое число\n"},
        {"basis -m 3 -J 5 --J0 5", 2, "Уровень J=5 вне допустимых пределов для m=3 и J0=5"},
        {"forward -m 3 -J 6 --J0 4 -f x", 0, ""},
        {"compress good.csv --threshold 0,5", 0, "сохранено 0 из 6 коэффициентов c"},
    };
    for (const auto& [line, status, message] : cases) {
        const Run run = cli(line + QString(QString(line).contains("-o ") ? "" : " -o out.csv"));
        const QString expected = status ? "splinewave-cli: " + QString(message) : message;
        QVERIFY2(run.status == status
                && (expected.isEmpty() ? run.err.isEmpty() : run.err.startsWith(expected))
                && run.err.endsWith("Подробнее: splinewave-cli --help\n") == (status == 2),
            qPrintable(line + (": " + run.err)));
        const bool help = line == QString("--help");
        QCOMPARE(QFile::remove("out.csv"), status == 0 && !help);
        QVERIFY(!help || run.out.startsWith("Использование:\n  splinewave-cli forward "));
    }
    // The coarsest level chosen, the threshold's decimal comma read as a point, the version.
    QVERIFY(cli("forward -m 3 -J 6 --J0 4 -f x").out.contains("# m=3; J=6; J0=4; rule=default"));
    QCOMPARE(
        cli("compress good.csv --threshold 0,5").out, cli("compress good.csv --threshold 0.5").out);
    const Run version = cli("--version");
    QVERIFY2(version.status == 0
            && QRegularExpression(R"(^splinewave-cli \d+\.\d+\n$)").match(version.out).hasMatch(),
        version.out.constData());
}

// A file of another degree, level and rule sets the window up for them, timed, and its
// coefficients come back to the digit; so does the window's forward Build of the same formula,
// and of the same data. A file of a level above the window's or of another interval changes
// nothing and its message names the line. Forward mode offers no load.
void TestCli::coefficientFilesInTheWindow()
{
    const QString formula = "sin(2*pi*x)*exp(-x)";
    QCOMPARE(cli("forward -m 4 -J 6 --exact -o k.csv -f " + formula).status, 0);
    QCOMPARE(cli("forward -m 2 -J 17 -f x -o deep.csv").status, 0);
    QVERIFY(!form->btnLoadCoeffCsv->isEnabled());
    form->rbBack->click();
    seam.fileAnswers << "deep.csv";
    form->btnLoadCoeffCsv->click();
    QCOMPARE(seam.messages.last(),
        "Файл «deep.csv», строка 2: окно строит уровни J до 16, а в файле J=17 (такие файлы "
        "обрабатывает splinewave-cli).");
    QVERIFY(form->cbStepSplain->currentText() == "2" && !form->expansion);
    QVERIFY(write("wide.csv", contents("k.csv").replace("; b=1;", "; b=2;")));
    seam.fileAnswers << "wide.csv";
    form->btnLoadCoeffCsv->click();
    QCOMPARE(seam.messages.last(),
        "Файл «wide.csv», строка 2: коэффициенты записаны для отрезка [0, 2], а отрезок в этой "
        "программе постоянный: [0, 1].");
    QVERIFY(
        form->cbStepSplain->currentText() == "2" && form->edtB->text() == "1" && !form->expansion);
    seam.fileAnswers << "k.csv";
    form->btnLoadCoeffCsv->click();
    QVERIFY_TIMED_STATUS("Вычислины коэффициенты для m=4. Время вычисления ");
    QVERIFY(form->cbStepSplain->currentText() == "4" && form->sbFinestLevel->value() == 6);
    QVERIFY(form->sbCoarsestLevel->value() == 3 && form->chExactIntegration->isChecked());
    QCOMPARE(windowCoefficients(), contents("k.csv"));
    form->rbForward->click();
    form->edtFunction->setText(formula);
    form->coeffC.clear(); // so that a Build that stores nothing is seen
    form->btnBuild->click();
    QCOMPARE(windowCoefficients(), contents("k.csv"));
    chooseDegree(3); // J = 4
    form->chExactIntegration->click();
    QVERIFY(write("сигнал.csv", "0\n0.25\n1\n0.5\n-0.75\n0\n"));
    seam.fileAnswers << QDir::current().filePath("сигнал.csv");
    form->btnLoadData->click();
    form->btnBuild->click();
    QCOMPARE(windowCoefficients(), cli("forward -m 3 -J 4 --data сигнал.csv").out);
}

// Cubics are reproduced at m = 4: the inverse at the sample points and at N points of [0, 1]
// with both ends (x = 0, 1/6, ..., 1 for N = 7) gives f back; a zero threshold keeps every coefficient and loses nothing, and
// keeping none zeroes every c.
void TestCli::inverseAndCompress()
{
    QVERIFY(cli("forward -m 4 -J 5 -f x^3-x -o k.csv").status == 0);
    for (const QString extra : {"", " --points 7"}) {
        QStringList lines
            = QString::fromUtf8(cli("inverse k.csv" + extra).out).split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.takeFirst() == "x,value" && lines.size() == (extra.isEmpty() ? 32 : 7));
        QCOMPARE(lines.last().section(',', 0, 0), extra.isEmpty() ? "0.96875" : "1");
        for (int i = 0; !extra.isEmpty() && i < 7; ++i)
            QVERIFY_EXACT(lines[i].section(',', 0, 0).toDouble(), i / 6.0);
        for (const QString& line : lines) { // the cubic up to the rounding of the transform
            const double x = line.section(',', 0, 0).toDouble();
            QVERIFY_NEAR(line.section(',', 1).toDouble(), x * x * x - x, 1e-12);
        }
    }
    const Run all = cli("compress k.csv --threshold 0");
    QCOMPARE(all.err,
        "сохранено 28 из 28 коэффициентов c; погрешность восстановления: наибольшая 0, "
        "среднеквадратичная 0\n");
    QCOMPARE(all.out, contents("k.csv"));
    const Run none = cli("compress k.csv --keep 0");
    QVERIFY(none.status == 0 && none.err.startsWith("сохранено 0 из 28 коэффициентов c"));
    for (const QByteArray& line : none.out.split('\n'))
        QVERIFY(!line.startsWith("c,") || line.endsWith(",0"));

    // A kink: |c| alone keeps a coefficient of the finest level, the contribution |c| ||psi||
    // keeps coarser ones and leaves the smaller error.
    QVERIFY(cli("forward -m 2 -J 6 -f abs(x-0.3) -o kink.csv").status == 0);
    auto kept = [](const Run& run) {
        QList<int> levels;
        for (const QByteArray& line : run.out.split('\n'))
            if (line.startsWith("c,") && !line.endsWith(",0"))
                levels << line.split(',')[1].toInt();
        return levels;
    };
    auto rms = [](const Run& run) { return run.err.section(' ', -1).toDouble(); };
    const Run contribution = cli("compress kink.csv --keep 3"),
              value = cli("compress kink.csv --keep 3 --by value");
    QVERIFY(kept(contribution) == QList<int>({2, 2, 3}) && kept(value).contains(6));
    QVERIFY(rms(contribution) < rms(value));
}

// -o replaces a regular file only when the result is complete: a hard link to the old file
// keeps the old contents. A symbolic link is followed, its target replaced and the link kept. A
// device or a named pipe is written directly: a reader of the pipe gets the text, and a full
// device is an error (exit 1) that leaves the device as it was. "-" and /dev/stdout are the
// standard output; an input file "-" is the standard input.
void TestCli::outputsAndInputs()
{
    const QString forward = "forward -m 2 -J 3 -f x -o ";
    const QByteArray text = cli("forward -m 2 -J 3 -f x").out;
    QVERIFY(write("target.csv", "old\n") && QFile::link("target.csv", "link.csv"));
    QVERIFY(::link("target.csv", "hard.csv") == 0);
    QCOMPARE(cli(forward + "link.csv").status, 0);
    QVERIFY(QFileInfo("link.csv").isSymLink()
        && QFileInfo("link.csv").symLinkTarget().endsWith("/target.csv"));
    QVERIFY(contents("target.csv") == text && contents("hard.csv") == "old\n");

    const QString full = fullDevice();
    const Run refused = cli(forward + full);
    QVERIFY2(refused.status == 1
            && refused.err.startsWith("splinewave-cli: Файл «" + full
                + "»: не удалось записать: запись не удалась (возможно, диск заполнен) ("),
        qPrintable(refused.err));
    QVERIFY(isCharacterDevice(full));

    // The reader opens the pipe first, without waiting for a writer; the text fits the pipe.
    QVERIFY(::mkfifo("pipe", 0600) == 0);
    const int reader = ::open("pipe", O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    const int status = cli(forward + "pipe").status;
    QByteArray received(1 << 16, 0);
    received.resize(std::max(::read(reader, received.data(), received.size()), ssize_t(0)));
    ::close(reader);
    struct stat pipe;
    QVERIFY(status == 0 && received == text);
    QVERIFY(::stat("pipe", &pipe) == 0 && S_ISFIFO(pipe.st_mode));

    for (const QString output : {"-", "/dev/stdout"}) {
        const Run piped = cli(forward + output);
        QVERIFY(piped.status == 0 && piped.out == text && !QFile::exists("-"));
    }
    QCOMPARE(cli("inverse - --points 3", text).out, cli("inverse target.csv --points 3").out);
    const QByteArray samples = "0\n0.5\n0.25\n1\n";
    QVERIFY(write("samples.csv", samples));
    const Run fromInput = cli("forward -m 2 -J 3 --data -", samples);
    const QByteArray fromFile = cli("forward -m 2 -J 3 --data samples.csv").out;
    auto body = [](const QByteArray& file) { return file.mid(file.indexOf("kind,")); };
    QVERIFY(fromInput.status == 0 && fromInput.out.contains("; f=data:-\n"));
    QCOMPARE(body(fromInput.out), body(fromFile));
    QCOMPARE(cli("inverse -", "x\n").err,
        "splinewave-cli: Файл «стандартный ввод», строка 1: ожидалась строка «# splinewave "
        "coefficients».\n");
}

// Years by the default route: stderr says it and the mapping, the header records fit, x0 and x1,
// and the inverse at the 17 points of the samples gives them back; the projection of the broken
// line is said and recorded as such and does not give them back.
void TestCli::samplesInTheirOwnUnits()
{
    QByteArray text = "год;число\n";
    QList<double> counts;
    for (int year = 1700; year <= 1716; ++year) {
        counts << std::round(50 + 40 * std::sin(year * 0.9));
        text += QByteArray::number(year) + ';' + QByteArray::number(counts.last()) + '\n';
    }
    QVERIFY(write("years.csv", text));
    const Run through = cli("forward -m 4 -J 4 --data years.csv -o k.csv");
    QCOMPARE(through.err,
        "Файл «years.csv»: сплайн проходит через отсчёты (fit=interpolate); x от 1700 до 1716 "
        "отображены на отрезок [0, 1].\n");
    QVERIFY(contents("k.csv").contains("; fit=interpolate; x0=1700; x1=1716; f=data:years.csv\n"));
    auto largestMiss = [&] {
        QStringList lines = QString::fromUtf8(cli("inverse k.csv --points 17").out).split('\n');
        double largest = 0;
        for (int i = 0; i < 17; ++i)
            largest
                = std::max(largest, std::abs(lines[i + 1].section(',', 1).toDouble() - counts[i]));
        return largest;
    };
    QVERIFY(largestMiss() <= 1e-12 * 90);
    const Run projected
        = cli("forward -m 4 -J 4 --data years.csv --fit project --interpolation linear -o k.csv");
    QVERIFY(
        projected.err.startsWith("Файл «years.csv»: проекция ломаной через отсчёты (fit=project)"));
    QVERIFY(contents("k.csv").contains("; fit=project; x0=1700; x1=1716; f=data:years.csv\n"));
    QVERIFY(largestMiss() > 1e-3);
}

// On a file system of 64 KB a result that does not fit is an error: exit 1, the previous file
// whole and nothing left beside it. Mounting one needs root.
void TestCli::fullDisk()
{
    QVERIFY(QDir().mkdir("small"));
    QProcess mount;
    mount.start("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", "small"});
    if (!mount.waitForFinished() || mount.exitStatus() != QProcess::NormalExit
        || mount.exitCode() != 0)
        QSKIP("no file system of 64 KB can be mounted here (mounting needs root)");
    const int written = cli("forward -m 3 -J 5 -f x -o small/k.csv").status;
    const QByteArray before = contents("small/k.csv");
    const Run large = cli("forward -m 3 -J 14 -f x -o small/k.csv");
    const QByteArray after = contents("small/k.csv");
    const QStringList files = QDir("small").entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(QProcess::execute("umount", {"small"}), 0);
    QVERIFY(written == 0 && before.startsWith("# splinewave coefficients\n"));
    QVERIFY2(large.status == 1 && large.err.contains("запись не удалась (возможно, диск заполнен)"),
        qPrintable(large.err));
    QVERIFY(after == before && files == QStringList {"k.csv"});
}

// An 8-bit grey image of 37 x 21 pixels with detail at every scale, in grey.png.
static QImage greyImage()
{
    QImage grey(37, 21, QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            grey.scanLine(y)[x] = uchar((x * 37 + y * y * 11) % 256);
    grey.save("grey.png");
    return grey;
}

// With every coefficient kept the grey pixels come back whole, for every order and rule and for
// levels above the image's; JPEG and TIFF files load as grey. K kept are K non-zero coefficients
// in the file of --coefficients (37 x 21 pixels: 2^6 + 3 by 2^5 + 3 coefficients at m = 4),
// and keeping more raises the PSNR; -o - writes the PNG to the standard output.
void TestCli::imageRoundTrip()
{
    const QImage grey = greyImage();
    for (const char* options : {"-m 2", "-m 3 --exact", "-m 4", "-m 4 --exact --Jx 7 --Jy 6"}) {
        const Run run = cli("image grey.png --percent 100 -o out.png " + QString(options));
        const QImage back = QImage("out.png").convertToFormat(QImage::Format_Grayscale8);
        QVERIFY2(run.status == 0 && back.size() == grey.size(), qPrintable(options + run.err));
        for (int y = 0; y < grey.height(); ++y)
            QVERIFY2(std::equal(back.constScanLine(y), back.constScanLine(y) + grey.width(),
                         grey.constScanLine(y)),
                qPrintable(QString(options) + ", row " + QString::number(y)));
    }
    QImage colour(30, 20, QImage::Format_RGB32);
    for (int y = 0; y < colour.height(); ++y)
        for (int x = 0; x < colour.width(); ++x)
            colour.setPixel(x, y, qRgb(8 * x, 12 * y, 255 - 4 * x));
    for (const char* file : {"colour.jpg", "colour.tif"}) {
        QVERIFY(colour.save(file));
        const Run run = cli("image " + QString(file) + " -m 3 --keep 50 -o out.png");
        const QImage back("out.png");
        QVERIFY2(run.status == 0 && back.size() == colour.size() && back.isGrayscale(),
            qPrintable(file + run.err));
    }
    auto psnr
        = [](const Run& run) { return run.err.section("PSNR ", 1).section(' ', 0, 0).toDouble(); };
    const Run few = cli("image grey.png -m 4 --keep 10 -o - --coefficients k.csv");
    QVERIFY2(few.status == 0 && few.err.startsWith("сохранено 10 из 2345 коэффициентов; PSNR ")
            && few.out.startsWith("\x89PNG\r\n"),
        qPrintable(few.err));
    int nonZero = 0;
    for (const QByteArray& line : contents("k.csv").split('\n'))
        nonZero += (line.startsWith("c,") || line.startsWith("d,")) && !line.endsWith(",0");
    QCOMPARE(nonZero, 10);
    // The file of every coefficient read back in place of the image: keeping 10 keeps the same
    // 10, to the bit.
    QCOMPARE(cli("image grey.png -m 4 --percent 100 -o out.png --coefficients all.csv").status, 0);
    const Run again = cli("image all.csv --keep 10 -o - --coefficients again.csv");
    QVERIFY2(
        again.status == 0 && again.out == few.out && contents("again.csv") == contents("k.csv"),
        qPrintable(again.err));
    const Run many = cli("image grey.png -m 4 --keep 500 -o out.png");
    QVERIFY2(psnr(many) > psnr(few) + 3, qPrintable(few.err + many.err));
}

// A call without one selection or without -o, levels given twice or out of range, levels beside
// a coefficient file, or a second file is a usage error; a missing file, one that is not an
// image, an image of one pixel's width, a folder, an image wider than the level's spline or a
// damaged coefficient file is bad data. Neither writes a file.
void TestCli::imageRefusals()
{
    greyImage();
    QVERIFY(write("text.png", "x,value\n0,1\n") && QDir().mkdir("folder.png"));
    QVERIFY(QImage(1, 9, QImage::Format_Grayscale8).save("line.png"));
    QVERIFY(cli("image grey.png -m 4 --percent 100 -o all.png --coefficients all.csv").status == 0);
    QVERIFY(write("damaged.csv",
        "# splinewave coefficients\n# m=4; Jx=6; Jy=5; J0=2; rule=default; width=37; height=21; "
        "channel=grey; f=image:grey.png\nkind,level\n"));
    const std::tuple<const char*, int, const char*> cases[] = {
        {"grey.png -m 4 -o out.png", 2,
            "задайте ровно одно из --keep K, --percent P и --threshold T\n"},
        {"grey.png -m 4 --keep 1 --percent 5 -o out.png", 2, "задайте ровно одно из --keep K"},
        {"grey.png -m 4 --percent 101 -o out.png", 2, "значение --percent «101» больше 100\n"},
        {"grey.png -m 4 --threshold -1 -o out.png", 2, "значение --threshold «-1» не неотриц"},
        {"grey.png -m 4 --keep 5", 2, "не задан параметр -o\n"},
        {"grey.png --keep 5 -o out.png", 2,
            "не задан параметр -m (без него файл должен быть файлом коэффициентов изображения)\n"},
        {"all.csv --keep 5 -J 6 -o out.png", 2,
            "у файла коэффициентов изображения m, правило и уровни свои: без -m параметр -J не "
            "задают\n"},
        {"damaged.csv --keep 5 -o out.png", 1,
            "Файл «damaged.csv», строка 3: ожидалась строка «kind,level,band,ix,iy,value»"},
        {"grey.png -m 4 -J 6 --Jy 5 --keep 5 -o out.png", 2,
            "задайте уровни одним способом: -J для обеих осей или --Jx и --Jy\n"},
        {"grey.png -m 4 --Jy 3 --keep 5 -o out.png", 2,
            "по оси y: Уровень J=3 вне допустимых пределов для m=4 и J0=2: от 4 до 22.\n"},
        {"grey.png -m 4 --keep 5 --by value -o out.png", 2,
            "команда image не принимает параметр --by\n"},
        {"grey.png grey.png -m 4 --keep 5 -o out.png", 2, "нужен ровно один файл изображения\n"},
        {"grey.png -m 4 --keep 5 -o - --coefficients -", 2,
            "-o и --coefficients не могут оба писать в стандартный вывод\n"},
        {"none.png -m 4 --keep 5 -o out.png", 1, "Файл «none.png»: файл не найден"},
        {"text.png -m 4 --keep 5 -o out.png", 1, "Файл «text.png»: это не изображение PNG, JPEG"},
        {"line.png -m 4 --keep 5 -o out.png", 1,
            "Файл «line.png»: в изображении 1 × 9 пикселей, а нужно не меньше 2 × 2.\n"},
        {"folder.png -m 4 --keep 5 -o out.png", 1, "Файл «folder.png»: "},
        {"grey.png -m 4 -J 4 --keep 5 -o out.png", 1,
            "Сплайн уровня Jx = 4 проходит не более чем через 17 пикселей строки"},
    };
    for (const auto& [line, status, message] : cases) {
        const QString arguments = "image " + QString(line)
            + (QString(line).contains("--coefficients") ? "" : " --coefficients k.csv");
        const Run run = cli(arguments);
        QVERIFY2(run.status == status && run.err.startsWith("splinewave-cli: " + QString(message))
                && run.err.endsWith("Подробнее: splinewave-cli --help\n") == (status == 2)
                && run.out.isEmpty(),
            qPrintable(line + (": " + run.err)));
        QVERIFY2(!QFile::exists("out.png") && !QFile::exists("k.csv"), line);
    }
}

SPLINEWAVE_TEST_MAIN(TestCli)
#include "test_cli.moc"
