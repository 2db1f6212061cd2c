// The channel page's input line keys: Up and Down walk the input history,
// Tab completes a nickname from the user list (on a private page, the
// person's). See channel_page.h.
#include <cstdio>
#include <cstring>

#include "ui/core/edit_offsets.h"
#include "ui/pages/channel_page.h"

namespace {

// The user list's nicknames, row by row in the list's order.
class CUserListNames : public INameList {
 public:
  explicit CUserListNames(const CListCtrl& list) : m_list(list) {}
  int Count() const override { return m_list.GetItemCount(); }
  const char* Name(int row, char* buffer, std::size_t size) const override {
    // A text as long as the buffer would come back unterminated.
    m_list.GetItemText(row, 0, buffer, static_cast<int>(size));
    buffer[size - 1] = '\0';
    return buffer;
  }

 private:
  const CListCtrl& m_list;
};

// A private page's one name: its person's.
class CPersonName : public INameList {
 public:
  explicit CPersonName(const char* nick) : m_nick(nick) {}
  int Count() const override { return 1; }
  const char* Name(int, char* buffer, std::size_t size) const override {
    std::snprintf(buffer, size, "%s", m_nick);
    return buffer;
  }

 private:
  const char* m_nick;
};

std::size_t LengthInUnits(HWND input) {
  return static_cast<std::size_t>(::SendMessageA(input, EM_LINELENGTH, 0, 0));
}

}  // namespace

void CChannelPage::RecallInputLine(bool older) {
  HWND input = ::GetDlgItem(m_hWnd, IDC_CHANNEL_INPUT);
  char typed[CInputHistory::kLineSize] = {};
  ::GetWindowTextA(input, typed, sizeof(typed));
  const char* line = older ? m_history.Older(typed) : m_history.Newer();
  if (line == nullptr) return;
  ::SetWindowTextA(input, line);
  const WPARAM end = LengthInUnits(input);
  ::SendMessageA(input, EM_SETSEL, end, static_cast<LPARAM>(end));
}

BOOL CChannelPage::CompleteNickname() {
  HWND input = ::GetDlgItem(m_hWnd, IDC_CHANNEL_INPUT);
  char line[CNickCompletion::kLineSize] = {};
  ::GetWindowTextA(input, line, sizeof(line));
  DWORD caret = 0;
  ::SendMessageA(input, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  char completed[CNickCompletion::kLineSize];
  std::size_t completedCaret = 0;
  const CUserListNames users(m_userList);
  const CPersonName person(m_channelName);
  const INameList& names = m_kind == PageKind::kPrivate ? static_cast<const INameList&>(person)
                                                        : static_cast<const INameList&>(users);
  if (!m_completion.Complete(line, ByteOffsetOfPosition(line, LengthInUnits(input), caret), names,
                             completed, &completedCaret)) {
    return FALSE;
  }
  ::SetWindowTextA(input, completed);
  const WPARAM position = PositionOfByteOffset(completed, LengthInUnits(input), completedCaret);
  ::SendMessageA(input, EM_SETSEL, position, static_cast<LPARAM>(position));
  return TRUE;
}
