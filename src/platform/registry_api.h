#ifndef HARVELO_PLATFORM_REGISTRY_API_H_
#define HARVELO_PLATFORM_REGISTRY_API_H_

// The narrow-character registry functions, with their result codes and sizes, so that the
// settings code runs its buffer logic unchanged over any store. Abstract so that a native
// registry could stand behind it; the real implementation here is a hive file.
// Names and text data are narrow text in the system's code page (UTF-8 on Linux).

#include <cstdint>
#include <string>

namespace harvelo {

using HKEY = std::uintptr_t;
using REGSAM = std::uint32_t;
using LSTATUS = std::int32_t;

inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;

inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;

inline constexpr LSTATUS ERROR_SUCCESS = 0;
inline constexpr LSTATUS ERROR_FILE_NOT_FOUND = 2;
inline constexpr LSTATUS ERROR_ACCESS_DENIED = 5;
inline constexpr LSTATUS ERROR_INVALID_HANDLE = 6;
inline constexpr LSTATUS ERROR_INVALID_PARAMETER = 87;
inline constexpr LSTATUS ERROR_MORE_DATA = 234;

inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;
inline constexpr std::uint32_t REG_QWORD = 11;

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;

  // Opens `sub_key` below `root` (a predefined root or an open key).
  virtual LSTATUS RegOpenKeyExA(HKEY root, const std::string& sub_key, REGSAM access,
                                HKEY* result) = 0;
  // Reads a value. `type` may be null. With `data` null, only the size is reported. When
  // `*size` is too small for the data, answers ERROR_MORE_DATA and sets `*size` to the
  // size needed. Sizes are in bytes; REG_SZ data includes its terminating NUL.
  virtual LSTATUS RegQueryValueExA(HKEY key, const std::string& value_name, std::uint32_t* type,
                                   std::uint8_t* data, std::uint32_t* size) = 0;
  // Stores a value in an open key. For REG_SZ and REG_EXPAND_SZ a terminating NUL is
  // appended when `data` does not end in one.
  virtual LSTATUS RegSetValueExA(HKEY key, const std::string& value_name, std::uint32_t type,
                                 const std::uint8_t* data, std::uint32_t size) = 0;
  // Creates `sub_key` below `root` (one level or several) or opens it when it exists.
  virtual LSTATUS RegCreateKeyExA(HKEY root, const std::string& sub_key, HKEY* result) = 0;
  virtual LSTATUS RegCloseKey(HKEY key) = 0;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_REGISTRY_API_H_
