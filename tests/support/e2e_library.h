#pragma once

// The library file a test hands the running program, as it stores one.
#include <QList>
#include <QString>
#include <QStringList>

namespace test {

struct LibrarySnippet {
  QString abbreviation;
  QString content;  // the plain text
  int matchType = 0;
  QString moreKeys{};  // property-list keys added to the record
};

struct LibraryGroup {
  QString moreKeys;  // property-list keys added to the group: its rules
  QList<LibrarySnippet> snippets;
};

// extendType: 0 immediate, 1 delimiter typed again, 2 delimiter dropped.
inline QByteArray libraryFile(int extendType, const QList<LibraryGroup>& groups,
                              const QStringList& delimiters = {QStringLiteral("space")},
                              const QString& morePreferences = {}) {
  auto uuid = [](int n) { return QStringLiteral("0E2E0000-0000-4000-8000-%1").arg(n, 12, 10, QLatin1Char('0')); };
  QString tokens, groupRecords, records;
  for (const QString& d : delimiters) tokens += QStringLiteral("<string>%1</string>").arg(d.toHtmlEscaped());
  int n = 100;
  for (int g = 0; g < groups.size(); ++g) {
    QString members;
    for (const LibrarySnippet& s : groups[g].snippets) {
      members += QStringLiteral("<string>%1</string>").arg(uuid(++n));
      records += QStringLiteral("<dict><key>uuid</key><string>%1</string><key>groupUuid</key><string>%2</string>"
                                "<key>abbreviation</key><string>%3</string><key>abbreviationMatchType</key>"
                                "<integer>%4</integer><key>plainText</key><string>%5</string>%6</dict>")
                     .arg(uuid(n), uuid(g + 1), s.abbreviation.toHtmlEscaped())
                     .arg(s.matchType)
                     .arg(s.content.toHtmlEscaped(), s.moreKeys);
    }
    groupRecords += QStringLiteral("<dict><key>uuid</key><string>%1</string><key>name</key><string>G%2</string>"
                                   "<key>snippts</key><array>%3</array>%4</dict>")
                        .arg(uuid(g + 1))
                        .arg(g + 1)
                        .arg(members, groups[g].moreKeys);
  }
  return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                        "<key>Preferences</key><dict><key>extendType</key><integer>%1</integer>"
                        "<key>delimiters</key><array>%2</array><key>isPlaySound</key><false/>%3</dict>"
                        "<key>Groups</key><array>%4</array><key>Snippets</key><array>%5</array></dict></plist>\n")
      .arg(extendType)
      .arg(tokens, morePreferences, groupRecords, records)
      .toUtf8();
}

}  // namespace test
