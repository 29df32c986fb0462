#include "platform/x11/tracked_mime_data.h"

namespace ql {

QVariant TrackedMimeData::retrieveData(const QString& mimeType, QMetaType type) const {
  if (tracking_ && onFetch_ && hasFormat(mimeType)) onFetch_(this, mimeType);
  return QMimeData::retrieveData(mimeType, type);
}

}  // namespace ql
