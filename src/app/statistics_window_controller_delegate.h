#pragma once

class StatisticsWindowController;

// Where the statistics window reports a change to the library: the main
// controller, which saves it.
class StatisticsWindowControllerDelegate {
 public:
  virtual ~StatisticsWindowControllerDelegate() = default;
  // The typing speed (preference wordPerMinute) was changed in the window.
  virtual void statisticsWordPerMinuteChanged(StatisticsWindowController* controller) = 0;
};
