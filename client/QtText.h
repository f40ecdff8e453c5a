#pragma once
// Conversions between the client's UnicodeString and Qt's QString; both are UTF-16, so nothing is lost.

#include <QString>

#include "platform/UnicodeString.h"

inline QString qstr(const UnicodeString& s)
{
    return QString::fromUtf16(s.u16().data(), static_cast<qsizetype>(s.u16().size()));
}

inline UnicodeString ustr(const QString& s)
{
    return UnicodeString(std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size())));
}
