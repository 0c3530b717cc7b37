#include "settings/registry.h"

#include <algorithm>
#include <string>

namespace harvelo {

namespace {

constexpr std::uint32_t kFirstQuerySize = 1024;

Text NarrowBytesToText(const std::uint8_t* data, std::size_t size) {
  return FromUtf8(std::string(reinterpret_cast<const char*>(data), size));
}

}  // namespace

RegValue Registry::GetRegValue(HKEY root, const Text& key, const Text& value_name,
                               const RegValue& default_value) {
  RegValue result = default_value;
  HKEY handle = 0;
  if (api_.RegOpenKeyExA(root, ToUtf8(key), KEY_READ, &handle) != ERROR_SUCCESS) {
    return result;
  }
  const std::string name = ToUtf8(value_name);
  std::vector<std::uint8_t> data(kFirstQuerySize);
  std::uint32_t type = REG_NONE;
  std::uint32_t size = kFirstQuerySize;
  LSTATUS status = api_.RegQueryValueExA(handle, name, &type, data.data(), &size);
  if (status == ERROR_MORE_DATA) {
    data.resize(size);
    status = api_.RegQueryValueExA(handle, name, &type, data.data(), &size);
  }
  if (status == ERROR_SUCCESS) {
    switch (type) {
      case REG_SZ:
      case REG_EXPAND_SZ:
        result = size == 0 ? Text() : NarrowBytesToText(data.data(), size - 1);
        break;
      case REG_MULTI_SZ:
        // The list's strings stay separated by NULs; only the closing pair is dropped.
        result = size < 2 ? Text() : NarrowBytesToText(data.data(), size - 2);
        break;
      case REG_DWORD:
        // The bytes stored, little-endian, in a number that starts as zero: fewer than four
        // bytes fill its low end. No bytes hold no number, and read as missing.
        if (size != 0) {
          std::uint32_t number = 0;
          for (std::uint32_t i = 0; i < std::min<std::uint32_t>(size, 4); ++i) {
            number |= static_cast<std::uint32_t>(data[i]) << (8 * i);
          }
          result = number;
        }
        break;
      case REG_BINARY:
        result = std::vector<std::uint8_t>(data.begin(), data.begin() + size);
        break;
      default:
        break;
    }
  }
  api_.RegCloseKey(handle);
  return result;
}

Text Registry::ReadSetting(const Text& key, const Text& value_name) {
  const RegValue value = GetRegValue(HKEY_CURRENT_USER, key, value_name);
  if (const Text* text = std::get_if<Text>(&value)) return *text;
  if (const std::uint32_t* number = std::get_if<std::uint32_t>(&value)) {
    return DecimalText(*number);
  }
  if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value)) {
    return NarrowBytesToText(bytes->data(), bytes->size());
  }
  return Text();
}

bool Registry::SetRegValue(HKEY root, const Text& key, const Text& value_name, const Text& value) {
  HKEY handle = 0;
  if (api_.RegOpenKeyExA(root, ToUtf8(key), KEY_WRITE, &handle) != ERROR_SUCCESS) {
    return false;
  }
  // The size is the text's length in the narrow encoding; the store adds the terminator.
  const std::string narrow = ToUtf8(value);
  const LSTATUS status = api_.RegSetValueExA(handle, ToUtf8(value_name), REG_SZ,
                                             reinterpret_cast<const std::uint8_t*>(narrow.data()),
                                             static_cast<std::uint32_t>(narrow.size()));
  api_.RegCloseKey(handle);
  return status == ERROR_SUCCESS;
}

void Registry::WriteSetting(const Text& key, const Text& value_name, const Text& value) {
  if (!KeyExists(key)) CreateKeyPath(key);
  SetRegValue(HKEY_CURRENT_USER, key, value_name, value);
}

bool Registry::KeyExists(const Text& key) {
  HKEY handle = 0;
  if (api_.RegOpenKeyExA(HKEY_CURRENT_USER, ToUtf8(key), KEY_READ, &handle) != ERROR_SUCCESS) {
    return false;
  }
  api_.RegCloseKey(handle);
  return true;
}

void Registry::CreateKey(HKEY root, const Text& key) {
  HKEY handle = 0;
  if (api_.RegCreateKeyExA(root, ToUtf8(key), &handle) == ERROR_SUCCESS) {
    api_.RegCloseKey(handle);
  }
}

void Registry::CreateKeyPath(const Text& key) {
  Text remaining = key;
  Text built;
  while (!remaining.empty()) {
    const std::size_t slash = Find(remaining, u"\\");
    if (slash != 0) {
      built += u'\\' + Left(remaining, slash - 1);
      remaining = Mid(remaining, slash + 1);
    } else {
      built += u'\\' + remaining;
      remaining.clear();
    }
    if (StartsWith(built, u"\\")) built = Mid(built, 2);
    if (!KeyExists(built)) CreateKey(HKEY_CURRENT_USER, built);
  }
}

}  // namespace harvelo
