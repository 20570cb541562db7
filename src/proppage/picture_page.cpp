#include "proppage/picture_page.h"

#include <olectl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "common/automation_handles.h"
#include "common/variant.h"
#include "ole/errors.h"
#include "ole/module.h"
#include "picture/file_bytes.h"
#include "proppage/info_line.h"
#include "proppage/page_layout.h"

namespace cardel::proppage {
namespace {

constexpr wchar_t kPageClass[] = L"VelmarCardelPicturePage";

UniqueFont MakeFont(int hundredths_of_points, int dpi) noexcept {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(hundredths_of_points, dpi, 7200);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  wcscpy_s(lf.lfFaceName, L"MS Sans Serif");
  return UniqueFont(CreateFontIndirectW(&lf));
}

bool RegisterPageClass(WNDPROC proc) noexcept {
  WNDCLASSEXW wc{sizeof(wc)};
  if (GetClassInfoExW(ole::ModuleInstance(), kPageClass, &wc)) return true;
  wc = WNDCLASSEXW{sizeof(wc)};
  wc.lpfnWndProc = proc;
  wc.hInstance = ole::ModuleInstance();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kPageClass;
  return RegisterClassExW(&wc) != 0;
}

int ScreenDpi() noexcept {
  WindowDc screen(nullptr);
  return screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
}

UniqueSafeArray ByteArray(const std::vector<uint8_t>& bytes) noexcept {
  UniqueSafeArray array(SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size())));
  if (!array || bytes.empty()) return array;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array.get(), &data))) return {};
  std::copy(bytes.begin(), bytes.end(), static_cast<uint8_t*>(data));
  SafeArrayUnaccessData(array.get());
  return array;
}

HRESULT CopyPicture(_ucCardel* from, _ucCardel* to) noexcept {
  UniqueSafeArray bytes;
  HRESULT hr = from->PictureGetStream(bytes.put());
  if (FAILED(hr)) return hr;
  SAFEARRAY* array = bytes.get();
  VARIANT_BOOL loaded = VARIANT_FALSE;
  return to->PictureFromStream(&array, &loaded);
}

HRESULT DeletePicture(_ucCardel* box) noexcept {
  Variant result;
  return box->PictureDelete(result.get());
}

bool HasPicture(_ucCardel* box) noexcept {
  VARIANT_BOOL exists = VARIANT_FALSE;
  return SUCCEEDED(box->get_PictureExist(&exists)) && exists;
}

HRESULT PictureSize(_ucCardel* box, size_t* size) noexcept {
  UniqueSafeArray bytes;
  HRESULT hr = box->PictureGetStream(bytes.put());
  if (FAILED(hr)) return hr;
  LONG upper = -1;
  if (bytes && SafeArrayGetDim(bytes.get()) == 1) SafeArrayGetUBound(bytes.get(), 1, &upper);
  *size = static_cast<size_t>(upper + 1);
  return S_OK;
}

}  // namespace

PicturePage::PicturePage(ole::CreateFunction create_preview, FileChooser choose,
                         std::function<void()> mark_dirty) noexcept
    : choose_(std::move(choose)), markDirty_(std::move(mark_dirty)), preview_(create_preview) {}

HRESULT PicturePage::Create(HWND parent, const RECT& rect) noexcept {
  if (!RegisterPageClass(Proc)) return HRESULT_FROM_WIN32(GetLastError());
  dpi_ = ScreenDpi();
  font_ = MakeFont(825, dpi_);
  buttonFont_ = MakeFont(975, dpi_);
  window_.reset(CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_CLIPCHILDREN, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                ole::ModuleInstance(), this));
  if (!window_) return HRESULT_FROM_WIN32(GetLastError());
  HRESULT hr = CreateChildren();
  if (SUCCEEDED(hr)) hr = preview_.Start(window_.get(), ToPixels(kPreviewTwips, dpi_));
  if (SUCCEEDED(hr)) hr = ConfigurePreview();
  if (FAILED(hr)) return hr;
  caption_.SelectAllAndFocus();
  return S_OK;
}

