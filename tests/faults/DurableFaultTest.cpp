// The save paths under injected faults. Each save runs in a process of its own, which the
// harness starts with a file size limit, points at a read-only, missing, vanishing or full
// folder, or kills half-way. Whatever happens, the target is the earlier file byte for byte or
// the new one complete, a failure says what the save says, and no temporary file is left.
#include "AtomicFile.h"
#include "Bmp.h"
#include "FaultImages.h"
#include "TestSupport.h"
#include "WorkFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtEndian>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace {

const QString kWriteError = QStringLiteral("ストリームへの書き込みエラー");
QString cannotCreate(const QString& path) {
    return QStringLiteral("ファイル %1 を作成できません").arg(path);
}

struct Outcome {
    int exitCode = -1;  // -1: ended by a signal
    QString errors;
    QStringList allErrors;
};

struct Child {
    pid_t pid = -1;
    int errors = -1;  // the reading end of its standard error
};

// Starts `command` with the file size limit `limit` (SIGXFSZ ignored, so that writes past it
// fail instead of killing). Its standard error comes through a pipe, which no limit binds. Only
// system calls run between fork and exec.
Child spawn(const QStringList& command, rlim_t limit = RLIM_INFINITY) {
    std::vector<QByteArray> args;
    for (const QString& arg : command)
        args.push_back(QFile::encodeName(arg));
    std::vector<char*> argv;
    for (QByteArray& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    rlimit fileSize{};
    getrlimit(RLIMIT_FSIZE, &fileSize);
    fileSize.rlim_cur = std::min(limit, fileSize.rlim_max);
    int pipeFds[2] = {-1, -1};
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
        ::signal(SIGXFSZ, SIG_IGN);
        ::dup2(pipeFds[1], STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    return {pid, pipeFds[0]};
}

Outcome finish(const Child& child) {
    QByteArray errors;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(child.errors, buffer, sizeof buffer);
        if (n > 0)
            errors.append(buffer, n);
        else if (n == 0 || errno != EINTR)
            break;
    }
    ::close(child.errors);
    int status = 0;
    while (::waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    Outcome run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // The last line: the toolkit of the renderer may warn about its setup before it. A failed
    // read adds the load failure after its cause, so the cause is kept as well.
    const QStringList lines = QString::fromUtf8(errors).trimmed().split(QLatin1Char('\n'));
    run.errors = lines.last();
    run.allErrors = lines;
    return run;
}

QByteArray bytesOf(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(no file)");
}

void putBytes(const QString& file, const QByteArray& bytes) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

QStringList durableTempsIn(const QString& folder) {
    QStringList temps;
    for (const QString& name : entriesOf(folder))
        if (Platform::isDurableTempName(name))
            temps << name;
    return temps;
}

// A mount namespace of this thread's own (the tests run on one thread, and their children
// inherit it), so that the folders mounted read-only or small here are seen by nobody else.
// Empty when there is one; otherwise why not.
QString privateMounts() {
    static const QString why = []() -> QString {
        if (::unshare(CLONE_NEWNS) != 0)
            return QStringLiteral("no mount namespace of our own: %1").arg(std::strerror(errno));
        if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return QStringLiteral("mounts cannot be made private: %1").arg(std::strerror(errno));
        return {};
    }();
    return why;
}

// The file size limits worth trying on `file`, whose BMP image starts at `bitmapAt`: either side
// of every header boundary, of the ends of the first rows and of `extra`, and a spread of
// points inside the pixels.
std::vector<rlim_t> limitPoints(const QByteArray& file, int64_t bitmapAt,
                                const std::vector<int64_t>& extra) {
    const auto* bmp = reinterpret_cast<const uchar*>(file.constData()) + bitmapAt;
    const int64_t pixels = bitmapAt + qFromLittleEndian<uint32_t>(bmp + 10);
    const int64_t width = qFromLittleEndian<int32_t>(bmp + 18);
    const int64_t bits = qFromLittleEndian<uint16_t>(bmp + 28);
    const int64_t stride = (width * bits + 31) / 32 * 4;
    std::set<int64_t> marks{0, bitmapAt, bitmapAt + 14, bitmapAt + 54, pixels, file.size()};
    if (bitmapAt > 0)
        marks.insert(8);  // the work file's two lengths
    for (int row = 1; row <= 3; ++row)
        marks.insert(pixels + row * stride);
    marks.insert(extra.begin(), extra.end());
    std::set<rlim_t> points;
    for (const int64_t mark : marks)
        for (int64_t near = mark - 1; near <= mark + 1; ++near)
            if (near >= 0)
                points.insert(static_cast<rlim_t>(near));
    for (int i = 1; i <= 8; ++i)
        points.insert(static_cast<rlim_t>(pixels + (file.size() - pixels) * i / 9));
    return {points.begin(), points.end()};
}

enum class WritePath { WorkSave, BmpExport, Render };

// One write path: the command that writes a target, the bytes it writes there and how its
// failures are worded.
struct Operation {
    std::function<QStringList(const QString& target)> command;
    QByteArray expected;
    int64_t bitmapAt = 0;
    std::vector<int64_t> extraMarks;
    QString failurePrefix;  // before the message on standard error
    bool namesOutput = false;  // the output's name and ": " come before it instead
};

class DurableFaultTest : public TestSupport::TempDirTest {
protected:
    void SetUp() override {
        for (const char* name : {"TMPDIR", "XDG_RUNTIME_DIR"})
            m_oldEnvironment.emplace_back(name, qgetenv(name));
        for (const char* folder : {"out", "tmp", "in"})
            ASSERT_TRUE(QDir().mkpath(path(QString::fromLatin1(folder))));
        // The staging files of work-file saves and renders go here, where the test sees them.
        qputenv("TMPDIR", QFile::encodeName(staging()));
        const QString runtime = path(QStringLiteral("runtime"));
        ASSERT_TRUE(QDir().mkpath(runtime));
        ASSERT_TRUE(
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    void TearDown() override {
        for (const auto& [name, value] : m_oldEnvironment) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }

    QString out() const { return path(QStringLiteral("out")); }
    QString staging() const { return path(QStringLiteral("tmp")); }

    Outcome run(const QStringList& command, rlim_t limit = RLIM_INFINITY) {
        return finish(spawn(command, limit));
    }

    Operation operation(WritePath which, int width = 0, int height = 0) {
        Operation op;
        const QString helper = QStringLiteral(PICTANOTE_FAULT_HELPER_PATH);
        switch (which) {
            case WritePath::WorkSave: {
                width = width ? width : 50, height = height ? height : 30;
                const Platform::Bitmap image = FaultImages::picture(width, height, 24, 7);
                op.expected = Document::EncodeWorkFile(image, FaultImages::lines(7));
                op.bitmapAt = 8 + qFromLittleEndian<int32_t>(op.expected.constData());
                // Where the staged bitmap block fills: the limit binds the staging files too.
                op.extraMarks = {op.expected.size() - op.bitmapAt};
                op.command = [=](const QString& target) {
                    return QStringList{helper,
                                       QStringLiteral("work"),
                                       target,
                                       QString::number(width),
                                       QString::number(height),
                                       QStringLiteral("24"),
                                       QStringLiteral("7")};
                };
                break;
            }
            case WritePath::BmpExport: {
                width = width ? width : 64, height = height ? height : 40;
                const int bits = width * height > 1000000 ? 24 : 8;  // small ones with a palette
                op.expected = Platform::Bmp::encode(FaultImages::picture(width, height, bits, 3));
                op.command = [=](const QString& target) {
                    return QStringList{helper,
                                       QStringLiteral("bmp"),
                                       target,
                                       QString::number(width),
                                       QString::number(height),
                                       QString::number(bits),
                                       QStringLiteral("3")};
                };
                break;
            }
            case WritePath::Render: {
                // A 1-bit source: its staged blocks stay small, so that most limits reach the
                // 24-bit output rather than the reading of the input.
                const QString input = path(QStringLiteral("in/doc.ptn"));
                putBytes(input, Document::EncodeWorkFile(FaultImages::picture(200, 20, 1, 5),
                                                         FaultImages::lines(5)));
                op.command = [=](const QString& target) {
                    return QStringList{QStringLiteral(PICTANOTE_RENDER_PATH), input, target};
                };
                // An output that cannot be written is named before its message; a limit that
                // stops the reading of the input gives the input's messages alone.
                op.namesOutput = true;
                const QString reference = path(QStringLiteral("in/reference.bmp"));
                const Outcome made = run(op.command(reference));
                EXPECT_EQ(made.exitCode, 0) << made.errors.toStdString();
                op.expected = bytesOf(reference);
                op.extraMarks = {QFileInfo(input).size() - 8};
                break;
            }
        }
        return op;
    }

    // One run under a fault: it either wrote the new file whole (only where `mayWrite`), or
    // failed with `message` and left `old` in place. Either way nothing temporary remains.
    // Returns whether it wrote.
    bool expectWholeOrNothing(const Operation& op, const Outcome& result, const QString& target,
                              const QByteArray& old, const QString& message, bool mayWrite) {
        EXPECT_TRUE(result.exitCode == 0 || result.exitCode == 1)
            << "exit " << result.exitCode << ": " << result.errors.toStdString();
        const bool wrote = result.exitCode == 0;
        if (wrote) {
            EXPECT_TRUE(mayWrite) << "written where it could not be";
            EXPECT_TRUE(bytesOf(target) == op.expected) << "the new file is not whole";
        } else {
            const QString prefix = op.namesOutput ? target + QStringLiteral(": ") : op.failurePrefix;
            EXPECT_TRUE(result.allErrors.contains(prefix + message) ||
                        (op.namesOutput && result.allErrors.contains(message)))
                << result.allErrors.join(QLatin1Char('\n')).toStdString();
            EXPECT_TRUE(bytesOf(target) == old) << "the earlier file changed";
        }
        const QString folder = QFileInfo(target).absolutePath();
        EXPECT_EQ(durableTempsIn(folder), QStringList()) << folder.toStdString();
        EXPECT_EQ(entriesOf(staging()), QStringList());
        return wrote;
    }

    static void report(const char* what, WritePath which, int count) {
        static const char* const names[] = {"work save", "bmp export", "render"};
        std::printf("fault points tried (%s, %s): %d\n", names[static_cast<int>(which)], what,
                    count);
    }

private:
    std::vector<std::pair<const char*, QByteArray>> m_oldEnvironment;
};

const QByteArray kOld = QByteArray("the earlier file\r\n").repeated(5);

class WritePathFaults : public DurableFaultTest, public ::testing::WithParamInterface<WritePath> {};

TEST_P(WritePathFaults, FileSizeLimitAtEveryBoundary) {
    const Operation op = operation(GetParam());
    const QString target = out() + QStringLiteral("/target");
    putBytes(target, kOld);
    int tried = 0;
    for (const rlim_t limit : limitPoints(op.expected, op.bitmapAt, op.extraMarks)) {
        SCOPED_TRACE(testing::Message() << "limit " << limit << " of " << op.expected.size());
        const bool fits = limit >= static_cast<rlim_t>(op.expected.size());
        const Outcome result = run(op.command(target), limit);
        EXPECT_EQ(result.exitCode, fits ? 0 : 1) << result.errors.toStdString();
        if (expectWholeOrNothing(op, result, target, kOld, kWriteError, fits))
            putBytes(target, kOld);
        ++tried;
    }
    report("file size limit", GetParam(), tried);
}

TEST_P(WritePathFaults, FolderFaults) {
    const Operation op = operation(GetParam());
    int tried = 0;

    // A folder in the target's place stays as it was.
    const QString taken = out() + QStringLiteral("/taken");
    ASSERT_TRUE(QDir().mkpath(taken + QStringLiteral("/inside")));
    expectWholeOrNothing(op, run(op.command(taken)), taken, bytesOf(taken), cannotCreate(taken),
                         false);
    EXPECT_EQ(entriesOf(taken), QStringList{QStringLiteral("inside")});
    ++tried;

    // A folder that is not there is not made.
    const QString missing = out() + QStringLiteral("/gone/target");
    expectWholeOrNothing(op, run(op.command(missing)), missing, bytesOf(missing),
                         cannotCreate(missing), false);
    EXPECT_FALSE(QFileInfo::exists(out() + QStringLiteral("/gone")));
    ++tried;

    // A read-only folder: permissions stop everyone but root, so root gets a read-only mount.
    const QString locked = path(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(locked));
    const QString target = locked + QStringLiteral("/target");
    putBytes(target, kOld);
    const QByteArray lockedPath = QFile::encodeName(locked);
    QString why;
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(lockedPath.constData(), 0555), 0);
    } else if ((why = privateMounts()).isEmpty() &&
               (::mount(lockedPath.constData(), lockedPath.constData(), nullptr, MS_BIND,
                        nullptr) != 0 ||
                ::mount(nullptr, lockedPath.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                        nullptr) != 0)) {
        why = QStringLiteral("no read-only bind mount: %1").arg(std::strerror(errno));
    }
    if (why.isEmpty()) {
        expectWholeOrNothing(op, run(op.command(target)), target, kOld, cannotCreate(target),
                             false);
        ++tried;
        if (::geteuid() != 0)
            ::chmod(lockedPath.constData(), 0755);
        else
            ::umount2(lockedPath.constData(), MNT_DETACH);
    }
    report("folders", GetParam(), tried);
    if (!why.isEmpty())
        GTEST_SKIP() << "read-only folder not tried, running as root with " << why.toStdString();
}

// A small file system of its own for the target, which fills part-way through the save.
TEST_P(WritePathFaults, DiskThatFills) {
    if (const QString why = privateMounts(); !why.isEmpty())
        GTEST_SKIP() << "no small file system can be mounted here: " << why.toStdString();
    const Operation op = operation(GetParam());
    const QString disk = path(QStringLiteral("disk"));
    const QByteArray diskPath = QFile::encodeName(disk);
    ASSERT_TRUE(QDir().mkpath(disk));
    const QString target = disk + QStringLiteral("/target");
    constexpr int64_t kPage = 4096;
    int tried = 0, full = 0;
    bool lastWrote = false;
    for (int64_t size = kPage; size <= (op.expected.size() / kPage + 3) * kPage; size += kPage) {
        SCOPED_TRACE(testing::Message() << "disk of " << size << " for " << op.expected.size());
        const QByteArray options = "size=" + QByteArray::number(size) + ",mode=0755";
        if (::mount("pictanote-full", diskPath.constData(), "tmpfs", 0, options.constData()) != 0)
            GTEST_SKIP() << "tmpfs cannot be mounted here: " << std::strerror(errno);
        putBytes(target, kOld);
        lastWrote =
            expectWholeOrNothing(op, run(op.command(target)), target, kOld, kWriteError, true);
        full += !lastWrote;
        ++tried;
        ASSERT_EQ(::umount2(diskPath.constData(), MNT_DETACH), 0);
    }
    EXPECT_GT(full, 0);
    EXPECT_TRUE(lastWrote) << "a disk with room to spare did not take the file";
    report("disk full", GetParam(), tried);
}

std::string pathName(const testing::TestParamInfo<WritePath>& info) {
    return info.param == WritePath::WorkSave    ? "WorkSave"
           : info.param == WritePath::BmpExport ? "BmpExport"
                                                : "Render";
}

INSTANTIATE_TEST_SUITE_P(Paths, WritePathFaults,
                         ::testing::Values(WritePath::WorkSave, WritePath::BmpExport,
                                           WritePath::Render),
                         pathName);

// Large saves, killed or robbed of their folder half-way.
class LargeSaveTest : public DurableFaultTest {
protected:
    // About 12 MB each: long enough to be caught in the middle, short enough for a hundred.
    static constexpr int kSide = 2000;

    static QByteArray hashOf(const QByteArray& bytes) {
        return QCryptographicHash::hash(bytes, QCryptographicHash::Md5);
    }
    static QByteArray fileHash(const QString& file) { return hashOf(bytesOf(file)); }

    // Sets every temporary file in `folder` back by two minutes; returns how many there were.
    static int ageTemps(const QString& folder) {
        const QStringList temps = durableTempsIn(folder);
        const std::time_t then = std::time(nullptr) - 2 * Platform::kStaleTempSeconds;
        const utimbuf times{then, then};
        for (const QString& name : temps)
            ::utime(QFile::encodeName(folder + QLatin1Char('/') + name).constData(), &times);
        return static_cast<int>(temps.size());
    }
    void clearStaging() {
        for (const QString& name : entriesOf(staging()))
            QFile::remove(staging() + QLatin1Char('/') + name);
    }
};

TEST_F(LargeSaveTest, KilledSaveLeavesTheOldFileOrTheNewOneWhole) {
    // In memory where the machine allows it: a kill needs no disk to show what it leaves, and
    // a hundred saves of this size to a disk would take most of a minute.
    std::vector<QByteArray> mounted;
    if (privateMounts().isEmpty()) {
        for (const QString& folder : {out(), staging()}) {
            const QByteArray where = QFile::encodeName(folder);
            if (::mount("pictanote-kills", where.constData(), "tmpfs", 0, "size=256m") == 0)
                mounted.push_back(where);
        }
    }
    // Two documents per path, saved in turn over each other.
    struct Path {
        QStringList commands[2];
        QByteArray hashes[2];
        QString target;
        int holds = 0;  // which document the target holds
        qint64 fullRunMs = 0;
    } paths[2];
    const QString helper = QStringLiteral(PICTANOTE_FAULT_HELPER_PATH);
    const char* const modes[] = {"work", "bmp"};
    for (int p = 0; p < 2; ++p) {
        Path& path = paths[p];
        path.target = out() + QStringLiteral("/large.") + QString::fromLatin1(modes[p]);
        for (int doc = 0; doc < 2; ++doc) {
            const uint32_t seed = 11 + doc;
            const Platform::Bitmap image = FaultImages::picture(kSide, kSide, 24, seed);
            path.hashes[doc] =
                hashOf(p == 0 ? Document::EncodeWorkFile(image, FaultImages::lines(seed))
                              : Platform::Bmp::encode(image));
            path.commands[doc] = {helper,
                                  QString::fromLatin1(modes[p]),
                                  path.target,
                                  QString::number(kSide),
                                  QString::number(kSide),
                                  QStringLiteral("24"),
                                  QString::number(seed)};
        }
        // A whole save first, which also gives the span the kills are spread over.
        QElapsedTimer timer;
        timer.start();
        ASSERT_EQ(run(path.commands[0]).exitCode, 0);
        path.fullRunMs = std::max<qint64>(timer.elapsed(), 1);
        ASSERT_EQ(fileHash(path.target), path.hashes[0]);
    }

    QRandomGenerator random(20261209);
    int kills = 0, keptOld = 0, tookNew = 0, tempsLeft = 0, tempsRemoved = 0;
    for (int i = 0; i < 100; ++i) {
        Path& path = paths[i % 2];
        const int next = 1 - path.holds;
        const QStringList tempsBefore = durableTempsIn(out());
        const Child child = spawn(path.commands[next]);
        // Every other kill comes just after the file is begun (its writing is quick), the others
        // at any moment up to half a run past the end of a whole one, so that some saves end
        // first however the run times vary.
        if (i % 4 >= 2) {
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < 2 * path.fullRunMs + 1000 &&
                   durableTempsIn(out()) == tempsBefore)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(5000)));
        } else {
            std::this_thread::sleep_for(
                std::chrono::microseconds(random.bounded(path.fullRunMs * 1500)));
        }
        ::kill(child.pid, SIGKILL);
        const Outcome result = finish(child);
        kills += result.exitCode == -1;

        const QByteArray now = fileHash(path.target);
        ASSERT_TRUE(now == path.hashes[0] || now == path.hashes[1]) << "kill " << i;
        if (now == path.hashes[next]) {
            path.holds = next;
            ++tookNew;
        } else {
            ++keptOld;
        }
        // A killed save leaves its temporary file; once aged, the next save to the folder
        // removes it (unless that save is killed before it gets there).
        const QStringList tempsAfter = durableTempsIn(out());
        for (const QString& name : tempsAfter)
            tempsLeft += !tempsBefore.contains(name);
        for (const QString& name : tempsBefore)
            tempsRemoved += !tempsAfter.contains(name);
        ageTemps(out());
        clearStaging();  // killed work-file saves leave their staged blocks there
    }
    // One more whole save takes away every temporary file still there.
    ageTemps(out());
    Path& last = paths[0];
    ASSERT_EQ(run(last.commands[1 - last.holds]).exitCode, 0);
    EXPECT_EQ(fileHash(last.target), last.hashes[1 - last.holds]);
    EXPECT_EQ(durableTempsIn(out()), QStringList());
    EXPECT_GT(keptOld, 0);
    EXPECT_GT(tookNew, 0);
    std::printf(
        "saves killed: %d of 100 (target kept the old file %d times, held the new one "
        "whole %d times; %d temporary files left by kills, %d removed by later saves; %s, a "
        "whole save taking %lld ms)\n",
        kills, keptOld, tookNew, tempsLeft, tempsRemoved, mounted.empty() ? "on disk" : "in memory",
        static_cast<long long>(paths[0].fullRunMs));
    for (const QByteArray& where : mounted)
        ::umount2(where.constData(), MNT_DETACH);
}

