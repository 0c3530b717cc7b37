#ifndef HARVELO_PLATFORM_FAILURE_H_
#define HARVELO_PLATFORM_FAILURE_H_

#include <exception>
#include <string>

#include "text/text.h"

namespace harvelo {

// A raised error. Its description is what the error box shows ("Error: " + description).
// Adapters turn their own errors (OS codes, protocol errors, Qt errors) into Failure in
// exactly one place each; the core catches it only where a handler is documented.
class Failure : public std::exception {
 public:
  explicit Failure(Text description)
      : description_(std::move(description)), what_(ToUtf8(description_)) {}

  const Text& description() const { return description_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  Text description_;
  std::string what_;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_FAILURE_H_
