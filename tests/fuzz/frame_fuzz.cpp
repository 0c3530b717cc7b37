// The channel's frame reader on any bytes: a frame it reads lies within the bytes, is no
// longer than the largest data taken, and encodes back to the bytes it came from.

#include "fuzz_input.h"
#include "platform/linux/channel/frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace harvelo::channel;
  using harvelo::fuzz::Require;
  const std::string_view bytes = harvelo::fuzz::Bytes(data, size);
  const auto frame = DecodeFrame(bytes);
  if (!frame) return 0;
  Require(frame->size == kFrameHeaderSize + frame->data.size(), "a frame is header and data");
  Require(frame->size <= bytes.size(), "a frame lies within what arrived");
  Require(AnnouncedLength(bytes) == frame->data.size(), "a frame's data is as announced");
  Require(EncodeFrame(frame->message_number, frame->data) == bytes.substr(0, frame->size),
          "a frame encodes back to its bytes");
  return 0;
}
