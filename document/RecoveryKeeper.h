#pragma once

#include "Session.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

class QLockFile;

namespace Document {

// Keeps a copy of a session's unsaved work where a crash or a kill cannot take it: a work file
// in the user's state folder with a small side file naming the document's file names, both
// written whole or not at all (see AtomicFile.h).
//
// The copy is written on a worker thread: the window's thread takes only the marker lines and
// a shared handle of the source image (never changed once taken), so a write of an 8K image
// holds it up for microseconds. A write comes a fixed interval after the first unsaved change
// and at once on every tenth change; one write at a time, a write asked for meanwhile follows
// it. A document without unsaved changes has no copy: a save, undoing back to the saved state,
// New and every Open remove it.
//
// Each running program has its own files, "recovery-ID.ptn" and "recovery-ID.name", and holds
// "recovery-ID.lock" while it lives, so two programs never take each other's copy. The files
// of a program that ended without removing them (killed, crashed) are an orphan, offered back
// at the next start.
class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kDefaultInterval{30000};
    static constexpr int kChangesPerWrite = 10;

    // The program's folder in the user's state folder: $XDG_STATE_HOME/pictanote, or
    // ~/.local/state/pictanote when that is unset or not absolute.
    static QString DefaultFolder();

    // Watches `session`, which must outlive the keeper. Without a folder it can create and
    // lock, the keeper keeps nothing (Enabled() is false).
    explicit RecoveryKeeper(Session& session, QString folder = DefaultFolder(),
                            std::chrono::milliseconds interval = kDefaultInterval);
    // Waits for a write under way. The copy stays: a program unwound by an exception still has
    // its work on the disk; a normal end calls Discard first.
    ~RecoveryKeeper() override;

    bool Enabled() const noexcept { return m_lock != nullptr; }
    QString CopyPath() const { return FilePath(m_id, kCopySuffix); }
    // Whether a write is waiting for the interval to pass.
    bool WriteScheduled() const { return m_timer.isActive(); }
    // Writes finished so far, and the message of the last one that failed (empty when none).
    int WritesDone() const noexcept { return m_writesDone; }
    QString LastError() const { return m_lastError; }
    // Starts a write in the background when there is unsaved work (what the interval's end
    // and the tenth change do).
    void WriteNow();
    // Blocks until no write is under way (the end of the program, tests).
    void WaitForIdle();

    // ---- At start ----
    // The copy an ended program left (the newest when there are several), claimed so that no
    // other starting program offers it too; empty when there is none.
    QString FindOrphan();
    // Opens the claimed orphan as the session's document, unsaved, with the file names it was
    // saved under; it becomes this program's copy. On failure the orphan is deleted: a copy
    // that cannot be read would otherwise be offered at every start.
    Result RestoreOrphan();
    // Deletes the claimed orphan.
    void DiscardOrphan();
    // Lets the claimed orphan be, for the next start.
    void LeaveOrphan();

    // ---- At the end ----
    // A normal end: the copy and the lock go.
    void Discard();
    // Writes the copy now, on this thread, when the session has unsaved work; for a program
    // about to die of an exception. Does nothing when called from another thread than the
    // session's, and never throws.
    void WriteLastCopy() noexcept;
    // Makes std::terminate write the last copy of the most recently made keeper first.
    static void InstallTerminateHandler();

private:
    static constexpr const char* kCopySuffix = ".ptn";
    static constexpr const char* kNamesSuffix = ".name";
    static constexpr const char* kLockSuffix = ".lock";

    QString FilePath(const QString& id, const char* suffix) const;
    void SessionChanged(Changes what);
    void StartWrite();
    void FinishWrite();
    void Remove();
    void RemoveFiles(const QString& id);

    Session& m_session;
    QString m_folder;
    QString m_id;
    std::unique_ptr<QLockFile> m_lock;
    QTimer m_timer;
    int m_changes = 0;
    bool m_ignoreChanges = false;

    std::thread m_worker;
    std::mutex m_workerMutex;
    QString m_workerError;  // guarded by m_workerMutex
    unsigned m_generation = 0;
    bool m_writeAgain = false;
    bool m_removeAfterWrite = false;
    int m_writesDone = 0;
    QString m_lastError;

    QString m_orphanId;
    std::unique_ptr<QLockFile> m_orphanLock;
};

}  // namespace Document
