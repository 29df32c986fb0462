#pragma once

namespace ql {

// Whether the program starts when the user logs in (on Linux: an XDG
// autostart entry).
class LoginItems {
 public:
  virtual ~LoginItems() = default;

  // Adds the program; adding twice leaves one entry.
  virtual void add() = 0;
  // Removes every entry that starts this program.
  virtual void remove() = 0;
  virtual bool contains() const = 0;
};

}  // namespace ql
