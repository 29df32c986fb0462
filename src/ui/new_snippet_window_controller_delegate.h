#pragma once

class NewSnippetWindowController;

// What the new-snippet window asks of the main controller: its two buttons.
// Escape and closing the window count as Cancel.
class NewSnippetWindowControllerDelegate {
 public:
  virtual ~NewSnippetWindowControllerDelegate() = default;
  virtual void createNewSnippet(NewSnippetWindowController* sender) = 0;
  virtual void cancelNewSnippet(NewSnippetWindowController* sender) = 0;
};