HRESULT PicturePage::CreateChildren() noexcept {
  info_ = AddChild(L"Static", L"", SS_LEFT | SS_NOPREFIX, ToPixels(kInfoTwips, dpi_), kInfoId, font_.get());
  delete_ = AddChild(L"Button", L"Eliminar", BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, ToPixels(kDeleteTwips, dpi_),
                     kDeleteId, font_.get());
  const HWND browse = AddChild(L"Button", L"Buscar", BS_PUSHBUTTON | WS_TABSTOP, ToPixels(kBrowseTwips, dpi_),
                               kBrowseId, font_.get());
  const HWND label = AddChild(L"Static", L"Caption", SS_LEFT, ToPixels(kCaptionLabelTwips, dpi_), kCaptionLabelId,
                              font_.get());
  if (!info_ || !delete_ || !browse || !label) return HRESULT_FROM_WIN32(GetLastError());
  HRESULT hr = caption_.Create(window_.get(), ToPixels(kCaptionBoxTwips, dpi_), kCaptionBoxId, font_.get());
  if (FAILED(hr)) return hr;
  if (!AddChild(L"Button", L">", BS_PUSHBUTTON | WS_TABSTOP, ToPixels(kChangeCaptionTwips, dpi_), kChangeCaptionId,
                buttonFont_.get()))
    return HRESULT_FROM_WIN32(GetLastError());
  return S_OK;
}

