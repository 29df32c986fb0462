#pragma once

class GroupViewController;

// What the group editor tells the window it sits in.
class GroupViewControllerDelegate {
 public:
  virtual ~GroupViewControllerDelegate() = default;
  // A field of the group was changed (every keystroke in the text fields,
  // every choice): the window stamps and saves the group.
  virtual void GroupViewControllerDidFinish(GroupViewController* editor) = 0;
};