// The target's folder is deleted while the save is writing: the save fails as one whose target
// cannot be created, and makes nothing anew.
TEST_F(LargeSaveTest, FolderThatVanishesHalfWay) {
    const QString helper = QStringLiteral(PICTANOTE_FAULT_HELPER_PATH);
    int caught = 0;
    for (const char* mode : {"work", "bmp", "work", "bmp"}) {
        SCOPED_TRACE(mode);
        const QString folder = out() + QStringLiteral("/vanishing");
        const QString target = folder + QStringLiteral("/target");
        ASSERT_TRUE(QDir().mkpath(folder));
        putBytes(target, kOld);
        const Child child =
            spawn({helper, QString::fromLatin1(mode), target, QString::number(kSide),
                   QString::number(kSide), QStringLiteral("24"), QStringLiteral("1")});
        QElapsedTimer waited;
        waited.start();
        while (durableTempsIn(folder).isEmpty() && waited.elapsed() < 20000)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        // The save may add a file while the folder is being removed: remove until it is gone.
        for (int i = 0; i < 100 && QFileInfo::exists(folder); ++i)
            QDir(folder).removeRecursively();
        ASSERT_FALSE(QFileInfo::exists(folder));
        const Outcome result = finish(child);
        // Rarely the save is through before the folder goes; then it simply went with it.
        EXPECT_TRUE(result.exitCode == 0 || result.errors == cannotCreate(target))
            << result.exitCode << " " << result.errors.toStdString();
        caught += result.exitCode == 1;
        EXPECT_FALSE(QFileInfo::exists(folder));
        clearStaging();
    }
    EXPECT_GT(caught, 0);
    std::printf(
        "fault points tried (work save and bmp export, folder vanishing): 4, %d caught "
        "half-way\n",
        caught);
}

}  // namespace
