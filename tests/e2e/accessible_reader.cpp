// A screen reader's reading of the client's windows, from another process as
// a screen reader reads them: each window's accessible object
// (AccessibleObjectFromWindow, OBJID_CLIENT), its role, name, states and
// description, and for a page tab list or a list each child the same. A name
// is read by its BSTR's own length (SysStringLen), as a reader speaks it, so a
// NUL inside it shows as \0. Written to a file in code page 932, one line per
// object:
//   accessible_reader.exe OUTPUT-FILE WINDOW-HANDLE...
#include <windows.h>
//
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

std::string Narrow(BSTR text) {
  std::string bytes;
  for (UINT i = 0; i < ::SysStringLen(text); ++i) {
    char character[8] = {};
    ::WideCharToMultiByte(932, 0, &text[i], 1, character, sizeof character - 1, nullptr, nullptr);
    bytes += text[i] == L'\0' ? "\\0" : character;
  }
  ::SysFreeString(text);
  return bytes;
}

std::string RoleName(LONG role) {
  static const std::pair<LONG, const char*> kRoles[] = {{ROLE_SYSTEM_PAGETABLIST, "page tab list"},
                                                        {ROLE_SYSTEM_PAGETAB, "page tab"},
                                                        {ROLE_SYSTEM_LIST, "list"},
                                                        {ROLE_SYSTEM_LISTITEM, "list item"},
                                                        {ROLE_SYSTEM_TEXT, "text"},
                                                        {ROLE_SYSTEM_CLIENT, "client"}};
  for (const auto& known : kRoles)
    if (known.first == role) return known.second;
  return "role " + std::to_string(role);
}

// "page tab "#dev" selected (news)"; the role of the object in *role.
std::string Read(IAccessible* object, LONG child, LONG* role = nullptr) {
  VARIANT id, roleId, state;
  id.vt = VT_I4;
  id.lVal = child;
  ::VariantInit(&roleId);
  ::VariantInit(&state);
  BSTR name = nullptr, description = nullptr;
  object->get_accRole(id, &roleId);
  object->get_accState(id, &state);
  object->get_accName(id, &name);
  object->get_accDescription(id, &description);
  const LONG number = roleId.vt == VT_I4 ? roleId.lVal : -1;
  if (role != nullptr) *role = number;
  std::string line = RoleName(number) + " \"" + Narrow(name) + "\"";
  const LONG states = state.vt == VT_I4 ? state.lVal : 0;
  if ((states & STATE_SYSTEM_SELECTED) != 0) line += " selected";
  if ((states & STATE_SYSTEM_FOCUSED) != 0) line += " focused";
  if ((states & STATE_SYSTEM_FOCUSABLE) != 0) line += " focusable";
  const std::string mark = Narrow(description);
  return mark.empty() ? line : line + " (" + mark + ")";
}

}  // namespace

int main(int argc, char** argv) {
  std::FILE* out = argc > 1 ? std::fopen(argv[1], "wb") : nullptr;
  if (out == nullptr) return 1;
  ::CoInitialize(nullptr);
  for (int i = 2; i < argc; ++i) {
    IAccessible* object = nullptr;
    const HRESULT got = ::AccessibleObjectFromWindow(
        reinterpret_cast<HWND>(std::strtoul(argv[i], nullptr, 10)), OBJID_CLIENT,
        __uuidof(IAccessible), reinterpret_cast<void**>(&object));
    if (FAILED(got)) {
      std::fprintf(out, "no object (%08lx)\n", static_cast<unsigned long>(got));
      continue;
    }
    LONG role = 0, count = 0;
    std::fprintf(out, "%s\n", Read(object, CHILDID_SELF, &role).c_str());
    if ((role == ROLE_SYSTEM_PAGETABLIST || role == ROLE_SYSTEM_LIST) &&
        SUCCEEDED(object->get_accChildCount(&count))) {
      for (LONG child = 1; child <= count; ++child)
        std::fprintf(out, "  %s\n", Read(object, child).c_str());
    }
    object->Release();
  }
  std::fclose(out);
  ::CoUninitialize();
  return 0;
}
