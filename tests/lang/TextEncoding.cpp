#include "TextEncoding.h"

#include <QByteArray>

#include <iconv.h>
#include <memory>

namespace {

struct IconvCloser
{
    void operator()(void *handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle OpenConverter(const char *to, const char *from)
{
    const iconv_t handle = iconv_open(to, from);
    return IconvHandle(handle == reinterpret_cast<iconv_t>(-1) ? nullptr : handle);
}

// Strict conversion: fails on the first character the target set lacks.
bool Convert(const char *to, const char *from, const QByteArray &input, QByteArray &output)
{
    const IconvHandle converter = OpenConverter(to, from);
    if (!converter)
        return false;
    QByteArray in = input;
    output = QByteArray(in.size() * 4 + 16, '\0');
    char *inPtr = in.data();
    size_t inLeft = size_t(in.size());
    char *outPtr = output.data();
    size_t outLeft = size_t(output.size());
    const size_t irreversible =
        iconv(static_cast<iconv_t>(converter.get()), &inPtr, &inLeft, &outPtr, &outLeft);
    if (irreversible != 0 || inLeft != 0)
        return false;
    output.truncate(output.size() - qsizetype(outLeft));
    return true;
}

} // namespace

bool RoundTripsThrough(const QString &text, const char *charset)
{
    QByteArray encoded;
    QByteArray decoded;
    return Convert(charset, "UTF-8", text.toUtf8(), encoded) &&
           Convert("UTF-8", charset, encoded, decoded) && QString::fromUtf8(decoded) == text;
}
