// Writes the main window's bitmaps as BMP files into the folder given as the only argument:
//   tool-button images  BTN<name>.bmp, 32 x 16 (normal image left, disabled image right) for
//                       the file commands and the font button, 16 x 16 for the style buttons;
//   MAINICON.bmp        the 32 x 32 program icon;
//   ABOUTLOGO.bmp       the 124 x 36 logo of the About box, 24 bits per pixel;
//   DRUGCURSOR.bmp      the 32 x 32 drag cursor as a 32 x 64 one-bit image, AND mask on top and
//                       XOR mask below (a white pixel is a set bit), hot spot (15, 15) by contract.
// Every colour image has olive (128, 128, 0) as its transparent colour, which also fills its
// bottom-left pixel, so whoever draws it can take the transparent colour from there.
//
// With "--theme-icons FOLDER SIZE..." it writes instead the program icon for the desktop's icon
// theme: FOLDER/SIZExSIZE/apps/pictanote.png for each SIZE, with a real alpha channel; with
// "--windows-icon FILE.ico" the same icon as a Windows icon file of several sizes.
#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdio>
#include <map>
#include <string_view>
#include <vector>

namespace {

const QColor kOlive(128, 128, 0);

QColor colourOf(char c) {
    static const std::map<char, QColor> table = {
        {'.', kOlive},
        {'k', QColor(0, 0, 0)},
        {'w', QColor(255, 255, 255)},
        {'g', QColor(128, 128, 128)},
        {'s', QColor(192, 192, 192)},
        {'y', QColor(255, 255, 0)},
        {'d', QColor(160, 120, 0)},
        {'n', QColor(0, 0, 128)},
        {'b', QColor(0, 0, 255)},
        {'r', QColor(255, 0, 0)},
        {'m', QColor(128, 0, 0)},
        {'G', QColor(0, 128, 0)},
        {'l', QColor(0, 255, 0)},
        {'c', QColor(0, 255, 255)},
        {'t', QColor(0, 128, 128)},
    };
    const auto it = table.find(c);
    return it == table.end() ? kOlive : it->second;
}

using Art16 = std::array<std::string_view, 16>;

QImage fromArt(const Art16& art) {
    QImage image(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.setPixelColor(x, y, colourOf(art[y][x]));
    return image;
}

// The greyed look of a disabled button: the shape in grey with a white relief one pixel down
// and to the right.
QImage disabledOf(const QImage& normal) {
    QImage out(normal.size(), QImage::Format_RGB32);
    out.fill(kOlive);
    const auto opaque = [&](int x, int y) {
        return x >= 0 && y >= 0 && normal.pixelColor(x, y) != kOlive;
    };
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            if (opaque(x, y))
                out.setPixelColor(x, y, QColor(128, 128, 128));
            else if (opaque(x - 1, y - 1))
                out.setPixelColor(x, y, Qt::white);
        }
    return out;
}

QImage twoState(const Art16& art) {
    const QImage normal = fromArt(art);
    QImage both(32, 16, QImage::Format_RGB32);
    QPainter p(&both);
    p.drawImage(0, 0, normal);
    p.drawImage(16, 0, disabledOf(normal));
    return both;
}

// clang-format off
// Open folder.
constexpr Art16 kWorkOpen = {
    "................",
    "................",
    "................",
    ".kkk............",
    "kyyyk.......k...",
    "kywyyk.....kk...",
    "kyyyykkkkkkk.k..",
    "kywyyyyyyyyk.k..",
    "kyyykkkkkkkkkkk.",
    "kywkdddddddddk..",
    "kyykdddddddddk..",
    "kykdddddddddk...",
    "kykddddddddk....",
    "kkdddddddddk....",
    "kkkkkkkkkkk.....",
    "................",
};
// Floppy disk.
constexpr Art16 kWorkSave = {
    "................",
    ".kkkkkkkkkkkkk..",
    ".kbkwwwwwwwkbk..",
    ".kbkwwwwwwwkbk..",
    ".kbkwwwwwwwkbk..",
    ".kbkwwwwwwwkbk..",
    ".kbbkkkkkkkbbk..",
    ".kbbbbbbbbbbbk..",
    ".kbbkkkkkkkbbk..",
    ".kbbksskkskbbk..",
    ".kbbksskkskbbk..",
    ".kbbksskkskbbk..",
    "..kkkkkkkkkkkk..",
    "................",
    "................",
    "................",
};
// Floppy disk with a pencil.
constexpr Art16 kWorkSaveAs = {
    "................",
    "kkkkkkkkkkkkk...",
    "kbkwwwwwwwkbk...",
    "kbkwwwwwwwkbk...",
    "kbkwwwwwwwkbk...",
    "kbbkkkkkkkbbk...",
    "kbbbbbbbbbbbk...",
    "kbbkkkkkkkbk....",
    "kbbksskkskk..kk.",
    "kbbksskksk..kyyk",
    "kkkkkkkkk..kyyk.",
    "..........kyyk..",
    ".........kyyk...",
    "........kwwk....",
    "........kkk.....",
    "................",
};
// A picture and an open folder in front of it: the source image.
constexpr Art16 kOpen = {
    "................",
    "...kkkkkkkkkkkk.",
    "...kccccccccyyk.",
    "...kcccccccyyyk.",
    "...kccccccccyyk.",
    "...kcccGcccccck.",
    "...kccGGGcccGck.",
    "kkk.kGGGGGcGGGk.",
    "kyyykGGGGGGGGGk.",
    "kywyykkkkkkkkkk.",
    "kyykkkkkkkkkk...",
    "kywkddddddddk...",
    "kykddddddddk....",
    "kkddddddddk.....",
    "kkkkkkkkkkk.....",
    "................",
};
// Clipboard with a sheet.
constexpr Art16 kPaste = {
    "................",
    ".....kkkkk......",
    ".kkkksssssk.kkk.",
    ".kdddkkkkkddddk.",
    ".kddddddddddddk.",
    ".kdddkkkkkkkkkk.",
    ".kdddkwwwwwwwwk.",
    ".kdddkwkkkkkwwk.",
    ".kdddkwwwwwwwwk.",
    ".kdddkwkkkkkkwk.",
    ".kdddkwwwwwwwwk.",
    ".kdddkwkkkkkwwk.",
    ".kdddkwwwwwwwwk.",
    ".kkkkkwkkkkkkwk.",
    ".....kwwwwwwwwk.",
    ".....kkkkkkkkkk.",
};
// A picture with a marker on it and an arrow out: the bitmap export.
constexpr Art16 kSave = {
    "................",
    "kkkkkkkkkkkk....",
    "kcccccccccck....",
    "kccrrrcccyck....",
    "kcrrwrrcyyyk....",
    "kcrwwrrccyck....",
    "kcrrwrrcccck....",
    "kccrrrccccck....",
    "kcccccccGcck....",
    "kcGccccGGGck..r.",
    "kGGGccGGGGGk..rr",
    "kGGGGGGGGGGrrrrr",
    "kkkkkkkkkkkrrrrr",
    "..............rr",
    "..............r.",
    "................",
};
// The same picture with a pencil: export under a new name.
constexpr Art16 kSaveAs = {
    "................",
    "kkkkkkkkkkkk....",
    "kcccccccccck....",
    "kccrrrcccyck....",
    "kcrrwrrcyyyk....",
    "kcrwwrrccyck....",
    "kcrrwrrcccck.kk.",
    "kccrrrccccckkyyk",
    "kcccccccGcckyyk.",
    "kcGccccGGGkyyk..",
    "kGGGccGGGGkyk...",
    "kGGGGGGGGkwwk...",
    "kkkkkkkkkkkk....",
    "................",
    "................",
    "................",
};
// A capital A over a coloured bar: the number font.
constexpr Art16 kFont = {
    "................",
    "......kkk.......",
    "......kkk.......",
    ".....kk.kk......",
    ".....kk.kk......",
    "....kk...kk.....",
    "....kk...kk.....",
    "...kkkkkkkkk....",
    "...kk.....kk....",
    "..kk.......kk...",
    "..kk.......kk...",
    ".kkkk.....kkkk..",
    "................",
    ".rrrrrrrrrrrrrr.",
    ".rrrrrrrrrrrrrr.",
    "................",
};

// clang-format on

// The style buttons show the marker shape they choose, drawn at half the glyph size over a
// patch of picture: the open shapes let the picture show through, the filled ones cover it
// with white as the markers do.
QImage styleImage(int style) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(kOlive);
    QPainter p(&image);
    const auto picture = [&](const QRect& area) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                image.setPixelColor(x, y,
                                    (x + y) % 4 < 2 ? QColor(0, 255, 255) : QColor(0, 128, 0));
    };
    switch (style) {
        case 1:  // raised button
            p.fillRect(1, 1, 14, 14, QColor(192, 192, 192));
            p.fillRect(1, 1, 14, 1, Qt::white);
            p.fillRect(1, 1, 1, 14, Qt::white);
            p.fillRect(1, 14, 14, 1, QColor(128, 128, 128));
            p.fillRect(14, 1, 1, 14, QColor(128, 128, 128));
            p.fillRect(2, 13, 13, 1, QColor(128, 128, 128));
            p.fillRect(13, 2, 1, 12, QColor(128, 128, 128));
            p.fillRect(1, 15, 15, 1, Qt::black);
            p.fillRect(15, 1, 1, 15, Qt::black);
            break;
        case 2:  // square frame
        case 3:  // square frame filled white
            p.end();
            picture(QRect(3, 3, 10, 10));
            p.begin(&image);
            if (style == 3)
                p.fillRect(3, 3, 10, 10, Qt::white);
            p.fillRect(1, 1, 14, 2, Qt::black);
            p.fillRect(1, 13, 14, 2, Qt::black);
            p.fillRect(1, 1, 2, 14, Qt::black);
            p.fillRect(13, 1, 2, 14, Qt::black);
            break;
        case 4:  // ring
        case 5:  // ring filled white
            p.end();
            picture(QRect(4, 4, 8, 8));
            p.begin(&image);
            p.setPen(QPen(Qt::black, 2));
            p.setBrush(style == 5 ? QBrush(Qt::white) : QBrush(Qt::NoBrush));
            p.drawEllipse(QRectF(2, 2, 12, 12));
            break;
    }
    p.end();
    return image;
}

