#pragma once

#include "toolkit/Types.h"

#include <QColor>
#include <QFile>
#include <QString>

// The Qt back end's edge: our UTF-8 strings and colours to Qt's and back.
inline QString ToQ(const String& text) {
    return QString::fromStdString(text);
}
inline String FromQ(const QString& text) {
    return text.toStdString();
}
// File names: the file system's bytes on one side, Qt's decoding of them on the other.
inline QString PathToQ(const String& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
inline String PathFromQ(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
inline QColor ToQColor(TColor color) {
    return QColor::fromRgb((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
}
