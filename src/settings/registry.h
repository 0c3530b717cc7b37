#ifndef HARVELO_SETTINGS_REGISTRY_H_
#define HARVELO_SETTINGS_REGISTRY_H_

// The program's settings: named text values under one key of the current user's registry.
// They are read at the moment they are needed and never cached. Every failure is silent:
// an unreadable value reads as the empty text, and a write that cannot be made is dropped.

#include <cstdint>
#include <variant>
#include <vector>

#include "platform/registry_api.h"
#include "settings/setting_names.h"
#include "text/text.h"

namespace harvelo {

// A value as read from the registry: nothing (the default), text, a number or bytes.
using RegValue = std::variant<std::monostate, Text, std::uint32_t, std::vector<std::uint8_t>>;

class Registry {
 public:
  // `api` must remain live while this object is.
  explicit Registry(RegistryApi& api) : api_(api) {}

  // The value as text under HKEY_CURRENT_USER; the empty text when it is missing.
  Text ReadSetting(const Text& key, const Text& value_name);
  // Stores `value` as REG_SZ, creating every missing level of `key` first.
  void WriteSetting(const Text& key, const Text& value_name, const Text& value);

  // The value by its type, or `default_value` when it cannot be read.
  RegValue GetRegValue(HKEY root, const Text& key, const Text& value_name,
                       const RegValue& default_value = {});
  // Writes one REG_SZ value into an existing key; true when the store accepted it.
  bool SetRegValue(HKEY root, const Text& key, const Text& value_name, const Text& value);
  // True when the key under HKEY_CURRENT_USER can be opened for reading.
  bool KeyExists(const Text& key);
  // Creates or opens one key and closes it again.
  void CreateKey(HKEY root, const Text& key);
  // Creates every missing level of `key`, from the top.
  void CreateKeyPath(const Text& key);

 private:
  RegistryApi& api_;
};

}  // namespace harvelo

#endif  // HARVELO_SETTINGS_REGISTRY_H_
