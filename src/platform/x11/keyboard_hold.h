#pragma once

#include <QObject>

#include <deque>
#include <memory>

#include "platform/x11/x11_types.h"

namespace ql {

class X11Connection;

// Holds the user's typing during an expansion: grabs the keyboard so key
// events come to the program instead of the focused application. Which
// events the grab caught is told by the RECORD stream, where each grab and
// ungrab request of ours appears as a marker; the hold counts the markers
// it caused and remembers whether each grab took. The program's own XTEST
// input is subject to the grab too, so posting suspends it (Pause).
class KeyboardHold final : public QObject {
  Q_OBJECT

 public:
  explicit KeyboardHold(X11Connection& connection, QObject* parent = nullptr);
  ~KeyboardHold() override;

  // False when another client holds the keyboard (the hold is then
  // ineffective, but still counts as active).
  bool begin();
  // Releases the keyboard; the request is sent at once.
  void end();
  bool isActive() const { return active_; }
  // Waits for the answer to a grab still under way.
  bool isGrabbed() const;

  // Grab and ungrab requests sent so far: the RECORD stream is complete up
  // to now once it has shown as many markers.
  quint64 markersSent() const { return markersSent_; }
  // Whether the oldest grab whose marker was not yet seen took; called
  // once per grab marker, in order.
  bool takeGrabResult();
  // Drops the results of grabs whose markers will never be seen.
  void forgetGrabResults();

 Q_SIGNALS:
  // The hold began (true) or ended; for measuring how long typing waits.
  void activeChanged(bool active);

 public:
  // Lets the program's own input through while it lives. Ungrab, posts and
  // grab leave in one write with no round trip between them, so the server
  // handles them as one run and no other client's input falls in the gap.
  // Nothing inside may wait for a reply. The grab that ends it is not
  // waited for either: its answer is read when someone needs it, by then
  // usually long arrived.
  class Pause final {
   public:
    explicit Pause(KeyboardHold& hold);
    ~Pause();
    Pause(const Pause&) = delete;
    Pause& operator=(const Pause&) = delete;

   private:
    KeyboardHold& hold_;
    bool resumed_;
  };

 private:
  // A grab's outcome; while `pending`, the reply to request `sequence`.
  struct GrabResult {
    bool pending = false;
    unsigned sequence = 0;
    bool took = false;
  };
  using GrabPtr = std::shared_ptr<GrabResult>;
  bool grab();
  void grabLater();
  void ungrab();
  bool resolve(GrabResult& result) const;
  // Lets go of a result; a reply nobody will read any more is dropped.
  void release(GrabPtr& result) const;

  X11Connection& connection_;
  bool active_ = false;
  // The latest grab, unless an ungrab came after it; may still be pending.
  GrabPtr current_;
  quint64 markersSent_ = 0;
  std::deque<GrabPtr> grabResults_;
};

}  // namespace ql
