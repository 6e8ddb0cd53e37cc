#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace tolven {

// Where in a JSON answer decoding stands: object keys and list indices.
using CodingPath = std::vector<std::string>;

// Why a JSON value does not make a record. what() is the description alone.
class DecodingError : public std::runtime_error {
public:
    enum class Kind { typeMismatch, keyNotFound, valueNotFound };

    DecodingError(Kind kind, CodingPath codingPath, std::string description)
        : std::runtime_error(description)
        , kind(kind)
        , codingPath(std::move(codingPath))
    {
    }

    Kind kind;
    CodingPath codingPath;
};

inline CodingPath appending(CodingPath path, std::string component)
{
    path.push_back(std::move(component));
    return path;
}

} // namespace tolven
