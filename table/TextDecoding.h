#pragma once

#include <QByteArray>
#include <QString>

// Decoded characters of a text file, or why the bytes are not text of their encoding.
struct DecodedText
{
    QString text;
    QString error; // empty on success
    int errorLine = 0;
};

// An XML file: a byte-order mark decides the encoding, else the encoding named in the
// declaration when this platform can decode it, else UTF-8.
DecodedText DecodeXmlText(const QByteArray &bytes);

// A UTF-8 file, with or without byte-order mark (a UTF-16 mark is honoured too).
DecodedText DecodeUtf8Text(const QByteArray &bytes);
