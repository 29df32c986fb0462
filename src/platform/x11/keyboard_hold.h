#pragma once

#include <QObject>

#include <functional>
#include <vector>

#include "platform/x11/x11_types.h"

namespace ql {

class X11Connection;

// Holds the user's typing during an expansion: grabs the keyboard so key
// events come to the program instead of the focused application, and hands
// them to a sink to be replayed later. The program's own XTEST input is
// subject to the grab too, so posting suspends it (Pause).
class KeyboardHold final : public QObject {
  Q_OBJECT

 public:
  struct Key {
    int keyCode = 0;
    bool press = true;
    unsigned state = 0;
    Time time = 0;
  };
  using Sink = std::function<void(const Key&)>;

  explicit KeyboardHold(X11Connection& connection, QObject* parent = nullptr);
  ~KeyboardHold() override;

  void setSink(Sink sink) { sink_ = std::move(sink); }

  // False when another client holds the keyboard (the hold is then
  // ineffective, but still counts as active for its times).
  bool begin();
  void end();
  bool isActive() const { return active_; }

  // Whether a key event at server time t happened during a hold, and so
  // reached the program and not the application.
  bool covers(Time t) const;

  // Lets the program's own input through while it lives.
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
  bool grab();
  void onEvent(const XEvent& event);

  X11Connection& connection_;
  int subscription_ = 0;
  Sink sink_;
  bool active_ = false;
  bool grabbed_ = false;
  struct Span {
    Time start = 0;
    Time end = 0;  // 0: still open
  };
  std::vector<Span> spans_;
};

}  // namespace ql
