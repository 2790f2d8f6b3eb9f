#pragma once

// The window's actions, one table row each: menus, the button bar and the
// list's context menu are all built from it.

#include <QKeySequence>
#include <vector>

enum TActionId : int {
  act_AddFiles,
  act_AddFolder,
  act_DeleteFiles,
  act_Refresh,
  act_ClearList,
  act_SelectAll,
  act_Unselect_all,
  act_ID3_v1,
  act_ID3_v2,
  act_BuildReport,
  act_Exit,
  act_Content,
  act_Homepage,
  act_SendSugg,
  act_About,
  kActionCount,
  kSeparator = -1  // in a menu list: a separator line
};

struct TActionSpec {
  TActionId Id;
  const char* Name;
  const char* Caption;
  const char* Hint;  // status tip and tool tip; may be empty
  QKeySequence Shortcut;
  const char* Icon;
  int Tag;  // the help actions' number
};

const std::vector<TActionSpec>& ActionTable();

// The entries of the File menu, which the button bar and the list's context
// menu show too, and of the Help menu.
const std::vector<int>& FileMenuEntries();
const std::vector<int>& HelpMenuEntries();
