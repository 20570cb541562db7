#include "input/data_reading.h"

#include <cstring>

#include "input/ansi_text.h"
#include "input/drop_files.h"

namespace cardel::input {
namespace {

FORMATETC GlobalFormat(CLIPFORMAT format) noexcept {
  return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

class Medium {
 public:
  Medium() noexcept = default;
  Medium(const Medium&) = delete;
  Medium& operator=(const Medium&) = delete;
  ~Medium() { ReleaseStgMedium(&medium_); }
  STGMEDIUM* get() noexcept { return &medium_; }

 private:
  STGMEDIUM medium_{};
};

class LockedGlobal {
 public:
  explicit LockedGlobal(HGLOBAL memory) noexcept : memory_(memory), data_(::GlobalLock(memory)) {}
  LockedGlobal(const LockedGlobal&) = delete;
  LockedGlobal& operator=(const LockedGlobal&) = delete;
  ~LockedGlobal() {
    if (data_) GlobalUnlock(memory_);
  }
  const uint8_t* data() const noexcept { return static_cast<const uint8_t*>(data_); }

 private:
  HGLOBAL memory_;
  void* data_;
};

template <class Char>
std::basic_string<Char> UpToZero(const std::vector<uint8_t>& bytes) {
  std::basic_string<Char> text(bytes.size() / sizeof(Char), Char{});
  if (!text.empty()) std::memcpy(text.data(), bytes.data(), text.size() * sizeof(Char));
  if (const auto end = text.find(Char{}); end != std::basic_string<Char>::npos) text.resize(end);
  return text;
}

}  // namespace

bool OffersFormat(IDataObject* data, CLIPFORMAT format) noexcept {
  FORMATETC wanted = GlobalFormat(format);
  return data && data->QueryGetData(&wanted) == S_OK;
}

std::optional<std::vector<uint8_t>> ReadFormatBytes(IDataObject* data, CLIPFORMAT format) {
  if (!data) return std::nullopt;
  FORMATETC wanted = GlobalFormat(format);
  Medium medium;
  if (FAILED(data->GetData(&wanted, medium.get())) || medium.get()->tymed != TYMED_HGLOBAL) return std::nullopt;
  HGLOBAL memory = medium.get()->hGlobal;
  LockedGlobal locked(memory);
  if (!locked.data()) return std::nullopt;
  return std::vector<uint8_t>(locked.data(), locked.data() + GlobalSize(memory));
}

std::optional<std::wstring> ReadText(IDataObject* data) {
  if (auto unicode = ReadFormatBytes(data, CF_UNICODETEXT)) return UpToZero<wchar_t>(*unicode);
  auto ansiBytes = ReadFormatBytes(data, CF_TEXT);
  if (!ansiBytes) return std::nullopt;
  return AnsiToWide(UpToZero<char>(*ansiBytes));
}

std::vector<std::wstring> ReadFileNames(IDataObject* data) {
  auto block = ReadFormatBytes(data, CF_HDROP);
  return block ? ParseDropFiles(*block) : std::vector<std::wstring>{};
}

}  // namespace cardel::input
