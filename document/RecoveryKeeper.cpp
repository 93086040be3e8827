#include "RecoveryKeeper.h"

#include "AtomicFile.h"
#include "ToolkitError.h"
#include "UserFolders.h"
#include "WorkFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>
#include <QtGlobal>

#include <atomic>
#include <exception>
#include <new>

namespace Document {
namespace {

const QString kPrefix = QStringLiteral("recovery-");

std::atomic<RecoveryKeeper*> g_active{nullptr};
std::terminate_handler g_previousTerminate = nullptr;

// The last copy before the program dies of an exception nobody caught. Only the first
// termination writes: a second (a failure inside the write) goes straight on.
[[noreturn]] void terminateWithCopy() {
    static std::atomic_flag entered = ATOMIC_FLAG_INIT;
    if (!entered.test_and_set()) {
        if (RecoveryKeeper* keeper = g_active.load())
            keeper->WriteLastCopy();
    }
    if (g_previousTerminate)
        g_previousTerminate();
    std::abort();
}

// The side file: the name the work was saved under, then the name it was exported under.
QByteArray encodeNames(const Session& session) {
    return (session.WorkSaveFileName() + QLatin1Char('\n') + session.ExportFileName()).toUtf8();
}

QString describe(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const Platform::ToolkitError& e) {
        return e.message();
    } catch (const std::bad_alloc&) {
        return Platform::Msg::outOfMemory();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("unknown failure");
    }
}

// The copy of a snapshot: the side file first, so a copy on the disk never goes with the names
// of an older document (a kill between the two leaves names without a copy, which count for
// nothing).
void writeCopy(const QString& namesPath, const QByteArray& names, const QString& copyPath,
               const Platform::Bitmap& source, const WorkLines& lines) {
    Platform::writeFileDurably(namesPath, names);
    WriteWorkFile(source, lines, copyPath);
}

}  // namespace

QString RecoveryKeeper::DefaultFolder() {
    return Platform::UserFolders::StateFolder();
}

RecoveryKeeper::RecoveryKeeper(Session& session, QString folder, std::chrono::milliseconds interval)
    : m_session(session), m_folder(std::move(folder)) {
    // The process id alone could be that of a killed program whose copy is still there.
    m_id = QStringLiteral("%1-%2")
               .arg(QCoreApplication::applicationPid())
               .arg(QDateTime::currentMSecsSinceEpoch());
    m_timer.setSingleShot(true);
    m_timer.setInterval(interval);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryKeeper::WriteNow);
    connect(&m_session, &Session::changed, this, &RecoveryKeeper::SessionChanged);

    const bool existed = QFileInfo::exists(m_folder);
    if (!QDir().mkpath(m_folder)) {
        qWarning("No recovery copies: cannot create %s", qUtf8Printable(m_folder));
        return;
    }
    // The copies hold the user's pictures.
    if (!existed)
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto lock = std::make_unique<QLockFile>(FilePath(m_id, kLockSuffix));
    // Held for the program's life: only a dead owner makes it stale, never its age.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        qWarning("No recovery copies: cannot lock in %s", qUtf8Printable(m_folder));
        return;
    }
    m_lock = std::move(lock);
    g_active.store(this);
}

RecoveryKeeper::~RecoveryKeeper() {
    RecoveryKeeper* self = this;
    g_active.compare_exchange_strong(self, nullptr);
    if (m_worker.joinable())
        m_worker.join();
}

QString RecoveryKeeper::FilePath(const QString& id, const char* suffix) const {
    return m_folder + QLatin1Char('/') + kPrefix + id + QLatin1String(suffix);
}

void RecoveryKeeper::WaitForIdle() {
    while (m_worker.joinable())
        FinishWrite();
}

// ---- Watching the session ----

void RecoveryKeeper::SessionChanged(Changes what) {
    if (!Enabled() || m_ignoreChanges)
        return;
    if (what & Change::Reset) {
        Remove();
        return;
    }
    if (!(what & Change::Modified))
        return;
    if (!m_session.Modified()) {
        Remove();
        return;
    }
    if (++m_changes >= kChangesPerWrite)
        WriteNow();
    else if (!m_timer.isActive())
        m_timer.start();
}

void RecoveryKeeper::WriteNow() {
    m_timer.stop();
    m_changes = 0;
    if (m_session.Modified())
        StartWrite();
}

void RecoveryKeeper::StartWrite() {
    if (m_worker.joinable()) {
        m_writeAgain = true;
        return;
    }
    std::shared_ptr<const Platform::Bitmap> source = m_session.SharedSourceBitmap();
    if (!m_session.DocumentOpen() || !source || source->isNull())
        return;
    m_removeAfterWrite = false;
    try {
        WorkLines lines =
            MakeWorkLines(m_session.Font(), m_session.BackgroundStyle(), m_session.Map());
        const unsigned generation = ++m_generation;
        m_worker = std::thread([this, generation, source = std::move(source),
                                lines = std::move(lines), names = encodeNames(m_session),
                                namesPath = FilePath(m_id, kNamesSuffix), copyPath = CopyPath()] {
            QString error;
            try {
                writeCopy(namesPath, names, copyPath, *source, lines);
            } catch (...) {
                error = describe(std::current_exception());
            }
            {
                const std::lock_guard<std::mutex> guard(m_workerMutex);
                m_workerError = error;
            }
            // Dropped unread when the keeper is gone; it joins this thread first.
            QMetaObject::invokeMethod(
                this,
                [this, generation] {
                    if (generation == m_generation)
                        FinishWrite();
                },
                Qt::QueuedConnection);
        });
    } catch (...) {
        m_lastError = describe(std::current_exception());
    }
}

