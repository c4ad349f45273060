#pragma once

// Turns the bytes of a text file from a server into text without knowing its
// encoding beforehand: a byte-order mark names it; otherwise bytes that are
// valid UTF-8 are read as UTF-8, and anything else as Latin-1, which accepts
// every byte.

#include <QByteArray>
#include <QString>

QString PVDecodeText(const QByteArray& bytes);
