#ifndef HARVELO_COMPANIONS_INSPECT_JSON_WRITER_H_
#define HARVELO_COMPANIONS_INSPECT_JSON_WRITER_H_

// JSON written straight to a stream, so that the answer for a large page is never held in
// memory twice. The caller writes well-formed structure; the writer places the commas and
// escapes the strings (UTF-8 out).

#include <cstdint>
#include <ostream>
#include <vector>

#include "text/text.h"

namespace harvelo {

class JsonWriter {
 public:
  // `out` must remain live while this object is.
  explicit JsonWriter(std::ostream& out) : out_(out) {}

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // The name of the next member of an object.
  void Key(TextView name);
  void String(TextView text);
  void Number(std::int64_t number);
  void Bool(bool value);

 private:
  void Separate();
  void Open(char bracket);
  void Close(char bracket);
  void Quoted(TextView text);

  std::ostream& out_;
  // One entry per open object or array: whether it has a member yet.
  std::vector<bool> filled_;
  bool after_key_ = false;
};

}  // namespace harvelo

#endif  // HARVELO_COMPANIONS_INSPECT_JSON_WRITER_H_
