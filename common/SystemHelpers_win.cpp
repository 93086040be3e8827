// The system services behind Common on Windows: computer and user name, shell execution,
// drives, deleting folders through the shell.
#include "Common.h"
#include "PathRules.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <lmcons.h>
#include <shellapi.h>

#include <QDir>
#include <QGuiApplication>
#include <QWindow>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <cwchar>

namespace fs = std::filesystem;

namespace Common {

using Detail::toFsPath;
using Detail::withoutTrailingSlash;

namespace {

std::wstring toWide(const std::string& cp932) {
    return Detail::toQString(cp932).toStdWString();
}

// A "/"-separated path of ours as the shell wants it: absolute, with backslashes.
std::wstring nativeFull(const std::string& cp932) {
    const std::wstring wide = QDir::toNativeSeparators(Detail::toQString(cp932)).toStdWString();
    std::wstring full(32768, L'\0');
    const DWORD n = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(),
                                     nullptr);
    if (n == 0 || n >= full.size())
        return {};
    full.resize(n);
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    return full;
}

std::wstring folderOf(UINT (*get)(LPWSTR, UINT)) {
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT n = get(buffer, MAX_PATH + 1);
    return n > 0 && n <= MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

bool sameOrInside(const std::wstring& folder, const std::wstring& outer) {
    if (outer.empty() || folder.size() < outer.size())
        return false;
    if (CompareStringOrdinal(folder.c_str(), static_cast<int>(outer.size()), outer.c_str(),
                             static_cast<int>(outer.size()), TRUE) != CSTR_EQUAL)
        return false;
    return folder.size() == outer.size() || folder[outer.size()] == L'\\' || outer.back() == L'\\';
}

// The folder a deletion may act on: never an empty argument, never a drive or share root,
// never a folder that holds Windows itself or the user's profile (either would take the
// system or all the user's files without a question).
std::optional<std::wstring> deletableFolder(const std::string& folder) {
    if (folder.empty())
        return std::nullopt;
    const std::wstring full = nativeFull(withoutTrailingSlash(folder));
    if (full.empty())
        return std::nullopt;
    // "C:\" or "\\server\share": the root of a volume.
    wchar_t root[MAX_PATH + 1] = {};
    if (!GetVolumePathNameW(full.c_str(), root, MAX_PATH + 1))
        return std::nullopt;
    std::wstring volume(root);
    while (volume.size() > 3 && volume.back() == L'\\')
        volume.pop_back();
    if (CompareStringOrdinal(full.c_str(), -1, volume.c_str(), -1, TRUE) == CSTR_EQUAL ||
        full.size() <= 3)
        return std::nullopt;
    for (const std::wstring& guarded :
         {folderOf(GetWindowsDirectoryW), folderOf(GetSystemDirectoryW),
          QDir::toNativeSeparators(QDir::homePath()).toStdWString()}) {
        if (sameOrInside(guarded, full))
            return std::nullopt;
    }
    return full;
}

// One shell deletion, silent and permanent: no progress, no question, no error message.
bool shellDelete(const std::wstring& target, FILEOP_FLAGS extra) {
    std::wstring list = target;
    list.push_back(L'\0');  // the list ends with two zero characters
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = list.c_str();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI | extra;
    return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

HWND ownerWindow() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (const QWindow* window = QGuiApplication::focusWindow())
            return reinterpret_cast<HWND>(window->winId());
    return nullptr;
}

}  // namespace

namespace Detail {

QString executablePath() {
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size())
        return {};
    return QDir::fromNativeSeparators(QString::fromWCharArray(buffer.data(), n));
}

// The version resource through the system: the first translation of the record names the
// string table ("041103A4": Japanese, code page 932) the key is looked up in.
std::optional<QString> systemVersionString(const QString& path, const std::u16string& key) {
    const std::wstring file = QDir::toNativeSeparators(path).toStdWString();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    if (size == 0)
        return std::nullopt;  // a record the system does not read (an ELF file's)
    std::vector<unsigned char> record(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, record.data()))
        return std::nullopt;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
        length < 4)
        return QString();
    const auto* translation = static_cast<const WORD*>(value);
    wchar_t table[16] = {};
    swprintf(table, std::size(table), L"%04X%04X", translation[0], translation[1]);
    const std::wstring query = std::wstring(L"\\StringFileInfo\\") + table +
                               std::wstring(key.begin(), key.end());
    if (!VerQueryValueW(record.data(), query.c_str(), &value, &length) || length == 0)
        return QString();
    // The length counts characters, the closing zero included where the record has one.
    const auto* text = static_cast<const wchar_t*>(value);
    QString result = QString::fromWCharArray(text, static_cast<qsizetype>(length));
    const qsizetype end = result.indexOf(QChar(0));
    return end >= 0 ? result.left(end) : result;
}

