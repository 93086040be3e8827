#include "Cp932.h"

#include <QList>

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace Platform::Cp932 {
namespace {

// iconv descriptors are not thread-safe; every call opens its own, which costs microseconds
// and keeps this free of shared state.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in`; an unconvertible or broken unit is replaced by `replacement`
    // (already in the target encoding) and skipped by `skip` input bytes.
    std::string run(std::string_view in, std::string_view replacement, size_t skip) {
        std::string out;
        if (!valid())
            return out;
        std::vector<char> buffer(in.size() * 2 + 16);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        while (srcLeft > 0) {
            char* dst = buffer.data();
            size_t dstLeft = buffer.size();
            const size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer.data(), static_cast<size_t>(dst - buffer.data()));
            if (rc != static_cast<size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: replace the offending unit and go on.
            out.append(replacement);
            const size_t n = std::min(skip, srcLeft);
            src += n;
            srcLeft -= n;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t m_cd;
};

}  // namespace

std::string fromUnicode(const QString& text) {
    // Through UTF-32 so a replacement always skips exactly one character.
    const QList<uint> ucs4 = text.toUcs4();
    const std::string_view in(reinterpret_cast<const char*>(ucs4.constData()),
                              static_cast<size_t>(ucs4.size()) * 4);
    Converter c("CP932", "UTF-32LE");
    return c.run(in, "?", 4);
}

QString toUnicode(std::string_view bytes) {
    Converter c("UTF-8", "CP932");
    const std::string utf8 = c.run(bytes, "\xEF\xBF\xBD", 1);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace Platform::Cp932