HWND PicturePage::AddChild(const wchar_t* kind, const wchar_t* text, DWORD style, const RECT& rect, int id,
                           HFONT font) noexcept {
  HWND child = CreateWindowExW(0, kind, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, window_.get(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ole::ModuleInstance(), nullptr);
  if (child) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

// The values the preview was saved with on the page, then the page's own overrides, in that order.
HRESULT PicturePage::ConfigurePreview() noexcept {
  _ucCardel* box = preview_.box();
  const RECT area = ToPixels(kPreviewTwips, dpi_);
  UniqueBstr empty(SysAllocString(L""));
  BSTR caption = empty.get();
  HRESULT hr;
  if (FAILED(hr = box->put_FrontColor(kButtonFaceColour)) || FAILED(hr = box->put_BackShadow(VARIANT_FALSE)) ||
      FAILED(hr = box->put_ShadowColorOpacity(0)) || FAILED(hr = box->put_CallOutAlign(coFirstCorner)) ||
      FAILED(hr = box->put_CallOutWidth(0)) || FAILED(hr = box->put_CallOutLen(0)) ||
      FAILED(hr = box->put_IconForeColor(0)) || FAILED(hr = box->put_IconOpacity(0)) ||
      FAILED(hr = box->put_BackColorOpacity(0)) || FAILED(hr = box->put_Border(VARIANT_TRUE)) ||
      FAILED(hr = box->put_BorderColor(kActiveBorderColour)) || FAILED(hr = box->put_BorderWidth(1)) ||
      FAILED(hr = box->put_Caption(&caption)) || FAILED(hr = box->put_PictureAlignmentH(pCenter)) ||
      FAILED(hr = box->put_PictureAlignmentV(pMiddle)) || FAILED(hr = box->put_PictureSetWidth(area.right - area.left)))
    return hr;
  return box->put_PictureSetHeight(area.bottom - area.top);
}

HRESULT PicturePage::Load(_ucCardel* selected) {
  UniqueBstr caption;
  HRESULT hr = selected->get_Caption(caption.put());
  if (FAILED(hr)) return hr;
  caption_.SetText(std::wstring(caption.get() ? caption.get() : L"", SysStringLen(caption.get())));
  _ucCardel* preview = preview_.box();
  if (HasPicture(selected)) {
    if (FAILED(hr = CopyPicture(selected, preview))) return hr;
    EnableWindow(delete_, TRUE);
    size_t size = 0;
    LONG width = 0, height = 0;
    if (FAILED(hr = PictureSize(selected, &size)) || FAILED(hr = selected->get_PictureGetWidth(&width)) ||
        FAILED(hr = selected->get_PictureGetHeight(&height)))
      return hr;
    SetWindowTextW(info_, FormatInfoLine(size, width, height).c_str());
  } else {
    SetWindowTextW(info_, L"");
    if (FAILED(hr = DeletePicture(preview))) return hr;
  }
  caption_.SelectAllAndFocus();
  return S_OK;
}

HRESULT PicturePage::Apply(_ucCardel* selected) {
  const std::wstring edited = caption_.Text();
  UniqueBstr text(SysAllocStringLen(edited.data(), static_cast<UINT>(edited.size())));
  if (!text) return E_OUTOFMEMORY;
  BSTR caption = text.get();
  HRESULT hr = selected->put_Caption(&caption);
  if (FAILED(hr)) return hr;
  _ucCardel* preview = preview_.box();
  return HasPicture(preview) ? CopyPicture(preview, selected) : DeletePicture(selected);
}

HRESULT PicturePage::Browse() {
  const auto path = choose_(window_.get());
  if (!path) return S_FALSE;
  markDirty_();
  FileBytes file = ReadFileBytes(*path);
  if (file.error || file.bytes.empty()) return S_FALSE;
  UniqueSafeArray bytes = ByteArray(file.bytes);
  if (!bytes) return E_OUTOFMEMORY;
  SAFEARRAY* array = bytes.get();
  VARIANT_BOOL loaded = VARIANT_FALSE;
  _ucCardel* preview = preview_.box();
  HRESULT hr = preview->PictureFromStream(&array, &loaded);
  if (FAILED(hr)) return hr;
  if (HasPicture(preview)) EnableWindow(delete_, TRUE);
  return S_OK;
}

HRESULT PicturePage::Delete() noexcept {
  HRESULT hr = DeletePicture(preview_.box());
  if (FAILED(hr)) return hr;
  EnableWindow(delete_, FALSE);
  markDirty_();
  return S_OK;
}

void PicturePage::ChangeCaption() noexcept {
  markDirty_();
  caption_.SelectAllAndFocus();
}

LRESULT CALLBACK PicturePage::Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* page = reinterpret_cast<PicturePage*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (msg == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  if (!page || msg == WM_NCDESTROY) return DefWindowProcW(window, msg, wParam, lParam);
  return page->Handle(window, msg, wParam, lParam);
}

LRESULT PicturePage::Handle(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) break;
      switch (LOWORD(wParam)) {
        case kDeleteId:
          Delete();
          return 0;
        case kBrowseId:
          // A picture that cannot be read for want of memory is left unchosen.
          ole::Contained([&] { Browse(); });
          return 0;
        case kChangeCaptionId:
          ChangeCaption();
          return 0;
        default:
          break;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      PaintRules(dc);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintRules(reinterpret_cast<HDC>(wParam));
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void PicturePage::PaintRules(HDC dc) const noexcept {
  const int left = TwipsToPixels(kRuleLeftTwips, dpi_);
  const int right = TwipsToPixels(kRuleRightTwips, dpi_);
  for (const auto& [top, colour] : {std::pair{kRuleDarkTopTwips, kRuleDarkColour},
                                    std::pair{kRuleLightTopTwips, kRuleLightColour}}) {
    COLORREF rgb = 0;
    if (FAILED(OleTranslateColor(colour, nullptr, &rgb))) continue;
    UniqueBrush brush(CreateSolidBrush(rgb));
    const int y = TwipsToPixels(top, dpi_);
    RECT line{left, y, right, y + 1};
    if (brush) FillRect(dc, &line, brush.get());
  }
}

}  // namespace cardel::proppage
