// A list view control of another process, read and driven from this one.
// Its messages carry pointers, so the item record and the text buffer live
// in memory allocated inside the control's process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CRemoteListView {
 public:
  explicit CRemoteListView(HWND list);
  ~CRemoteListView();
  CRemoteListView(const CRemoteListView&) = delete;
  CRemoteListView& operator=(const CRemoteListView&) = delete;

  // False when the control's process could not be opened or given memory.
  bool IsUsable() const { return m_memory != nullptr; }
  // The first column of every row, top to bottom.
  std::vector<std::string> FirstColumn();
  // Selects the row (and only it), as a click on it would.
  bool Select(int row);

 private:
  HWND m_list;
  HANDLE m_process = nullptr;
  char* m_memory = nullptr;  // in the list's process: an LVITEMA, then the text buffer
};
