// Checks that the Windows pictanote-render, run under Wine, does what the Linux one does, on a
// table of work files: every good BMP of the public suite and a PNG as the source, each of the
// six styles, fonts with Japanese faces, and a work file in a folder with a Japanese name.
//   --make    the two work files are the same bytes
//   --info    the same JSON
//   render    the same BMP header, and every pixel the same except inside a marker's number
//             box (the numbers come from each system's font rasteriser)
// Usage: pictanote-render-parity WORK-FOLDER BMPSUITE-FOLDER LINUX-RENDER WINDOWS-RENDER...
// (WINDOWS-RENDER... is the command that runs the Windows program, e.g. tools/windows/wine-run.sh
// with its arguments and the .exe). Prints one line per case and "N passed, M failed".

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRect>

#include <cstdio>

namespace {

struct Run {
    bool ok = false;
    QByteArray out;
    QString error;
};

class Parity {
public:
    Parity(QDir work, QString linuxRender, QStringList windowsRender)
        : m_work(std::move(work)),
          m_linux(std::move(linuxRender)),
          m_windows(std::move(windowsRender)) {}

    Run run(bool windows, const QStringList& args) const {
        QProcess p;
        p.setWorkingDirectory(m_work.path());
        if (windows)
            p.start(m_windows.front(), m_windows.mid(1) + args);
        else
            p.start(m_linux, args);
        Run r;
        if (!p.waitForFinished(180000)) {
            p.kill();
            p.waitForFinished();
            r.error = QStringLiteral("did not finish");
            return r;
        }
        r.out = p.readAllStandardOutput();
        r.ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        if (!r.ok)
            r.error = QStringLiteral("exit %1: %2")
                          .arg(p.exitCode())
                          .arg(QString::fromUtf8(p.readAllStandardError()).trimmed());
        return r;
    }

