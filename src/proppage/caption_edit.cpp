#include "proppage/caption_edit.h"

#include "ole/module.h"

namespace cardel::proppage {
namespace {

constexpr wchar_t kBoxClass[] = L"VelmarCardelCaptionBox";
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                             ES_WANTRETURN;

void FocusWholeText(HWND edit) noexcept {
  if (!edit) return;
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SetFocus(edit);
}

// Focus that lands on the box (tabbing, a click beside the editor) belongs to the editor.
LRESULT CALLBACK BoxProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SETFOCUS:
      FocusWholeText(GetWindow(window, GW_CHILD));
      return 0;
    case WM_SETFONT:
      SetWindowLongPtrW(window, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
      return 0;
    case WM_GETFONT:
      return GetWindowLongPtrW(window, GWLP_USERDATA);
    default:
      return DefWindowProcW(window, msg, wParam, lParam);
  }
}

bool RegisterBoxClass() noexcept {
  WNDCLASSEXW wc{sizeof(wc)};
  if (GetClassInfoExW(ole::ModuleInstance(), kBoxClass, &wc)) return true;
  wc = WNDCLASSEXW{sizeof(wc)};
  wc.lpfnWndProc = BoxProc;
  wc.hInstance = ole::ModuleInstance();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kBoxClass;
  return RegisterClassExW(&wc) != 0;
}

}  // namespace

HRESULT CaptionEditor::Create(HWND page, const RECT& rect, int id, HFONT font) noexcept {
  if (!RegisterBoxClass()) return HRESULT_FROM_WIN32(GetLastError());
  box_.reset(CreateWindowExW(0, kBoxClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN, rect.left,
                             rect.top, rect.right - rect.left, rect.bottom - rect.top, page,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ole::ModuleInstance(), nullptr));
  if (!box_) return HRESULT_FROM_WIN32(GetLastError());
  SendMessageW(box_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  RECT inner;
  GetClientRect(box_.get(), &inner);
  edit_.reset(CreateWindowExW(WS_EX_STATICEDGE, L"Edit", L"", kEditStyle, 0, 0, inner.right, inner.bottom, box_.get(),
                              nullptr, ole::ModuleInstance(), nullptr));
  if (!edit_) return HRESULT_FROM_WIN32(GetLastError());
  SendMessageW(edit_.get(), WM_SETFONT, SendMessageW(box_.get(), WM_GETFONT, 0, 0), FALSE);
  return S_OK;
}

std::wstring CaptionEditor::Text() const {
  if (!edit_) return {};
  const auto length = static_cast<int>(SendMessageW(edit_.get(), WM_GETTEXTLENGTH, 0, 0));
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto copied = static_cast<size_t>(
      SendMessageW(edit_.get(), WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(copied);
  return text;
}

void CaptionEditor::SetText(const std::wstring& text) noexcept {
  if (edit_) SendMessageW(edit_.get(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void CaptionEditor::SelectAllAndFocus() noexcept { FocusWholeText(edit_.get()); }

}  // namespace cardel::proppage