// The user's locale maps the widths (and combines or splits the voiced sound marks of
// katakana). A failed mapping is the empty text.
std::optional<std::string> systemWidthMap(std::string_view cp932, bool toFull) {
    const QString text = toQString(std::string(cp932));
    if (text.isEmpty())
        return std::string();
    // Bytes that are no code page 932 text (a lead byte at the end) would come back as '?':
    // the library's own tables map such text and keep those bytes as they are.
    if (toCp932(text) != cp932)
        return std::nullopt;
    const DWORD flags = toFull ? LCMAP_FULLWIDTH : LCMAP_HALFWIDTH;
    const std::wstring in = text.toStdWString();
    const LCID locale = GetUserDefaultLCID();
    const int size = LCMapStringW(locale, flags, in.c_str(), static_cast<int>(in.size()), nullptr, 0);
    if (size <= 0)
        return std::string();
    std::wstring out(static_cast<size_t>(size), L'\0');
    const int n = LCMapStringW(locale, flags, in.c_str(), static_cast<int>(in.size()), out.data(), size);
    if (n <= 0)
        return std::string();
    out.resize(static_cast<size_t>(n));
    // Wine's tables, unlike Windows', leave the backslash as it is and give the lone voiced
    // sound marks as combining marks, which code page 932 cannot hold: made what Windows gives.
    for (wchar_t& c : out) {
        if (toFull && c == L'\\')
            c = 0xFF3C;
        else if (toFull && (c == 0x3099 || c == 0x309A))
            c = static_cast<wchar_t>(c + 2);  // the spacing marks
        else if (!toFull && c == 0xFF3C)
            c = L'\\';
    }
    return toCp932(QString::fromStdWString(out));
}

}  // namespace Detail

std::string ComputerName() {
    wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(buffer, &size))
        return {};
    return Detail::toCp932(QString::fromWCharArray(buffer, size).left(15));
}

std::string UserName() {
    wchar_t buffer[UNLEN + 1] = {};
    DWORD size = UNLEN + 1;
    if (!GetUserNameW(buffer, &size) || size == 0)
        return {};
    return Detail::toCp932(QString::fromWCharArray(buffer, size - 1));  // size counts the NUL
}

bool Shell(const std::string& file, const std::string& parameters, bool wait) {
    try {
        if (file.empty())
            return false;
        const std::wstring wideFile =
            QDir::toNativeSeparators(Detail::toQString(file)).toStdWString();
        const std::wstring wideParameters = toWide(parameters);
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS;
        info.hwnd = ownerWindow();
        info.lpVerb = L"open";
        info.lpFile = wideFile.c_str();
        info.lpParameters = wideParameters.empty() ? nullptr : wideParameters.c_str();
        info.nShow = SW_SHOWDEFAULT;
        if (!ShellExecuteExW(&info))
            return false;
        // A document handed to a program already running comes back without a process.
        if (info.hProcess) {
            if (wait)
                WaitForSingleObject(info.hProcess, INFINITE);
            CloseHandle(info.hProcess);
        }
        return true;
    } catch (...) {
        return false;
    }
}

// ---- Drives --------------------------------------------------------------------------------

std::string Drives() {
    // "A:\", "C:\", ... each followed by a zero character, the list by another.
    wchar_t buffer[4 * 26 + 2] = {};
    const DWORD n = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(buffer)), buffer);
    if (n == 0 || n >= std::size(buffer))
        return {};
    std::string letters;
    for (DWORD i = 0; i < n && buffer[i] != L'\0'; i += 4)
        letters += static_cast<char>(buffer[i]);
    return letters;
}

std::string DrivesEx(unsigned int driveType) {
    std::string kept;
    for (const char letter : Drives()) {
        const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', L'\0'};
        if (GetDriveTypeW(root) == driveType)
            kept += letter;
    }
    return kept;
}
std::string RemoveDrives() {
    return DrivesEx(DRIVE_REMOVABLE);
}
std::string FixedDrives() {
    return DrivesEx(DRIVE_FIXED);
}
std::string RemoteDrives() {
    return DrivesEx(DRIVE_REMOTE);
}
std::string CDROMDrives() {
    return DrivesEx(DRIVE_CDROM);
}
std::string RamDrives() {
    return DrivesEx(DRIVE_RAMDISK);
}

bool CheckDriveReady(char drive) {
    const wchar_t root[] = {static_cast<wchar_t>(static_cast<unsigned char>(drive)), L':', L'\\',
                            L'\0'};
    // An empty floppy or card reader would otherwise ask for a disk in a system message box.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    SetLastError(0);
    DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
    const BOOL ok = GetDiskFreeSpaceW(root, &sectors, &bytes, &freeClusters, &clusters);
    const bool ready = ok && GetLastError() == 0;
    SetErrorMode(previous);
    return ready;
}

// ---- Deleting through the shell ------------------------------------------------------------

bool DeleteDir(unsigned int /*owner*/, const std::string& folder) {
    try {
        const std::optional<std::wstring> target = deletableFolder(folder);
        if (!target)
            return false;
        const DWORD attributes = GetFileAttributesW(target->c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return false;
        return shellDelete(*target, 0);
    } catch (...) {
        return false;
    }
}

bool DeleteFiles(unsigned int /*owner*/, const std::string& folder, bool filesOnly) {
    try {
        const std::optional<std::wstring> target = deletableFolder(folder);
        if (!target)
            return false;
        const DWORD attributes = GetFileAttributesW(target->c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return false;
        // Nothing to delete is done already; the shell would call an empty match an error.
        std::error_code ec;
        bool any = false;
        for (const fs::directory_entry& e : fs::directory_iterator(fs::path(*target), ec)) {
            if (!filesOnly || !e.is_directory()) {
                any = true;
                break;
            }
        }
        if (ec)
            return false;
        if (!any)
            return true;
        return shellDelete(*target + L"\\*.*", filesOnly ? FOF_FILESONLY : 0);
    } catch (...) {
        return false;
    }
}

}  // namespace Common
