// Framework-internal: the system's byte-string texts to and from Qt's strings, as UTF-8.
#pragma once

#include <QString>

#include "framework/object.h"

namespace fw {

inline QString FromBytes(const String& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

inline String ToBytes(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return String(bytes.constData(), std::size_t(bytes.size()));
}

}  // namespace fw
