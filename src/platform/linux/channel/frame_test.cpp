#include "platform/linux/channel/frame.h"

#include <gtest/gtest.h>

namespace harvelo::channel {
namespace {

using namespace std::string_literals;

TEST(FrameTest, GivenAJobMessageWeShouldWriteNumberLengthAndDataLittleEndian) {
  // The example of docs/message-channel.md: message 401, "<DataURL>é" (11 bytes in UTF-8).
  EXPECT_EQ(EncodeFrame(401, "<DataURL>\xC3\xA9"),
            "\x91\x01\x00\x00\x0B\x00\x00\x00<DataURL>\xC3\xA9"s);
  EXPECT_EQ(EncodeFrame(0, "my client"), "\0\0\0\0\x09\0\0\0my client"s);
  EXPECT_EQ(EncodeFrame(-2, ""), "\xFE\xFF\xFF\xFF\0\0\0\0"s);
}

struct DecodeCase {
  std::string bytes;
  bool whole;
  std::int32_t number;
  std::string data;
  std::size_t size;
};

TEST(FrameTest, GivenBytesAsTheyArriveWeShouldDecodeOnlyWholeFrames) {
  const std::string job = EncodeFrame(401, "abc");
  const DecodeCase cases[] = {
      {"", false, 0, "", 0},
      {job.substr(0, 7), false, 0, "", 0},
      {job.substr(0, 10), false, 0, "", 0},
      {job, true, 401, "abc", 11},
      {job + EncodeFrame(402, "d"), true, 401, "abc", 11},
      {EncodeFrame(-2147480001, std::string(70000, 'x')), true, -2147480001,
       std::string(70000, 'x'), 70008},
      {EncodeFrame(7, ""), true, 7, "", 8},
  };
  for (const DecodeCase& c : cases) {
    const std::optional<Frame> frame = DecodeFrame(c.bytes);
    ASSERT_EQ(frame.has_value(), c.whole) << c.bytes.size();
    if (!frame) continue;
    EXPECT_EQ(frame->message_number, c.number);
    EXPECT_EQ(frame->data, c.data);
    EXPECT_EQ(frame->size, c.size);
  }
}

TEST(FrameTest, GivenAHeaderWeShouldReadTheAnnouncedLengthBeforeTheDataArrives) {
  EXPECT_EQ(AnnouncedLength("\x91\x01\0\0\x00\x00\x00\x20"s), 0x20000000u);
}

}  // namespace
}  // namespace harvelo::channel
