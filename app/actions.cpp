#include "app/actions.h"

const std::vector<TActionSpec>& ActionTable() {
  static const std::vector<TActionSpec> table = {
      {act_AddFiles, "act_AddFiles", "Add music files", "Add music files to tracklist", QKeySequence(Qt::CTRL | Qt::Key_O), "add-files", 0},
      {act_AddFolder, "act_AddFolder", "Add folder...", "Add every music file of a folder and its subfolders", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), "add-folder", 0},
      {act_DeleteFiles, "act_DeleteFiles", "Delete files from Tracklist", "Delete music file from tracklist", {}, "delete", 0},
      {act_Refresh, "act_Refresh", "Refresh Tracklist", "", QKeySequence(Qt::Key_F5), "refresh", 0},
      {act_ClearList, "act_ClearList", "Clear Tracklist", "Clear tracklist", QKeySequence(Qt::CTRL | Qt::Key_W), "clear", 0},
      {act_SelectAll, "act_SelectAll", "Select all files", "Select all files", QKeySequence(Qt::CTRL | Qt::Key_A), "select-all", 0},
      {act_Unselect_all, "act_Unselect_all", "Unselect all files", "Unselect all files", {}, "select-none", 0},
      {act_ID3_v1, "tbv1", "ID3v1", "Default ID3v1", {}, "tag-v1", 0},
      {act_ID3_v2, "tbv2", "ID3v2", "Default ID3v2", {}, "tag-v2", 0},
      {act_BuildReport, "act_BuildReport", "Build HTML Report", "Build HTML report", {}, "report", 0},
      {act_Exit, "act_Exit", "Exit", "", {}, "exit", 0},
      {act_Content, "act_Content", "Contents", "Show content", {}, "help", 1},
      {act_Homepage, "act_Homepage", "Open Homepage", "Visit homepage", {}, "homepage", 2},
      {act_SendSugg, "act_SendSugg", "Send a suggestion", "", {}, "mail", 3},
      {act_About, "act_About", "&About...", "", {}, "about", 9},
  };
  return table;
}

const std::vector<int>& FileMenuEntries() {
  static const std::vector<int> entries = {
      act_AddFiles,  act_AddFolder,    act_DeleteFiles, act_Refresh, act_ClearList,   kSeparator,
      act_SelectAll, act_Unselect_all, kSeparator,      act_ID3_v1,  act_ID3_v2,      kSeparator,
      act_BuildReport, kSeparator,     act_Exit,
  };
  return entries;
}

const std::vector<int>& HelpMenuEntries() {
  static const std::vector<int> entries = {act_Content, act_SendSugg, act_Homepage, kSeparator, act_About};
  return entries;
}
