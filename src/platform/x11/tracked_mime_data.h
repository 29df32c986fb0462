#pragma once

#include <QMimeData>

#include <functional>

namespace ql {

// Clipboard content that tells when someone reads it. Qt serves another
// application's paste request by asking the owner's QMimeData for the
// format, which always ends in retrieveData.
class TrackedMimeData final : public QMimeData {
  Q_OBJECT

 public:
  using FetchHandler = std::function<void(const TrackedMimeData* self, const QString& format)>;
  explicit TrackedMimeData(FetchHandler onFetch = {}) : onFetch_(std::move(onFetch)) {}

  // Reading our own content (e.g. a test) must not count as a fetch.
  void setTracking(bool on) { tracking_ = on; }

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

 private:
  FetchHandler onFetch_;
  bool tracking_ = true;
};

}  // namespace ql