void RecoveryKeeper::FinishWrite() {
    if (!m_worker.joinable())
        return;
    m_worker.join();
    {
        const std::lock_guard<std::mutex> guard(m_workerMutex);
        if (m_workerError.isEmpty()) {
            ++m_writesDone;
        } else {
            m_lastError = m_workerError;
            qWarning("Recovery copy not written: %s", qUtf8Printable(m_lastError));
        }
    }
    if (m_removeAfterWrite) {
        m_removeAfterWrite = false;
        RemoveFiles(m_id);
    } else if (m_writeAgain) {
        m_writeAgain = false;
        if (m_session.Modified())
            StartWrite();
    }
}

void RecoveryKeeper::Remove() {
    m_timer.stop();
    m_changes = 0;
    m_writeAgain = false;
    // A write under way would put its copy back after the removal.
    if (m_worker.joinable())
        m_removeAfterWrite = true;
    else
        RemoveFiles(m_id);
}

void RecoveryKeeper::RemoveFiles(const QString& id) {
    QFile::remove(FilePath(id, kCopySuffix));
    QFile::remove(FilePath(id, kNamesSuffix));
}

// ---- At start ----

QString RecoveryKeeper::FindOrphan() {
    LeaveOrphan();
    if (!Enabled())
        return {};
    const QDir folder(m_folder);
    // Names without a copy (a kill between the two writes) and the locks of ended programs
    // that left no copy: nothing to offer, only clutter.
    const QStringList leftovers =
        folder.entryList({kPrefix + QLatin1Char('*') + QLatin1String(kLockSuffix),
                          kPrefix + QLatin1Char('*') + QLatin1String(kNamesSuffix)},
                         QDir::Files);
    for (const QString& name : leftovers) {
        const QString id = QFileInfo(name).completeBaseName().mid(kPrefix.size());
        if (id == m_id || QFileInfo::exists(FilePath(id, kCopySuffix)))
            continue;
        QLockFile lock(FilePath(id, kLockSuffix));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0))
            QFile::remove(FilePath(id, kNamesSuffix));
    }
    const QFileInfoList copies = folder.entryInfoList(
        {kPrefix + QLatin1Char('*') + QLatin1String(kCopySuffix)}, QDir::Files, QDir::Time);
    for (const QFileInfo& copy : copies) {
        const QString id = copy.completeBaseName().mid(kPrefix.size());
        if (id == m_id)
            continue;
        auto lock = std::make_unique<QLockFile>(FilePath(id, kLockSuffix));
        lock->setStaleLockTime(0);
        // Taken when its owner has ended (the lock is then stale, or was never left behind).
        if (!lock->tryLock(0))
            continue;
        m_orphanId = id;
        m_orphanLock = std::move(lock);
        return copy.filePath();
    }
    return {};
}

void RecoveryKeeper::LeaveOrphan() {
    m_orphanLock.reset();  // unlocks, which removes the lock file
    m_orphanId.clear();
}

void RecoveryKeeper::DiscardOrphan() {
    if (m_orphanId.isEmpty())
        return;
    RemoveFiles(m_orphanId);
    LeaveOrphan();
}

Result RecoveryKeeper::RestoreOrphan() {
    Result result;
    if (m_orphanId.isEmpty())
        return result;
    // The orphan becomes this program's copy, so a crash before the next change keeps it.
    WaitForIdle();
    RemoveFiles(m_id);
    QString copy = FilePath(m_orphanId, kCopySuffix);
    QString names = FilePath(m_orphanId, kNamesSuffix);
    if (QFile::rename(copy, CopyPath())) {
        copy = CopyPath();
        if (QFile::rename(names, FilePath(m_id, kNamesSuffix)))
            names = FilePath(m_id, kNamesSuffix);
    }
    QStringList fileNames;
    QFile namesFile(names);
    if (namesFile.open(QIODevice::ReadOnly))
        fileNames = QString::fromUtf8(namesFile.read(64 * 1024)).split(QLatin1Char('\n'));
    namesFile.close();

    m_ignoreChanges = true;
    result = m_session.OpenWorkFile(copy);
    if (result.Ok()) {
        const QString workName = fileNames.value(0);
        m_session.SetWorkSaveFileName(workName);
        m_session.SetWorkOpenFileName(workName);
        m_session.SetExportFileName(fileNames.value(1));
        m_session.MarkModified();
    }
    m_ignoreChanges = false;
    m_timer.stop();
    m_changes = 0;
    if (!result.Ok()) {
        QFile::remove(copy);
        QFile::remove(names);
    }
    LeaveOrphan();
    return result;
}

// ---- At the end ----

void RecoveryKeeper::Discard() {
    WaitForIdle();
    Remove();
    disconnect(&m_session, nullptr, this, nullptr);
    RecoveryKeeper* self = this;
    g_active.compare_exchange_strong(self, nullptr);
    m_lock.reset();
}

void RecoveryKeeper::WriteLastCopy() noexcept {
    if (!Enabled() || QThread::currentThread() != thread())
        return;
    try {
        if (m_worker.joinable())
            m_worker.join();
        const Platform::Bitmap* source = m_session.SourceBitmap();
        if (!m_session.Modified() || !m_session.DocumentOpen() || !source || source->isNull())
            return;
        writeCopy(FilePath(m_id, kNamesSuffix), encodeNames(m_session), CopyPath(), *source,
                  MakeWorkLines(m_session.Font(), m_session.BackgroundStyle(), m_session.Map()));
    } catch (...) {
        // The copy written last stays.
    }
}

void RecoveryKeeper::InstallTerminateHandler() {
    const std::terminate_handler previous = std::set_terminate(terminateWithCopy);
    if (previous != terminateWithCopy)
        g_previousTerminate = previous;
}

}  // namespace Document
