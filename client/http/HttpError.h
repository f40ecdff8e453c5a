#pragma once

#include <stdexcept>

// Every failure of the HTTP layer: connection, TLS, time-out, a status outside 2xx, a file that cannot be
// read, an encoding that cannot be made. Callers report the script's failure message for it.
struct HttpError : std::runtime_error {
  using runtime_error::runtime_error;
};

// A reply longer than its request allows, announced so or found while it arrives; nothing of it is kept.
struct ReplyTooLarge : HttpError {
  using HttpError::HttpError;
};
