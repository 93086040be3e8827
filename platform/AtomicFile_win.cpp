#include "AtomicFile.h"

#include "ToolkitError.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <string>
#include <string_view>

namespace Platform {
namespace {

constexpr std::wstring_view kMark = L".pictanote-";
constexpr std::wstring_view kSuffix = L".tmp";
constexpr int kUniqueLength = 6;
// A name in a folder: at most 255 UTF-16 units on NTFS and FAT alike.
constexpr size_t kNameMax = 255;
// One WriteFile call moves at most this much (its count is a DWORD).
constexpr int64_t kMostPerWrite = int64_t{1} << 30;

bool isUniqueChar(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool isTempName(std::wstring_view name) {
    const size_t tail = kMark.size() + kUniqueLength + kSuffix.size();
    if (name.size() < 1 + tail || name.front() != L'.' || !name.ends_with(kSuffix))
        return false;
    const std::wstring_view mark = name.substr(name.size() - tail, kMark.size());
    const std::wstring_view unique = name.substr(name.size() - tail + kMark.size(), kUniqueLength);
    return mark == kMark && std::all_of(unique.begin(), unique.end(), isUniqueChar);
}

std::wstring native(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

// A symbolic link (or junction) is followed to the file it names, so that the link stays and
// its file is replaced; the system resolves every step of the chain at once.
QString resolveLinks(const QString& path) {
    const std::wstring wide = native(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    const HANDLE handle =
        CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return path;  // a dangling link: replaced as it is, like a missing file
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetFinalPathNameByHandleW(handle, buffer.data(),
                                              static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
    CloseHandle(handle);
    if (n == 0 || n >= buffer.size())
        return path;
    buffer.resize(n);
    // "\\?\C:\..." (or "\\?\UNC\server\...") back to the ordinary spelling.
    if (buffer.starts_with(L"\\\\?\\UNC\\"))
        buffer = L"\\\\" + buffer.substr(8);
    else if (buffer.starts_with(L"\\\\?\\"))
        buffer = buffer.substr(4);
    return QDir::fromNativeSeparators(QString::fromStdWString(buffer));
}

// Removes what killed saves left behind: our names only, plain files untouched for a minute
// (a save in progress keeps its file's time fresh). Failures change nothing for the save.
void removeStaleTemps(const QString& folder) {
    const std::wstring pattern = native(folder) + L"\\.*" + std::wstring(kMark) + L"*" +
                                 std::wstring(kSuffix);
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FILETIME nowTime{};
    GetSystemTimeAsFileTime(&nowTime);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    const int64_t now = ticks(nowTime);
    constexpr int64_t kTicksPerSecond = 10'000'000;  // FILETIME counts 100 ns
    do {
        if (found.dwFileAttributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY))
            continue;
        if (!isTempName(found.cFileName))
            continue;
        if (now - ticks(found.ftLastWriteTime) > kStaleTempSeconds * kTicksPerSecond)
            DeleteFileW((native(folder) + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::wstring tempNameFor(const QString& name) {
    const size_t tail = kMark.size() + kUniqueLength + kSuffix.size();
    // A long name is shortened (by whole characters) so that ours still fits the folder.
    QString head = name;
    while (!head.isEmpty() && 1 + static_cast<size_t>(head.size()) + tail > kNameMax)
        head.chop(head.size() >= 2 && head.back().isLowSurrogate() ? 2 : 1);
    static constexpr wchar_t kChars[] =
        L"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::wstring unique;
    for (int i = 0; i < kUniqueLength; ++i)
        unique += kChars[QRandomGenerator::global()->bounded(int{std::size(kChars) - 1})];
    return L"." + head.toStdWString() + std::wstring(kMark) + unique + std::wstring(kSuffix);
}

bool isDiskFull(DWORD error) {
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

// The temporary file beside the target; it goes unless it has been moved into place.
class Transaction : public FileSink {
public:
    explicit Transaction(const QString& shownPath) : m_shownPath(shownPath) {}
    ~Transaction() override {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
        if (!m_tempPath.empty() && !m_moved)
            DeleteFileW(m_tempPath.c_str());
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void begin(const QString& target) {
        const QFileInfo info(target);
        if (info.fileName().isEmpty())
            cannotCreate();
        const QString folder = info.absolutePath();
        const std::wstring wideFolder = native(folder);
        const DWORD folderAttributes = GetFileAttributesW(wideFolder.c_str());
        if (folderAttributes == INVALID_FILE_ATTRIBUTES ||
            !(folderAttributes & FILE_ATTRIBUTE_DIRECTORY))
            cannotCreate();
        m_targetPath = native(info.absoluteFilePath());

        // Only a plain file, or nothing, is replaced; a folder in its place, or a read-only
        // file, is what cannot be created. The new file keeps the old one's attributes
        // (archive, hidden, not indexed...).
        DWORD attributes = FILE_ATTRIBUTE_NORMAL;
        const DWORD existing = GetFileAttributesW(m_targetPath.c_str());
        if (existing != INVALID_FILE_ATTRIBUTES) {
            if (existing & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY |
                            FILE_ATTRIBUTE_DEVICE))
                cannotCreate();
            attributes = existing & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_SYSTEM);
            if (attributes == 0)
                attributes = FILE_ATTRIBUTE_NORMAL;
        } else {
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
                cannotCreate();
        }

        removeStaleTemps(folder);
        for (int attempt = 0; attempt < 16 && m_handle == INVALID_HANDLE_VALUE; ++attempt) {
            m_tempPath = wideFolder + L"\\" + tempNameFor(info.fileName());
            // No sharing: nobody reads a half-written file or deletes it under us.
            m_handle = CreateFileW(m_tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   attributes, nullptr);
            if (m_handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
                break;
        }
        if (m_handle == INVALID_HANDLE_VALUE) {
            m_tempPath.clear();  // not ours: never removed
            cannotCreate();
        }
    }

    void write(const char* data, int64_t count) override {
        while (count > 0) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min(count, kMostPerWrite));
            if (!WriteFile(m_handle, data, chunk, &written, nullptr) || written == 0)
                throw ToolkitError(Msg::streamWriteError());
            data += written;
            count -= written;
        }
    }

    void commit() {
        const BOOL flushed = FlushFileBuffers(m_handle);
        const BOOL closed = CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        if (!flushed || !closed)
            throw ToolkitError(Msg::streamWriteError());
        // Write-through: the call returns once the new name is on the disk.
        if (!MoveFileExW(m_tempPath.c_str(), m_targetPath.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            if (isDiskFull(GetLastError()))
                throw ToolkitError(Msg::streamWriteError());
            cannotCreate();
        }
        m_moved = true;
    }

private:
    [[noreturn]] void cannotCreate() const {
        throw ToolkitError(Msg::cannotCreateFile(m_shownPath));
    }

    QString m_shownPath;
    std::wstring m_targetPath;
    std::wstring m_tempPath;
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    bool m_moved = false;
};

}  // namespace

bool isDurableTempName(const QString& name) {
    return isTempName(name.toStdWString());
}

void writeFileDurably(const QString& path, const std::function<void(FileSink&)>& produce) {
    Transaction transaction(path);
    transaction.begin(resolveLinks(path));
    produce(transaction);
    transaction.commit();
}

void writeFileDurably(const QString& path, QByteArrayView bytes) {
    writeFileDurably(path, [bytes](FileSink& sink) { sink.write(bytes); });
}

}  // namespace Platform
