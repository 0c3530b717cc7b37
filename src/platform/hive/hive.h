#ifndef HARVELO_PLATFORM_HIVE_HIVE_H_
#define HARVELO_PLATFORM_HIVE_HIVE_H_

// A registry hive held in memory, and its text form: the registry export syntax
// ("Windows Registry Editor Version 5.00", [KEY] sections, typed "name"=value lines), so
// that a person can read and edit the file that holds it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harvelo {

struct HiveValue {
  std::string name;  // the empty name is the key's default value, written "@"
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

struct HiveKey {
  std::string path;  // the full path, root included: "HKEY_CURRENT_USER\SOFTWARE\Quorvex"
  std::vector<HiveValue> values;

  // Names compare without regard to the letter case of A to Z, as in the registry.
  HiveValue* FindValue(std::string_view name);
  // Replaces the value of that name, or adds it; a replaced value keeps its first spelling.
  void SetValue(std::string_view name, std::uint32_t type, std::vector<std::uint8_t> data);
};

class Hive {
 public:
  // The text form, or nothing when the text is damaged in any way (bad syntax, a missing
  // header, invalid UTF-8, NUL bytes, a cut-off line).
  static std::optional<Hive> Parse(std::string_view text);
  std::string Serialize() const;

  // Paths compare without regard to the letter case of A to Z.
  HiveKey* FindKey(std::string_view path);
  // Finds or creates the key and every missing level above it.
  HiveKey& CreateKey(std::string_view path);

  const std::vector<HiveKey>& keys() const { return keys_; }

 private:
  std::vector<HiveKey> keys_;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_HIVE_HIVE_H_
