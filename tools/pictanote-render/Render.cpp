// pictanote-render: work files for scripts, without a window.
//
//   pictanote-render WORK.ptn OUT                     the picture the export writes
//   pictanote-render --out-dir DIR [--format bmp|png] WORK.ptn...
//   pictanote-render --info WORK.ptn                  the document as JSON
//   pictanote-render --make OUT.ptn --source IMAGE --markers DESC.json
//
// Every mode opens work files as the window's open command does and composes as its export
// does, through the same document object. Exit status: 0 done, 1 a file could not be read,
// made or written, 2 usage. Standard error carries the messages the window would show and
// nothing else: Qt's own diagnostics are kept back unless --verbose is given.
#include "Common.h"
#include "Cp932.h"
#include "ImageFile.h"
#include "MarkerDescription.h"
#include "ProgramStart.h"
#include "Session.h"
#include "ToolkitError.h"
#include "WorkerThreads.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSet>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

std::atomic<bool> g_verbose{false};

void qtMessages(QtMsgType, const QMessageLogContext&, const QString& text) {
    if (g_verbose.load())
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

void printTo(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

void errorLine(const QString& text) {
    printTo(stderr, text + QLatin1Char('\n'));
}

// Each message on its own line, after `prefix` when there is one.
void errorLines(const QStringList& messages, const QString& prefix = {}) {
    for (const QString& message : messages)
        errorLine(prefix.isEmpty() ? message : prefix + QStringLiteral(": ") + message);
}

const char kHelp[] =
    "usage: pictanote-render WORK.ptn OUT\n"
    "       pictanote-render --out-dir DIR [--format bmp|png] WORK.ptn...\n"
    "       pictanote-render --info WORK.ptn\n"
    "       pictanote-render --make OUT.ptn --source IMAGE --markers DESC.json\n"
    "\n"
    "Renders work files (.ptn) as the export does, describes them as JSON, and makes them\n"
    "from a source image and a JSON description of the markers.\n"
    "\n"
    "  OUT               .png writes a 24-bit PNG, any other name a 24-bit BMP,\n"
    "                    - a BMP on standard output\n"
    "  --out-dir DIR     renders every WORK.ptn to DIR/NAME.bmp (or .png), in parallel\n"
    "  --format FORMAT   bmp (the default) or png, with --out-dir\n"
    "  --info            prints the work file's font, style, image and markers as JSON\n"
    "  --make OUT.ptn    writes a work file of IMAGE with the markers of DESC.json\n"
    "                    (an optional \"size\", 16 to 128, sizes markers without\n"
    "                    right and bottom; 32 unless given)\n"
    "  --verbose         lets the toolkit's own diagnostics through to standard error\n"
    "  -h, --help        shows this help\n"
    "  --version         shows the version\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read, made or written, 2 usage.\n";

int usageError(const QString& text) {
    errorLine(QStringLiteral("pictanote-render: ") + text);
    errorLine(QStringLiteral("Try 'pictanote-render --help' for more information."));
    return kUsage;
}

// ---- The command line ----

struct Options {
    bool help = false;
    bool version = false;
    bool info = false;
    std::optional<QString> outDir;
    std::optional<QString> format;
    std::optional<QString> make;
    std::optional<QString> source;
    std::optional<QString> markers;
    QStringList files;
    QString error;
};

Options parse(const QStringList& args) {
    Options o;
    const struct {
        const char* name;
        std::optional<QString> Options::*field;
    } valued[] = {{"--out-dir", &Options::outDir},
                  {"--format", &Options::format},
                  {"--make", &Options::make},
                  {"--source", &Options::source},
                  {"--markers", &Options::markers}};
    bool optionsEnd = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (optionsEnd || !a.startsWith(QLatin1Char('-')) || a == QLatin1String("-")) {
            o.files << a;
            continue;
        }
        if (a == QLatin1String("--")) {
            optionsEnd = true;
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            o.help = true;
        } else if (a == QLatin1String("--version")) {
            o.version = true;
        } else if (a == QLatin1String("--info")) {
            o.info = true;
        } else if (a == QLatin1String("--verbose")) {
            g_verbose = true;
        } else {
            bool known = false;
            for (const auto& v : valued) {
                const QString name = QLatin1String(v.name);
                QString value;
                if (a == name) {
                    if (i + 1 >= args.size()) {
                        o.error = QStringLiteral("%1 needs a value").arg(name);
                        return o;
                    }
                    value = args[++i];
                } else if (a.startsWith(name + QLatin1Char('='))) {
                    value = a.mid(name.size() + 1);
                } else {
                    continue;
                }
                if (o.*(v.field)) {
                    o.error = QStringLiteral("%1 given twice").arg(name);
                    return o;
                }
                o.*(v.field) = value;
                known = true;
                break;
            }
            if (!known) {
                o.error = QStringLiteral("unknown option %1").arg(a);
                return o;
            }
        }
    }
    return o;
}

// ---- Sessions ----

// A session ready for documents; the glyphs it cannot make are its start-up's message.
Document::Result startSession(Document::Session& session) {
    Document::Result result;
    try {
        session.Create();
    } catch (const Platform::ToolkitError& e) {
        result.Errors << e.message();
    }
    return result;
}

// The session of a one-file mode with its work file open; false after printing the messages the
// window would show for it.
bool openWork(Document::Session& session, const QString& work) {
    Document::Result result = startSession(session);
    if (result.Ok())
        result = session.OpenWorkFile(work);
    errorLines(result.Errors);
    return result.Ok();
}

// Standard output as the end of an export.
class StandardOutput : public Platform::FileSink {
public:
    StandardOutput() { Platform::setBinaryStandardOutput(); }
    using Platform::FileSink::write;
    void write(const char* data, int64_t count) override {
        while (count > 0) {
            const ssize_t n = ::write(STDOUT_FILENO, data, static_cast<size_t>(count));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw Platform::ToolkitError(Platform::Msg::streamWriteError());
            data += n;
            count -= n;
        }
    }
};

int render(const QString& work, const QString& out) {
    Document::Session session;
    if (!openWork(session, work))
        return kFailed;
    Document::Result result;
    if (out == QLatin1String("-")) {
        StandardOutput sink;
        result = session.WriteExport(sink, Document::ExportFormat::Bmp, Document::ExportUse::Last);
    } else {
        result = session.ExportBitmap(out, Document::ExportUse::Last);
    }
    errorLines(result.Errors, out);
    return result.Ok() ? kDone : kFailed;
}

int info(const QString& work) {
    Document::Session session;
    if (!openWork(session, work))
        return kFailed;
    const Platform::Bitmap* image = session.SourceBitmap();
    const QByteArray json = Document::DescribeAsJson(
        session.Font(), session.BackgroundStyle(),
        {session.ImageWidth(), session.ImageHeight(), image ? image->bitsPerPixel() : 0},
        session.Map());
    StandardOutput out;
    try {
        out.write(json);
    } catch (const Platform::ToolkitError& e) {
        errorLine(QStringLiteral("-: ") + e.message());
        return kFailed;
    }
    return kDone;
}

int make(const QString& out, const QString& source, const QString& descriptionPath) {
    Document::Session session;
    Document::Result result = startSession(session);
    if (!result.Ok()) {
        errorLines(result.Errors);
        return kFailed;
    }
    QFile file(descriptionPath);
    // Only a regular file: a pipe or a device could hand out bytes without end.
    if (!QFileInfo(descriptionPath).isFile() || !file.open(QIODevice::ReadOnly)) {
        errorLine(Platform::Msg::cannotOpenFile(descriptionPath));
        return kFailed;
    }
    const QByteArray json = file.readAll();
    Document::Description defaults;
    defaults.Font = session.Font();
    defaults.BackgroundStyle = session.BackgroundStyle();
    const Document::DescriptionRead read = Document::ReadDescription(json, defaults);
    if (!read.Value) {
        errorLine(descriptionPath + QStringLiteral(": ") + read.Error);
        return kFailed;
    }
    // The source image opens as the window's open command opens it.
    try {
        result = session.TakeSourceBitmap(Platform::readImageFile(source));
    } catch (const Platform::ToolkitError& e) {
        result.Errors << e.message();
    }
    if (!result.Ok()) {
        errorLines(result.Errors);
        return kFailed;
    }
    try {
        session.ApplyFont(read.Value->Font);
    } catch (const Platform::ToolkitError& e) {
        errorLine(descriptionPath + QStringLiteral(": font: ") + e.message());
        return kFailed;
    }
    session.ApplyStyle(read.Value->BackgroundStyle);
    for (const auto& [key, marker] : read.Value->Markers)
        session.Map().InsertMarker(key, marker);
    result = session.SaveWorkFile(out);
    errorLines(result.Errors, out);
    return result.Ok() ? kDone : kFailed;
}

// ---- Batches ----

class Progress {
public:
    explicit Progress(qsizetype total) : m_total(total), m_shown(isatty(STDERR_FILENO) == 1) {
        show();
    }
    ~Progress() {
        if (m_shown)
            std::fputs("\r\033[K", stderr);
    }
    void failed(const QString& line) {
        const std::lock_guard lock(m_mutex);
        if (m_shown)
            std::fputs("\r\033[K", stderr);
        errorLine(line);
        showLocked();
    }
    void done() {
        const std::lock_guard lock(m_mutex);
        ++m_done;
        showLocked();
    }

private:
    void show() {
        const std::lock_guard lock(m_mutex);
        showLocked();
    }
    void showLocked() {
        if (m_shown)
            std::fprintf(stderr, "\r%lld/%lld", static_cast<long long>(m_done),
                         static_cast<long long>(m_total));
        std::fflush(stderr);
    }

    std::mutex m_mutex;
    qsizetype m_done = 0;
    qsizetype m_total;
    bool m_shown;
};

struct Job {
    QString work;
    QString out;
    QString refused;  // why it is not rendered at all
};

int batch(const QString& dir, const QString& suffix, const QStringList& files) {
    std::vector<Job> jobs;
    QSet<QString> outputs;
    for (const QString& work : files) {
        Job job{work, QDir(dir).filePath(QFileInfo(work).completeBaseName() + suffix), {}};
        if (outputs.contains(job.out))
            job.refused = job.out + QStringLiteral(": also the output of an earlier work file");
        outputs.insert(job.out);
        jobs.push_back(job);
    }
    QDir().mkpath(dir);  // when it cannot be made, each export says so

    Progress progress(std::ssize(jobs));
    std::atomic<size_t> next{0};
    std::atomic<bool> anyFailed{false};
    auto fail = [&](const Job& job, const QStringList& messages) {
        anyFailed = true;
        progress.failed(job.work + QStringLiteral(": ") + messages.join(QLatin1Char(' ')));
    };
    // Each worker holds one document at a time, so no more images are in memory than are
    // being rendered at once.
    auto worker = [&] {
        Document::Session session;
        const Document::Result started = startSession(session);
        for (size_t i = next++; i < jobs.size(); i = next++) {
            const Job& job = jobs[i];
            Document::Result result = started;
            if (!job.refused.isEmpty())
                result.Errors << job.refused;
            if (result.Ok())
                result = session.OpenWorkFile(job.work);
            if (result.Ok())
                result = session.ExportBitmap(job.out, Document::ExportUse::Last);
            if (!result.Ok())
                fail(job, result.Errors);
            progress.done();
        }
        session.New();
    };
    Platform::runOnThreads(
        static_cast<int>(std::min<size_t>(std::max(1, QThread::idealThreadCount()), jobs.size())),
        worker);
    return anyFailed ? kFailed : kDone;
}

int run(const Options& o) {
    if (!o.error.isEmpty())
        return usageError(o.error);
    if (o.help) {
        std::fputs(kHelp, stdout);
        return kDone;
    }
    if (o.version) {
        printTo(stdout,
                QStringLiteral("pictanote-render ") +
                    Platform::Cp932::toUnicode(Common::GetFileVersion(Common::fvFileVersion)) +
                    QLatin1Char('\n'));
        return kDone;
    }
    const int modes = int{o.info} + int{o.make.has_value()} + int{o.outDir.has_value()};
    if (modes > 1)
        return usageError(QStringLiteral("--info, --make and --out-dir do not go together"));
    if (o.format && !o.outDir)
        return usageError(QStringLiteral("--format goes with --out-dir"));
    if ((o.source || o.markers) && !o.make)
        return usageError(QStringLiteral("--source and --markers go with --make"));
    if (o.info) {
        if (o.files.size() != 1)
            return usageError(QStringLiteral("--info takes one work file"));
        return info(o.files[0]);
    }
    if (o.make) {
        if (!o.source || !o.markers)
            return usageError(QStringLiteral("--make needs --source and --markers"));
        if (!o.files.isEmpty())
            return usageError(QStringLiteral("--make takes no other files"));
        return make(*o.make, *o.source, *o.markers);
    }
    if (o.outDir) {
        const QString format = o.format.value_or(QStringLiteral("bmp"));
        if (format != QLatin1String("bmp") && format != QLatin1String("png"))
            return usageError(QStringLiteral("--format is bmp or png"));
        if (o.files.isEmpty())
            return usageError(QStringLiteral("--out-dir needs work files"));
        return batch(*o.outDir, QLatin1Char('.') + format, o.files);
    }
    if (o.files.size() != 2)
        return usageError(QStringLiteral("give a work file and an output"));
    return render(o.files[0], o.files[1]);
}

}  // namespace

int main(int argc, char** argv) {
    // Installed first, so that nothing the toolkit says while starting reaches standard error.
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--verbose")
            g_verbose = true;
    }
    qInstallMessageHandler(qtMessages);
    Platform::useWindowlessToolkit();
    QGuiApplication app(argc, argv);
    const int status = run(parse(QGuiApplication::arguments()));
    std::fflush(stdout);
    return status;
}
