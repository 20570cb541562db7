// The room a transfer reserves for its bytes: it follows what arrived, not what was announced, and
// growing it copies each byte a bounded number of times.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "picture/url_download.h"

namespace cardel {
namespace {

constexpr size_t kPiece = 64 * 1024;
constexpr size_t kMegabyte = 1 << 20;

// Grows as a transfer of total bytes read piece by piece does; the bytes copied at each new room.
struct Growth {
  size_t copied = 0;
  size_t rooms = 0;
  size_t largestRoom = 0;
};
Growth Grow(size_t total, uint64_t announced, size_t limit = kPictureTransferLimit) {
  Growth growth;
  size_t room = 0;
  for (size_t used = 0; used < total; used += kPiece) {
    if (room - used >= kPiece) continue;
    const size_t next = DownloadRoom(used, kPiece, announced, limit);
    EXPECT_GE(next, used + kPiece);
    growth.copied += used;
    ++growth.rooms;
    growth.largestRoom = std::max(growth.largestRoom, next);
    room = next;
  }
  return growth;
}

TEST(DownloadRoomTest, AnAnnouncementIsBelievedOnlyAsFarAsTheBytesGo) {
  EXPECT_LE(DownloadRoom(32 * 1024, kPiece, 400'000'000, kPictureTransferLimit), 2 * kMegabyte);
  EXPECT_LE(DownloadRoom(8 * kMegabyte, kPiece, 400'000'000, kPictureTransferLimit), 17 * kMegabyte);
  // Within reach, the announced end is where the room stops: the last copy is saved.
  EXPECT_EQ(DownloadRoom(4 * kMegabyte, kPiece, 5 * kMegabyte, kPictureTransferLimit), 5 * kMegabyte + kPiece);
  const Growth announced = Grow(5 * kMegabyte, 5 * kMegabyte);
  EXPECT_EQ(announced.largestRoom, 5 * kMegabyte + kPiece);
  // Unknown, or announced shorter than what came: the room still grows.
  EXPECT_GE(DownloadRoom(3 * kMegabyte, kPiece, 0, kPictureTransferLimit), 6 * kMegabyte);
  EXPECT_GE(DownloadRoom(3 * kMegabyte, kPiece, kMegabyte, kPictureTransferLimit), 6 * kMegabyte);
}

TEST(DownloadRoomTest, GrowingCopiesEachByteABoundedNumberOfTimes) {
  for (const size_t total : {kPiece, 5 * kMegabyte, 94 * kMegabyte, 300 * kMegabyte}) {
    const Growth unknown = Grow(total, 0);
    EXPECT_LE(unknown.copied, 2 * total) << total;
    EXPECT_LE(unknown.rooms, 12u) << total;
    EXPECT_LE(unknown.largestRoom, 2 * total + kMegabyte) << total;
  }
}

TEST(DownloadRoomTest, NeverMoreThanTheLimitAndAPiece) {
  EXPECT_EQ(DownloadRoom(3 * kMegabyte, kPiece, 0, 4 * kMegabyte), 4 * kMegabyte + kPiece);
  EXPECT_EQ(DownloadRoom(4 * kMegabyte, kPiece, 0, 4 * kMegabyte), 4 * kMegabyte + kPiece);
  EXPECT_EQ(DownloadRoom(kPictureTransferLimit - 1, kPiece, 0, kPictureTransferLimit), kPictureTransferLimit + kPiece);
}

}  // namespace
}  // namespace cardel
