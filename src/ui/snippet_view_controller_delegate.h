#pragma once

class SnippetViewController;

// What the snippet editor tells the window it sits in.
class SnippetViewControllerDelegate {
 public:
  virtual ~SnippetViewControllerDelegate() = default;
  // An edit has finished (a field or the content was left after a change,
  // or a choice was made): the window stamps and saves the snippet.
  virtual void SnippetViewControllerDidFinish(SnippetViewController* editor) = 0;
};
