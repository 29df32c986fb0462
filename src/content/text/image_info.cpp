#include "content/text/image_info.h"

namespace ql {

namespace {

quint32 be32(const QByteArray& d, qsizetype at) {
  const auto* p = reinterpret_cast<const uchar*>(d.constData() + at);
  return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}
int be16(const QByteArray& d, qsizetype at) {
  const auto* p = reinterpret_cast<const uchar*>(d.constData() + at);
  return p[0] << 8 | p[1];
}
int le16(const QByteArray& d, qsizetype at) {
  const auto* p = reinterpret_cast<const uchar*>(d.constData() + at);
  return p[0] | p[1] << 8;
}
qint32 le32(const QByteArray& d, qsizetype at) {
  return qint32(quint32(le16(d, at)) | quint32(le16(d, at + 2)) << 16);
}

int clampSize(qint64 v) { return int(qBound(qint64(0), v, qint64(1) << 20)); }

void jpegSize(const QByteArray& d, ImageInfo& info) {
  qsizetype i = 2;
  while (i + 9 < d.size()) {
    if (uchar(d.at(i)) != 0xFF) return;
    const uchar marker = uchar(d.at(i + 1));
    if (marker == 0xFF) {
      ++i;
      continue;
    }
    const int length = be16(d, i + 2);
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 &&
                       marker != 0xC8 && marker != 0xCC;
    if (frame) {
      info.height = be16(d, i + 5);
      info.width = be16(d, i + 7);
      return;
    }
    if (length < 2) return;
    i += 2 + length;
  }
}

}  // namespace

ImageInfo imageInfo(const QByteArray& d) {
  ImageInfo info;
  if (d.startsWith("\x89PNG\r\n\x1a\n")) {
    info.mimeType = QStringLiteral("image/png");
    if (d.size() >= 24) {
      info.width = clampSize(be32(d, 16));
      info.height = clampSize(be32(d, 20));
    }
  } else if (d.startsWith("\xFF\xD8\xFF")) {
    info.mimeType = QStringLiteral("image/jpeg");
    jpegSize(d, info);
  } else if (d.startsWith("GIF87a") || d.startsWith("GIF89a")) {
    info.mimeType = QStringLiteral("image/gif");
    if (d.size() >= 10) {
      info.width = le16(d, 6);
      info.height = le16(d, 8);
    }
  } else if (d.startsWith("BM") && d.size() >= 26) {
    info.mimeType = QStringLiteral("image/bmp");
    info.width = clampSize(qAbs(qint64(le32(d, 18))));
    info.height = clampSize(qAbs(qint64(le32(d, 22))));
  } else if (d.size() >= 12 && d.startsWith("RIFF") && d.mid(8, 4) == "WEBP") {
    info.mimeType = QStringLiteral("image/webp");
  } else if (d.startsWith("II*") || d.startsWith(QByteArrayView("MM\0*", 4))) {
    info.mimeType = QStringLiteral("image/tiff");
  }
  return info;
}

}  // namespace ql