// A round red marker with a white "1" on a corner of a landscape: the program icon.
QImage mainIcon() {
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(kOlive);
    QPainter p(&image);
    p.fillRect(1, 3, 28, 24, Qt::black);
    p.fillRect(2, 4, 26, 22, QColor(0, 255, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 128, 0));
    p.drawPolygon(QPolygon({QPoint(2, 26), QPoint(2, 18), QPoint(10, 12), QPoint(17, 19),
                            QPoint(21, 16), QPoint(28, 21), QPoint(28, 26)}));
    p.setBrush(QColor(255, 255, 0));
    p.drawEllipse(QRect(20, 6, 5, 5));
    p.setBrush(Qt::black);
    p.drawEllipse(QRect(12, 12, 19, 19));
    p.setBrush(QColor(255, 0, 0));
    p.drawEllipse(QRect(13, 13, 17, 17));
    p.end();
    // The digit one, drawn pixel by pixel so the image needs no font.
    for (int y = 16; y <= 26; ++y)
        for (int x = 20; x <= 22; ++x)
            image.setPixelColor(x, y, Qt::white);
    image.setPixelColor(19, 17, Qt::white);
    image.setPixelColor(18, 18, Qt::white);
    image.setPixelColor(19, 18, Qt::white);
    for (int x = 18; x <= 24; ++x)
        image.setPixelColor(x, 26, Qt::white);
    image.setPixelColor(0, 31, kOlive);
    return image;
}

