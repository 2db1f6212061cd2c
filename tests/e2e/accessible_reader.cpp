// A screen reader's reading of the client's windows, from another process as
// a screen reader reads them: each window's accessible object
// (AccessibleObjectFromWindow, OBJID_CLIENT), its role, name, selection and
// description, and for a page tab list each tab the same. Written to a file
// in code page 932, one line per object:
//   accessible_reader.exe OUTPUT-FILE WINDOW-HANDLE-IN-HEX...
#include <windows.h>
//
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Narrow(BSTR text) {
  if (text == nullptr) return "";
  char bytes[512] = {};
  ::WideCharToMultiByte(932, 0, text, -1, bytes, sizeof bytes - 1, nullptr, nullptr);
  ::SysFreeString(text);
  return bytes;
}

std::string RoleName(const VARIANT& role) {
  if (role.vt != VT_I4) return "no role";
  if (role.lVal == ROLE_SYSTEM_PAGETABLIST) return "page tab list";
  if (role.lVal == ROLE_SYSTEM_PAGETAB) return "page tab";
  return "role " + std::to_string(role.lVal);
}

// "page tab "#dev" selected (news)"
std::string Read(IAccessible* object, LONG child) {
  VARIANT id;
  id.vt = VT_I4;
  id.lVal = child;
  VARIANT role, state;
  ::VariantInit(&role);
  ::VariantInit(&state);
  BSTR name = nullptr, description = nullptr;
  object->get_accRole(id, &role);
  object->get_accState(id, &state);
  object->get_accName(id, &name);
  object->get_accDescription(id, &description);
  std::string line = RoleName(role) + " \"" + Narrow(name) + "\"";
  if (state.vt == VT_I4 && (state.lVal & STATE_SYSTEM_SELECTED) != 0) line += " selected";
  const std::string mark = Narrow(description);
  if (!mark.empty()) line += " (" + mark + ")";
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  ::CoInitialize(nullptr);
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) return 1;
  for (int i = 2; i < argc; ++i) {
    HWND window = reinterpret_cast<HWND>(std::strtoul(argv[i], nullptr, 16));
    IAccessible* object = nullptr;
    const HRESULT got = ::AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                                     reinterpret_cast<void**>(&object));
    if (FAILED(got) || object == nullptr) {
      std::fprintf(out, "no object (%08lx)\n", static_cast<unsigned long>(got));
      continue;
    }
    std::fprintf(out, "%s\n", Read(object, CHILDID_SELF).c_str());
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role;
    ::VariantInit(&role);
    LONG count = 0;
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4 &&
        role.lVal == ROLE_SYSTEM_PAGETABLIST && SUCCEEDED(object->get_accChildCount(&count))) {
      for (LONG child = 1; child <= count; ++child)
        std::fprintf(out, "  %s\n", Read(object, child).c_str());
    }
    object->Release();
  }
  std::fclose(out);
  ::CoUninitialize();
  return 0;
}
