#include "update/PVTextDecoding.h"

#include <QStringDecoder>
#include <array>

namespace {

struct ByteOrderMark
{
    const char* bytes;
    qsizetype size;
    QStringConverter::Encoding encoding;
};

// UTF-32 LE first: its mark begins with the UTF-16 LE mark.
constexpr std::array<ByteOrderMark, 5> kMarks{{
    {"\xEF\xBB\xBF", 3, QStringConverter::Utf8},
    {"\xFF\xFE\x00\x00", 4, QStringConverter::Utf32LE},
    {"\x00\x00\xFE\xFF", 4, QStringConverter::Utf32BE},
    {"\xFF\xFE", 2, QStringConverter::Utf16LE},
    {"\xFE\xFF", 2, QStringConverter::Utf16BE},
}};

} // namespace

QString PVDecodeText(const QByteArray& bytes)
{
    for (const ByteOrderMark& mark : kMarks) {
        if (bytes.startsWith(QByteArrayView(mark.bytes, mark.size))) {
            QStringDecoder decoder(mark.encoding, QStringConverter::Flag::Stateless);
            return decoder.decode(QByteArrayView(bytes).sliced(mark.size));
        }
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    return QString::fromLatin1(bytes);
}
