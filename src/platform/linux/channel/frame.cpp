#include "platform/linux/channel/frame.h"

namespace harvelo::channel {

namespace {

void PutLittleEndian(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

std::uint32_t GetLittleEndian(std::string_view bytes) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[i]);
  return value;
}

}  // namespace

std::string EncodeFrame(std::int32_t message_number, std::string_view data) {
  std::string frame;
  frame.reserve(kFrameHeaderSize + data.size());
  PutLittleEndian(frame, static_cast<std::uint32_t>(message_number));
  PutLittleEndian(frame, static_cast<std::uint32_t>(data.size()));
  frame.append(data);
  return frame;
}

std::uint32_t AnnouncedLength(std::string_view bytes) { return GetLittleEndian(bytes.substr(4)); }

std::optional<Frame> DecodeFrame(std::string_view bytes) {
  if (bytes.size() < kFrameHeaderSize) return std::nullopt;
  const std::uint32_t length = AnnouncedLength(bytes);
  if (bytes.size() - kFrameHeaderSize < length) return std::nullopt;
  return Frame{static_cast<std::int32_t>(GetLittleEndian(bytes)),
               bytes.substr(kFrameHeaderSize, length), kFrameHeaderSize + length};
}

}  // namespace harvelo::channel
