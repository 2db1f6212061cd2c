// A screen reader's reading of the client's windows, from another process as
// a screen reader reads them: each window's accessible object
// (AccessibleObjectFromWindow, OBJID_CLIENT), its role, name, selection and
// description, and for a page tab list each tab the same. Written to a file
// in code page 932, one line per object:
//   accessible_reader.exe OUTPUT-FILE WINDOW-HANDLE...
#include <windows.h>
//
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Narrow(BSTR text) {
  char bytes[512] = {};
  if (text != nullptr)
    ::WideCharToMultiByte(932, 0, text, -1, bytes, sizeof bytes - 1, nullptr, nullptr);
  ::SysFreeString(text);
  return bytes;
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
  std::string line = number == ROLE_SYSTEM_PAGETABLIST ? "page tab list"
                     : number == ROLE_SYSTEM_PAGETAB   ? "page tab"
                                                       : "role " + std::to_string(number);
  line += " \"" + Narrow(name) + "\"";
  if (state.vt == VT_I4 && (state.lVal & STATE_SYSTEM_SELECTED) != 0) line += " selected";
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
    if (role == ROLE_SYSTEM_PAGETABLIST && SUCCEEDED(object->get_accChildCount(&count))) {
      for (LONG child = 1; child <= count; ++child)
        std::fprintf(out, "  %s\n", Read(object, child).c_str());
    }
    object->Release();
  }
  std::fclose(out);
  ::CoUninitialize();
  return 0;
}
