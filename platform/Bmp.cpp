#include "Bmp.h"

#include "ToolkitError.h"

namespace Platform::Bmp {

// The codec lands with the foundation work; until then every call fails cleanly.
Bitmap decode(QByteArrayView)
{
    throw ToolkitError(Msg::invalidBitmap());
}

Bitmap readFile(const QString& path)
{
    throw ToolkitError(Msg::cannotOpenFile(path));
}

QByteArray encode(const Bitmap&)
{
    throw ToolkitError(Msg::streamWriteError());
}

void writeFile(const Bitmap&, const QString& path)
{
    throw ToolkitError(Msg::cannotCreateFile(path));
}

}  // namespace Platform::Bmp