    QByteArray read(const QString& name) const {
        QFile f(m_work.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // One case: a source image, a description, output names under `folder`. Empty when the two
    // programs agree, else what differs.
    QString check(const QString& folder, const QString& stem, const QString& source,
                  const QJsonObject& description) const {
        if (!folder.isEmpty())
            m_work.mkpath(folder);
        const QString base = folder.isEmpty() ? stem : folder + QLatin1Char('/') + stem;
        const QString desc = base + QStringLiteral(".json");
        QFile d(m_work.filePath(desc));
        if (!d.open(QIODevice::WriteOnly) || d.write(QJsonDocument(description).toJson()) < 0)
            return QStringLiteral("cannot write %1").arg(desc);
        d.close();

        QString work[2];
        for (const bool windows : {false, true}) {
            work[windows] = base + (windows ? QStringLiteral("-win.ptn") : QStringLiteral(".ptn"));
            const Run made = run(windows, {QStringLiteral("--make"), work[windows],
                                           QStringLiteral("--source"), source,
                                           QStringLiteral("--markers"), desc});
            if (!made.ok)
                return QStringLiteral("--make (%1) %2").arg(windows ? "Windows" : "Linux", made.error);
        }
        if (read(work[0]) != read(work[1]) || read(work[0]).isEmpty())
            return QStringLiteral("--make wrote different work files");

        Run info[2];
        for (const bool windows : {false, true}) {
            info[windows] = run(windows, {QStringLiteral("--info"), work[0]});
            if (!info[windows].ok)
                return QStringLiteral("--info (%1) %2").arg(windows ? "Windows" : "Linux",
                                                            info[windows].error);
        }
        if (info[0].out != info[1].out)
            return QStringLiteral("--info differs:\n  %1\n  %2")
                .arg(QString::fromUtf8(info[0].out).trimmed(),
                     QString::fromUtf8(info[1].out).trimmed());

        QString picture[2];
        for (const bool windows : {false, true}) {
            picture[windows] = base + (windows ? QStringLiteral("-win.bmp") : QStringLiteral(".bmp"));
            const Run r = run(windows, {work[0], picture[windows]});
            if (!r.ok)
                return QStringLiteral("render (%1) %2").arg(windows ? "Windows" : "Linux", r.error);
        }
        return comparePictures(read(picture[0]), read(picture[1]), markerBoxes(info[0].out));
    }

private:
    // Where each marker's number may be drawn: the marker's rectangle and what a glyph may
    // overhang it by.
    static QList<QRect> markerBoxes(const QByteArray& infoJson) {
        QList<QRect> boxes;
        const QJsonArray markers = QJsonDocument::fromJson(infoJson)[QLatin1String("markers")].toArray();
        for (const QJsonValue& m : markers) {
            const QRect r(QPoint(m[QLatin1String("left")].toInt(), m[QLatin1String("top")].toInt()),
                          QPoint(m[QLatin1String("right")].toInt() - 1,
                                 m[QLatin1String("bottom")].toInt() - 1));
            boxes.append(r.adjusted(-8, -8, 8, 8));
        }
        return boxes;
    }

    static QString comparePictures(const QByteArray& a, const QByteArray& b,
                                   const QList<QRect>& boxes) {
        constexpr int kHeader = 54;
        if (a.size() < kHeader || b.size() < kHeader)
            return QStringLiteral("no picture");
        if (a.left(kHeader) != b.left(kHeader))
            return QStringLiteral("the BMP headers differ");
        const QImage ia = QImage::fromData(a, "BMP");
        const QImage ib = QImage::fromData(b, "BMP");
        if (ia.isNull() || ia.size() != ib.size())
            return QStringLiteral("the pictures cannot be read or differ in size");
        qsizetype inside = 0;
        for (int y = 0; y < ia.height(); ++y) {
            for (int x = 0; x < ia.width(); ++x) {
                if (ia.pixel(x, y) == ib.pixel(x, y))
                    continue;
                bool inBox = false;
                for (const QRect& box : boxes)
                    inBox = inBox || box.contains(x, y);
                if (!inBox)
                    return QStringLiteral("pixel (%1, %2) differs outside every marker").arg(x).arg(y);
                ++inside;
            }
        }
        Q_UNUSED(inside);
        return {};
    }

    QDir m_work;
    QString m_linux;
    QStringList m_windows;
};

QJsonObject description(int index, const QString& face, int style) {
    QJsonArray markers;
    // Corners, the middle and a marker reaching past the right edge; keys spread over 1..99.
    const int places[][3] = {{0, 0, 0}, {1, 40, 8}, {9, 12, 30}, {42, 70, 20}, {98, 150, 40}};
    for (const auto& [key, left, top] : places) {
        QJsonObject m;
        m[QLatin1String("key")] = key;
        m[QLatin1String("left")] = left;
        m[QLatin1String("top")] = top;
        markers.append(m);
    }
    QJsonObject font;
    font[QLatin1String("face")] = face;
    font[QLatin1String("size")] = 8 + index % 9;
    font[QLatin1String("color")] = (index * 0x3F1F7) & 0xFFFFFF;
    font[QLatin1String("bold")] = index % 2 == 1;
    font[QLatin1String("italic")] = index % 3 == 1;
    QJsonObject d;
    d[QLatin1String("font")] = font;
    d[QLatin1String("style")] = style;
    d[QLatin1String("markers")] = markers;
    return d;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 5) {
        std::fputs("usage: pictanote-render-parity WORK-FOLDER BMPSUITE-FOLDER LINUX-RENDER "
                   "WINDOWS-RENDER...\n",
                   stderr);
        return 2;
    }
    QDir work(args[1]);
    work.mkpath(QStringLiteral("."));
    // The renders run in the work folder: the sources are named by absolute paths.
    const QDir suite(QFileInfo(args[2]).absoluteFilePath() + QStringLiteral("/g"));
    const Parity parity(work, args[3], args.mid(4));

    struct Case {
        QString folder, stem, source;
        QJsonObject description;
    };
    QList<Case> cases;
    const QStringList faces = {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("ＭＳ Ｐゴシック"),
                               QStringLiteral("IPAGothic")};
    int index = 0;
    for (const QString& name : suite.entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name)) {
        cases.append({QString(), QFileInfo(name).completeBaseName(), suite.filePath(name),
                      description(index, faces[index % faces.size()], index % 6)});
        ++index;
    }
    // A PNG source, and a work file whose folder and name are Japanese.
    QImage png(200, 120, QImage::Format_RGB32);
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x)
            png.setPixel(x, y, qRgb(x, y * 2, (x + y) & 0xFF));
    png.save(work.filePath(QStringLiteral("source.png")));
    cases.append({QString(), QStringLiteral("png-source"), QStringLiteral("source.png"),
                  description(index++, faces[0], 4)});
    work.mkpath(QStringLiteral("作業"));
    png.save(work.filePath(QStringLiteral("作業/元画像.png")));
    cases.append({QStringLiteral("作業"), QStringLiteral("説明図"), QStringLiteral("作業/元画像.png"),
                  description(index++, faces[1], 5)});

    int passed = 0;
    int failed = 0;
    for (const Case& c : cases) {
        const QString problem = parity.check(c.folder, c.stem, c.source, c.description);
        const QString label = c.folder.isEmpty() ? c.stem : c.folder + QLatin1Char('/') + c.stem;
        if (problem.isEmpty()) {
            ++passed;
            std::printf("same     %s\n", qUtf8Printable(label));
        } else {
            ++failed;
            std::printf("DIFFERS  %s: %s\n", qUtf8Printable(label), qUtf8Printable(problem));
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
