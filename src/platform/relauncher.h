#pragma once

namespace ql {

// Restarting the program.
class Relauncher {
 public:
  virtual ~Relauncher() = default;

  // Starts the helper that waits for this process to end and then starts the
  // program again. The caller quits right after. False when the helper could
  // not be started; the caller still quits.
  virtual bool startRelaunchHelper() = 0;
};

}  // namespace ql
