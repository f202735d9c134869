// EPictureError: raised when picture bytes cannot be turned into an image.
#pragma once

#include <stdexcept>
#include <string>

class EPictureError : public std::runtime_error {
public:
    explicit EPictureError(const std::string& message)
        : std::runtime_error(message)
    { }
};
