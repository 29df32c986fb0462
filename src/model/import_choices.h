#pragma once

namespace ql {

// The import window's remembered choices, kept in the per-user defaults
// store. A missing choice reads as 0 (off).
struct ImportChoices {
  int importType = 0;         // "IMPORTTYPE": 0 Quillet, 1 TextExpander, 2 Windows
  int groupOption = 0;        // "IMPORTGROUPOPTION": 0 skip, 1 add, 2 overwrite
  int snippetOption = 0;      // "IMPORTSNIPPETOPTION": the same for snippets
  bool convertCodes = false;  // "IMPORTCONVERTCODES"

  static ImportChoices load();
  void save() const;
};

}  // namespace ql
