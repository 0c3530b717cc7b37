#ifndef HARVELO_PLATFORM_LINUX_HIVE_HIVE_H_
#define HARVELO_PLATFORM_LINUX_HIVE_HIVE_H_

// A registry hive held in memory, and its text form: the registry export syntax
// ("Windows Registry Editor Version 5.00", [KEY] sections, typed "name"=value lines), so
// that a person can read and edit the file that holds it, and a file saved by the registry
// editor reads as the registry holds it.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace harvelo {

struct HiveValue {
  std::string name;  // the empty name is the key's default value, written "@"
  std::uint32_t type = 0;
  // The bytes as the narrow-character registry functions hand them over: text values
  // (types 1, 2 and 7) in UTF-8 with their terminating NULs. The 5.00 text form writes
  // their hex lists in UTF-16LE, as the registry holds them.
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
  // The text form, read as the registry editor imports it: UTF-8, or UTF-16LE behind its
  // byte-order mark; first the header "Windows Registry Editor Version 5.00" or "REGEDIT4"
  // (whose hex lists of text are single bytes); blank lines, ";" comment lines and blanks
  // around a line allowed; hex lists continued over lines by a trailing backslash. Each
  // value stands alone: a line that cannot be read (bad syntax, invalid UTF-8, a NUL, a
  // cut-off continuation, a value under no readable key) is skipped and counted in
  // `*unreadable_lines` when that is given. A text whose first line is no header is no
  // registry file: nothing of it is read, and each of its other lines counts.
  static Hive Parse(std::string_view bytes, std::size_t* unreadable_lines = nullptr);
  // The 5.00 text form in UTF-8.
  std::string Serialize() const;

  // Paths compare without regard to the letter case of A to Z.
  HiveKey* FindKey(std::string_view path);
  // Finds or creates the key and every missing level above it.
  HiveKey& CreateKey(std::string_view path);

  const std::vector<HiveKey>& keys() const { return keys_; }

 private:
  std::vector<HiveKey> keys_;  // in the order of their creation, every level before its keys
  // Each key's place in keys_, under its path with A to Z in lower case: a file of keys
  // thousands of levels deep reads in the time of its size, not of a power of it.
  std::unordered_map<std::string, std::size_t> places_;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_HIVE_HIVE_H_
