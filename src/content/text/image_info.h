#pragma once

#include <QByteArray>
#include <QString>

namespace ql {

// What the first bytes of an attachment say about it: an image's MIME type
// and pixel size, or an empty type for anything else.
struct ImageInfo {
  QString mimeType;
  int width = 0;
  int height = 0;
  bool isImage() const { return !mimeType.isEmpty(); }
};

ImageInfo imageInfo(const QByteArray& data);

}  // namespace ql
