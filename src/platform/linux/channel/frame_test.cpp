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
  EXPECT_EQ(AnnouncedLength("\x91\x01\0\0\x00\x00\x00\x20"s), 0x20000000u);
}

// Each row: the bytes arrived, and the frame decoded ("number data size"), or "" for none yet.
TEST(FrameTest, GivenBytesAsTheyArriveWeShouldDecodeOnlyWholeFrames) {
  const std::string job = EncodeFrame(401, "abc");
  const std::string large(70000, 'x');
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {job.substr(0, 7), ""},
      {job.substr(0, 10), ""},
      {job, "401 abc 11"},
      {job + EncodeFrame(402, "d"), "401 abc 11"},
      {EncodeFrame(-2147480001, large), "-2147480001 " + large + " 70008"},
      {EncodeFrame(7, ""), "7  8"}};
  for (const auto& [bytes, decoded] : cases) {
    const std::optional<Frame> frame = DecodeFrame(bytes);
    EXPECT_EQ(frame ? std::to_string(frame->message_number) + " " + std::string(frame->data) + " " +
                          std::to_string(frame->size)
                    : "",
              decoded)
        << bytes.size();
  }
}

}  // namespace
}  // namespace harvelo::channel
