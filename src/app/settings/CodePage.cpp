#include "app/settings/CodePage.h"

#include <cerrno>
#include <iconv.h>

namespace codepage {
namespace {

// Converts with iconv; a byte or character that cannot be converted is replaced and skipped,
// so a damaged file still yields text.
QByteArray convert(const char* to, const char* from, const QByteArray& input, int unitOnError,
                   const QByteArray& replacement) {
    QByteArray out;
    if (input.isEmpty())
        return out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return out;
    out.reserve(input.size() * 2 + 8);
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<qsizetype>(sizeof buffer - outLeft));
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (a truncated sequence at the end): replace one unit and go on.
            out.append(replacement);
            size_t skip = std::min(inLeft, static_cast<size_t>(unitOnError));
            in += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace

QByteArray encode(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    // Lone surrogates cannot exist in GB18030; they become "?".
    return convert("GB18030", "UTF-8", utf8, 1, QByteArray("?"));
}

QString decode(const QByteArray& bytes) {
    const QByteArray utf8 = convert("UTF-8", "GB18030", bytes, 1, QByteArray("\xEF\xBF\xBD"));
    return QString::fromUtf8(utf8);
}

bool decodes(const QByteArray& bytes) {
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char buffer[4096];
    bool valid = true;
    while (inLeft > 0 && valid) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
            valid = errno == E2BIG;
    }
    iconv_close(cd);
    return valid;
}

int charLength(const char* data, qsizetype size) {
    if (size <= 0)
        return 0;
    const auto b0 = static_cast<unsigned char>(data[0]);
    if (b0 < 0x81 || b0 == 0xFF || size < 2)
        return 1;
    const auto b1 = static_cast<unsigned char>(data[1]);
    if (b1 >= 0x30 && b1 <= 0x39)
        return size >= 4 ? 4 : static_cast<int>(size);
    return 2;
}

QByteArray cutOnCharBoundary(const QByteArray& bytes, qsizetype maxBytes) {
    if (bytes.size() <= maxBytes)
        return bytes;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const int len = charLength(bytes.constData() + pos, bytes.size() - pos);
        if (pos + len > maxBytes)
            break;
        pos += len;
    }
    return bytes.left(pos);
}

} // namespace codepage
