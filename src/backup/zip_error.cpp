#include "backup/zip_error.h"

#include <utility>

namespace gm::backup {

ZipError::ZipError(std::int32_t number, std::string source, std::string description)
    : std::runtime_error(description), number_(number), source_(std::move(source)),
      description_(std::move(description))
{
}

ZipError ZipError::withSource(std::string source) const
{
    return ZipError(number_, std::move(source), description_);
}

}  // namespace gm::backup