// The letters of the program name in a seven-row pixel font, '#' set.
struct Letter {
    char name;
    std::array<std::string_view, 7> rows;
};
constexpr std::array<Letter, 8> kLetters = {{
    {'P', {"###.", "#..#", "#..#", "###.", "#...", "#...", "#..."}},
    {'i', {"#", ".", "#", "#", "#", "#", "#"}},
    {'c', {"....", "....", ".###", "#...", "#...", "#...", ".###"}},
    {'t', {".#.", ".#.", "###", ".#.", ".#.", ".#.", ".##"}},
    {'a', {"....", "....", ".##.", "...#", ".###", "#..#", ".###"}},
    {'n', {"....", "....", "###.", "#..#", "#..#", "#..#", "#..#"}},
    {'o', {"....", "....", ".##.", "#..#", "#..#", "#..#", ".##."}},
    {'e', {"....", "....", ".##.", "#..#", "####", "#...", ".###"}},
}};

const Letter& letterOf(char c) {
    for (const Letter& l : kLetters)
        if (l.name == c)
            return l;
    return kLetters[0];
}

// The program name in navy with a grey shadow over a red rule: the About box logo.
QImage aboutLogo() {
    QImage image(124, 36, QImage::Format_RGB888);
    image.fill(kOlive);
    constexpr int scale = 3;
    constexpr std::string_view name = "Pictanote";
    int width = -scale;
    for (char c : name)
        width += (static_cast<int>(letterOf(c).rows[0].size()) + 1) * scale;
    const int left = (124 - width) / 2;
    constexpr int top = 4;
    for (const auto& [offset, colour] :
         {std::pair{1, QColor(128, 128, 128)}, std::pair{0, QColor(0, 0, 128)}}) {
        int x0 = left + offset;
        for (char c : name) {
            const Letter& l = letterOf(c);
            const int w = static_cast<int>(l.rows[0].size());
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < w; ++col)
                    if (l.rows[row][col] == '#')
                        for (int dy = 0; dy < scale; ++dy)
                            for (int dx = 0; dx < scale; ++dx)
                                image.setPixelColor(x0 + col * scale + dx,
                                                    top + offset + row * scale + dy, colour);
            x0 += (w + 1) * scale;
        }
    }
    for (int x = left; x < left + width; ++x)
        for (int y = 29; y < 32; ++y)
            image.setPixelColor(x, y, QColor(255, 0, 0));
    return image;
}

