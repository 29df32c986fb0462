#pragma once

#include <QByteArray>
#include <QString>

// Type names of the general pasteboard as Quillet writes and reads them.
namespace ql::pasteboard_types {

inline const QString String = QStringLiteral("text/plain");
inline const QString StringUtf8 = QStringLiteral("text/plain;charset=utf-8");
inline const QString Rtf = QStringLiteral("text/rtf");
inline const QString Html = QStringLiteral("text/html");
inline const QString Rtfd = QStringLiteral("com.apple.flat-rtfd");

// Written beside an expansion's transient content so clipboard managers do
// not record it.
inline const QString TransientMarker = QStringLiteral("x-kde-passwordManagerHint");
inline const QByteArray TransientMarkerValue = QByteArrayLiteral("secret");

}  // namespace ql::pasteboard_types
