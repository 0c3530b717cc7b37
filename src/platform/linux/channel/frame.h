#ifndef HARVELO_PLATFORM_LINUX_CHANNEL_FRAME_H_
#define HARVELO_PLATFORM_LINUX_CHANNEL_FRAME_H_

// The bytes of the message channel (docs/message-channel.md): a frame is the message
// number and the data length, each 32 bits little-endian, then the data in UTF-8. The
// receiver answers every frame with one byte.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace harvelo::channel {

inline constexpr std::size_t kFrameHeaderSize = 8;
// The first frame of every connection: the client introduces itself by name.
inline constexpr std::int32_t kHelloMessageNumber = 0;
inline constexpr char kAccepted = 0x06;
inline constexpr char kRefused = 0x15;
// The largest data a receiver takes; a longer frame ends the connection.
inline constexpr std::uint32_t kMaxFrameData = 256u << 20;

std::string EncodeFrame(std::int32_t message_number, std::string_view data);

struct Frame {
  std::int32_t message_number;
  std::string_view data;
  std::size_t size;  // header and data: the bytes this frame takes from the input
};

// The first frame of `bytes` when it has arrived whole; nothing while it is incomplete.
std::optional<Frame> DecodeFrame(std::string_view bytes);

// The data length announced by a frame header at the start of `bytes` (>= 8 bytes).
std::uint32_t AnnouncedLength(std::string_view bytes);

}  // namespace harvelo::channel

#endif  // HARVELO_PLATFORM_LINUX_CHANNEL_FRAME_H_