// AND mask above, XOR mask below. Frame: AND 1, XOR 1 (inverts the screen). Inside: white
// (AND 0, XOR 1) where x + y is even, starting at the inner top-left pixel; see-through
// (AND 1, XOR 0) elsewhere.
QImage dragCursor() {
    QImage image(32, 64, QImage::Format_Mono);
    image.setColor(0, qRgb(0, 0, 0));
    image.setColor(1, qRgb(255, 255, 255));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool frame = x == 0 || y == 0 || x == 31 || y == 31;
            const bool white = !frame && (x + y) % 2 == 0;
            const int andBit = white ? 0 : 1;
            const int xorBit = frame || white ? 1 : 0;
            image.setPixel(x, y, andBit);
            image.setPixel(x, y + 32, xorBit);
        }
    return image;
}

// The program icon at a theme size, its olive made transparent first so no olive bleeds into the
// edges. Whole multiples of 32 repeat each pixel and stay exactly as sharp as the drawing; other
// sizes are averaged down from an eightfold enlargement, which weighs every icon pixel by the
// area it covers in the result: smooth, without the blur of interpolating between pixels.
QImage themeIcon(int size) {
    QImage icon = mainIcon().convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = icon.pixel(0, icon.height() - 1);
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            if (icon.pixel(x, y) == transparent)
                icon.setPixel(x, y, qRgba(0, 0, 0, 0));
    icon.convertTo(QImage::Format_ARGB32_Premultiplied);
    const int side = icon.width();
    if (size % side == 0)
        return icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return icon.scaled(side * 8, side * 8, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

int writeThemeIcons(const QString& folder, const QStringList& sizes) {
    bool ok = true;
    for (const QString& text : sizes) {
        bool isNumber = false;
        const int size = text.toInt(&isNumber);
        if (!isNumber || size < 1 || size > 1024) {
            std::fprintf(stderr, "not an icon size: %s\n", qPrintable(text));
            return 2;
        }
        const QDir dir(QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size));
        const QString path = dir.filePath(QStringLiteral("pictanote.png"));
        if (!QDir().mkpath(dir.path()) || !themeIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ok = false;
        }
    }
    return ok ? 0 : 1;
}

// The Windows icon file: the theme icon at the sizes the shell asks for, each stored as PNG
// (every Windows since Vista reads PNG entries, and they keep the file small).
int writeWindowsIcon(const QString& path) {
    const int sizes[] = {16, 24, 32, 48, 64, 256};
    constexpr int count = sizeof sizes / sizeof sizes[0];
    std::vector<QByteArray> images;
    for (const int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!themeIcon(size).save(&buffer, "PNG"))
            return 1;
        images.push_back(png);
    }
    QByteArray ico;
    const auto put16 = [&ico](quint32 v) { ico.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF)); };
    const auto put32 = [&put16](quint32 v) { put16(v & 0xFFFF), put16(v >> 16); };
    put16(0);  // reserved
    put16(1);  // icon
    put16(count);
    quint32 offset = 6 + 16 * count;
    for (int i = 0; i < count; ++i) {
        ico.append(char(sizes[i] >= 256 ? 0 : sizes[i]));  // 0 stands for 256
        ico.append(char(sizes[i] >= 256 ? 0 : sizes[i]));
        ico.append(char(0)).append(char(0));  // no palette, reserved
        put16(1);   // planes
        put16(32);  // bits per pixel
        put32(static_cast<quint32>(images[i].size()));
        put32(offset);
        offset += static_cast<quint32>(images[i].size());
    }
    for (const QByteArray& png : images)
        ico.append(png);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ico) != ico.size() || !file.flush()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}

