#include "picture/span_stream.h"

#include <gtest/gtest.h>

#include <vector>

namespace cardel {
namespace {

using Microsoft::WRL::ComPtr;

LARGE_INTEGER Offset(int64_t v) {
  LARGE_INTEGER l;
  l.QuadPart = v;
  return l;
}

TEST(SpanStreamTest, ReadsSeeksAndReportsItsSize) {
  const std::vector<uint8_t> bytes{1, 2, 3, 4, 5, 6, 7};
  ComPtr<IStream> stream = MakeSpanStream(bytes);
  ASSERT_TRUE(stream);
  uint8_t got[4]{};
  ULONG read = 0;
  EXPECT_EQ(stream->Read(got, 3, &read), S_OK);
  EXPECT_EQ(read, 3u);
  EXPECT_EQ(got[2], 3);

  ULARGE_INTEGER at{};
  ASSERT_EQ(stream->Seek(Offset(-2), STREAM_SEEK_END, &at), S_OK);
  EXPECT_EQ(at.QuadPart, 5u);
  EXPECT_EQ(stream->Read(got, 4, &read), S_FALSE);
  EXPECT_EQ(read, 2u);
  EXPECT_EQ(got[0], 6);
  EXPECT_EQ(got[1], 7);
  EXPECT_EQ(stream->Read(got, 4, &read), S_FALSE);
  EXPECT_EQ(read, 0u);

  STATSTG stat{};
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, bytes.size());
  EXPECT_EQ(stat.pwcsName, nullptr);
}

TEST(SpanStreamTest, PresentsTheOwnersMemoryRatherThanACopy) {
  std::vector<uint8_t> bytes{10, 20, 30};
  ComPtr<IStream> stream = MakeSpanStream(bytes);
  bytes[1] = 99;
  uint8_t got[3]{};
  ULONG read = 0;
  stream->Read(got, 3, &read);
  EXPECT_EQ(got[1], 99);
}

TEST(SpanStreamTest, RefusesToChangeTheBytes) {
  std::vector<uint8_t> bytes{1, 2, 3};
  ComPtr<IStream> stream = MakeSpanStream(bytes);
  const uint8_t other[2]{8, 9};
  ULONG written = 7;
  EXPECT_EQ(stream->Write(other, 2, &written), STG_E_ACCESSDENIED);
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(stream->SetSize(ULARGE_INTEGER{}), STG_E_ACCESSDENIED);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3}));
}

}  // namespace
}  // namespace cardel
