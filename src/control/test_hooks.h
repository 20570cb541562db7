#pragma once
// The door the library's own tests use, reached only by asking a control for this interface by an IID
// no type library names: memory that runs out on the calling thread, the process's budget for kept
// layers, and counts of the work the library did. Nothing here reads state another component owns.
#include <windows.h>
#include <unknwn.h>

namespace cardel {

// {680b8c2f-ca14-4a83-96ff-f57c0076c65b}
inline constexpr IID IID_ICardelTestHooks = {
    0x680b8c2f, 0xca14, 0x4a83, {0x96, 0xff, 0xf5, 0x7c, 0x00, 0x76, 0xc6, 0x5b}};

struct ICardelTestHooks : IUnknown {
  // While on, every allocation of 64 KiB or more the library makes on the calling thread fails.
  // E_ACCESSDENIED while another thread has it on.
  virtual HRESULT STDMETHODCALLTYPE RefuseLargeAllocations(BOOL refuse) noexcept = 0;
  // Decodes of a picture's bytes in the process so far.
  virtual HRESULT STDMETHODCALLTYPE CountPictureDecodes(LONG* decodes) noexcept = 0;
  // While on, this control's paints at its own size draw afresh and leave its kept layers as they are.
  virtual HRESULT STDMETHODCALLTYPE PaintAfresh(BOOL afresh) noexcept = 0;
  // Builds of this control's kept layer (a RetainedLayer) so far.
  virtual HRESULT STDMETHODCALLTYPE CountLayerBuilds(LONG layer, LONG* builds) noexcept = 0;
  // Replaces the process's budget for kept layers, in bytes; a negative value restores the shipped one.
  virtual HRESULT STDMETHODCALLTYPE SetRetainedBudget(LONGLONG bytes) noexcept = 0;
  // What the process's kept layers have claimed of the budget, in bytes.
  virtual HRESULT STDMETHODCALLTYPE RetainedBytes(LONGLONG* bytes) noexcept = 0;
};

}  // namespace cardel