bool save(const QImage& image, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name + QStringLiteral(".bmp"));
    if (image.save(path, "BMP"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc >= 4 && std::string_view(argv[1]) == "--theme-icons") {
        QStringList sizes;
        for (int i = 3; i < argc; ++i)
            sizes << QString::fromLocal8Bit(argv[i]);
        return writeThemeIcons(QString::fromLocal8Bit(argv[2]), sizes);
    }
    if (argc == 3 && std::string_view(argv[1]) == "--windows-icon")
        return writeWindowsIcon(QString::fromLocal8Bit(argv[2]));
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: %s OUTPUT-FOLDER\n       %s --theme-icons FOLDER SIZE...\n"
                     "       %s --windows-icon FILE.ico\n",
                     argv[0], argv[0], argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path()))
        return 1;

    bool ok = true;
    const std::pair<const char*, const Art16*> commands[] = {
        {"BTNWORKOPEN", &kWorkOpen}, {"BTNWORKSAVE", &kWorkSave}, {"BTNWORKSAVEAS", &kWorkSaveAs},
        {"BTNOPEN", &kOpen},         {"BTNPASTE", &kPaste},       {"BTNSAVE", &kSave},
        {"BTNSAVEAS", &kSaveAs},     {"BTNFONT", &kFont},
    };
    for (const auto& [name, art] : commands)
        ok &= save(twoState(*art), dir, QString::fromLatin1(name));
    const char* styles[] = {"BTNBUTTON", "BTNBOX1", "BTNBOX2", "BTNCIRCLE1", "BTNCIRCLE2"};
    for (int style = 1; style <= 5; ++style)
        ok &= save(styleImage(style), dir, QString::fromLatin1(styles[style - 1]));
    ok &= save(mainIcon(), dir, QStringLiteral("MAINICON"));
    ok &= save(aboutLogo(), dir, QStringLiteral("ABOUTLOGO"));
    ok &= save(dragCursor(), dir, QStringLiteral("DRUGCURSOR"));
    return ok ? 0 : 1;
}
