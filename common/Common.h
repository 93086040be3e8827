#pragma once

// The Common utility library: message dialogs, version lookup, and the form, input, text,
// path, system, logging and calendar helpers that the program offers to other programs.
//
// Texts passed as std::string are code page 932 (Shift-JIS) bytes whatever the host locale;
// lengths and positions in them count bytes. Paths are code page 932 texts too and use "/".
// Message texts and drawn texts are QString.
//
// Nothing here raises, except the calendar functions, which let a date outside the years 1 to
// 9999 through as std::out_of_range. Failures give the empty text, false or 0.
//
// Including this header pulls in no widget header: the widget types are only declared.

#include <QString>

#include <string>
#include <vector>

class QWidget;
class QLineEdit;
class QListWidget;
class QPainter;

#if defined(__GNUC__) || defined(__clang__)
#define PICTANOTE_COMMON_API __attribute__((visibility("default")))
#else
#define PICTANOTE_COMMON_API
#endif

namespace Common {

// ---- Message dialogs -----------------------------------------------------------------------
// Modal, centred over `owner` (over the primary screen when owner is null), captioned with the
// application title. Result: 1 Yes or OK, 2 No, 3 Cancel or closed from the title bar, 0 when
// the dialog could not be built or shown. The default-button code of QryMsg and QryMsgEx:
// 0 leaves the focus on the first button, 1 Yes, 2 No, 3 Cancel (where offered, else Yes);
// any other non-zero value acts as 1.
PICTANOTE_COMMON_API int InfoMsg(QWidget* owner, const QString& text);
PICTANOTE_COMMON_API int ErrMsg(QWidget* owner, const QString& text);   // warning icon
PICTANOTE_COMMON_API int StopMsg(QWidget* owner, const QString& text);  // error icon
PICTANOTE_COMMON_API int QryMsg(QWidget* owner, const QString& text, int defaultButton);
PICTANOTE_COMMON_API int QryMsgEx(QWidget* owner, const QString& text, int defaultButton);

// ---- Version information -------------------------------------------------------------------
enum TFileVersionInfo {
    fvCompanyName,
    fvFileDescription,
    fvFileVersion,
    fvInternalName,
    fvLegalCopyright,
    fvOriginalFilename,
    fvProductName,
    fvProductVersion
};

// One string of the version record of a file: the ".pictanote.version" section of an ELF
// file, or the version resource of a Windows PE file. The string table is the one named after
// the record's first translation. Any failure gives "".
PICTANOTE_COMMON_API std::string GetFileVersionEx(const std::string& fileName,
                                                  TFileVersionInfo item);
// The same for the running executable.
PICTANOTE_COMMON_API std::string GetFileVersion(TFileVersionInfo item);

// ---- Text helpers --------------------------------------------------------------------------
// The first n bytes, one less when byte n would cut a double-byte character in half.
PICTANOTE_COMMON_API std::string CutString(const std::string& s, int n);
// `s` right-aligned (AddHead) or left-aligned (AddTail) in a field of n bytes padded with c;
// a longer text loses its leading (AddHead) or trailing (AddTail) bytes.
PICTANOTE_COMMON_API std::string AddHead(const std::string& s, char c, int n);
PICTANOTE_COMMON_API std::string AddTail(const std::string& s, char c, int n);
// Splits one comma-separated record (double quotes group, "" is a quote) into `list`, which is
// cleared first. A record that ends inside quotes loses its last field.
PICTANOTE_COMMON_API void ParseExcelCSV(const std::u16string& line, std::vector<std::string>& list);
// Half-width ASCII, blank and katakana to full width and back; voiced marks are combined by
// HanToZen and split by ZenToHan.
PICTANOTE_COMMON_API std::string HanToZen(const std::string& s);
PICTANOTE_COMMON_API std::string ZenToHan(const std::string& s);
// A signed 32-bit integer: leading blanks, optional sign, decimal digits or hexadecimal ones
// after "$", "x", "X" or "0x", nothing after.
PICTANOTE_COMMON_API bool CheckInteger(const std::string& s);
// A floating-point number in decimal notation with "." as the decimal separator (as the C
// locale reads it; no "inf", "nan" or hexadecimal forms), blanks around it allowed.
PICTANOTE_COMMON_API bool CheckFloat(const std::string& s);

// ---- Form and input helpers ----------------------------------------------------------------
PICTANOTE_COMMON_API void SetFormSizeMax(QWidget* form);  // the primary screen's work area
PICTANOTE_COMMON_API void SetCaption(QWidget* form);      // the application title
// Centres `form` over `reference`, or over the primary screen when reference is null.
PICTANOTE_COMMON_API void SetFormCenter(QWidget* reference, QWidget* form);
// Lets the window system move the form's window with the mouse, as after a title-bar press.
PICTANOTE_COMMON_API void CaptionClicked(QWidget* form);
// Input filter: SetCheck remembers the edit's text; CheckEdit restores it when the text holds a
// byte that `chars` does not permit (allow true) or forbids (allow false). One remembered text
// serves every edit box.
PICTANOTE_COMMON_API void SetCheck(QLineEdit* edit);
PICTANOTE_COMMON_API void CheckEdit(QLineEdit* edit, const std::string& chars, bool allow);

// ---- Paths, system information, temporary files --------------------------------------------
PICTANOTE_COMMON_API std::string ExePath();  // the executable's folder, with a trailing "/"
PICTANOTE_COMMON_API std::string ExeDir();   // the same without it (the root keeps it)
// The executable's file name with its extension replaced: "pictanote" + ".log" is pictanote.log.
PICTANOTE_COMMON_API std::string ChangeExeExt(const std::string& ext);
PICTANOTE_COMMON_API std::string ComputerName();  // the host name, at most 15 bytes
PICTANOTE_COMMON_API std::string UserName();
PICTANOTE_COMMON_API std::string TempPath();  // the temporary folder, with a trailing "/"
// Creates a new empty file in the temporary folder: the first three characters of `prefix`, a
// hexadecimal unique part, ".tmp". Returns its full path; the caller deletes it.
PICTANOTE_COMMON_API std::string TempFileName(const std::string& prefix);

// ---- Help and shell ------------------------------------------------------------------------
// Opens the help file with the desktop's handler for its type.
PICTANOTE_COMMON_API void Help(const std::string& helpFile);
// An executable file (or a program found on the PATH) is started directly, never through a
// command shell, with `parameters` split into arguments at blanks; double quotes group, and
// three double quotes in a row stand for one. Any other file, a folder or a URL is opened with the
// desktop's handler. With `wait`, returns after a started process has ended (at once for the
// desktop's handler). True when it started.
PICTANOTE_COMMON_API bool Shell(const std::string& file, const std::string& parameters, bool wait);

// ---- Drives --------------------------------------------------------------------------------
// The drive letters in order ("ACD"), all or of one type: 2 removable, 3 fixed, 4 remote,
// 5 CD-ROM, 6 RAM disk. CheckDriveReady: whether the drive holds a readable volume, asked
// without any system message (an empty card reader is false). POSIX file systems have no
// drive letters: there the lists are always "" and CheckDriveReady is always false.
PICTANOTE_COMMON_API std::string Drives();
PICTANOTE_COMMON_API std::string DrivesEx(unsigned int driveType);
PICTANOTE_COMMON_API std::string RemoveDrives();
PICTANOTE_COMMON_API std::string FixedDrives();
PICTANOTE_COMMON_API std::string RemoteDrives();
PICTANOTE_COMMON_API std::string CDROMDrives();
PICTANOTE_COMMON_API std::string RamDrives();
PICTANOTE_COMMON_API bool CheckDriveReady(char drive);

// ---- List boxes and drawing ----------------------------------------------------------------
// The height of every item (1 to 255 pixels; other values are ignored).
PICTANOTE_COMMON_API void SetItemHeight(QListWidget* listBox, int height);
// Selects or deselects every item of a multiple-selection list; other lists are left alone.
PICTANOTE_COMMON_API void SelectItem(QListWidget* listBox, bool select);
// Draws `text` with its top-left corner at (x, y), painting only the glyphs.
PICTANOTE_COMMON_API void TransTextOut(QPainter* canvas, const QString& text, int x, int y);

// ---- Files ---------------------------------------------------------------------------------
// Each existing component of `path` in the form the file system stores it; one trailing "/"
// is dropped (not from the root "/"). A path that does not exist comes back unchanged but for
// that separator.
PICTANOTE_COMMON_API std::string GetLongName(const std::string& path);
// Deletes the folder with everything in it, permanently and without messages (on Windows
// through the shell, nothing to the recycle bin). `owner` is not used. An empty folder
// argument or the file-system root is refused (false); on Windows also a drive or share root
// and any folder that holds the Windows folder or the user's profile.
PICTANOTE_COMMON_API bool DeleteDir(unsigned int owner, const std::string& folder);
// Deletes everything inside the folder (only the files, subfolders kept, when filesOnly);
// the folder itself stays. Refuses the empty argument and the root like DeleteDir.
PICTANOTE_COMMON_API bool DeleteFiles(unsigned int owner, const std::string& folder,
                                      bool filesOnly);
// Appends `message` and CR LF to `logFile`; an empty folder part means the executable's folder,
// an empty name the executable's name with ".log". Fails silently.
PICTANOTE_COMMON_API void PutLog(const std::string& message, const std::string& logFile);

// ---- Calendar ------------------------------------------------------------------------------
using TDateTime = double;  // days since 1899-12-30, fraction = time of day

// Results are at midnight. A date outside the years 1 to 9999, or a result beyond 9999-12-31
// (GetLastDay, GetMonthDays of December 9999; GetYearLastDay of any day in 9999), throws
// std::out_of_range.
PICTANOTE_COMMON_API TDateTime GetFirstDay(TDateTime d);
PICTANOTE_COMMON_API TDateTime GetYearFirstDay(TDateTime d);
PICTANOTE_COMMON_API TDateTime GetLastDay(TDateTime d);
PICTANOTE_COMMON_API TDateTime GetYearLastDay(TDateTime d);
PICTANOTE_COMMON_API int GetMonthDays(TDateTime d);
// "日", "月", "火", "水", "木", "金" or "土" in code page 932.
PICTANOTE_COMMON_API std::string GetWeekDayString(TDateTime d);

}  // namespace Common
