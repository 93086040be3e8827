#include "FileSizeLimit.h"

namespace TestSupport {

FileSizeLimit::FileSizeLimit(std::int64_t) {}

FileSizeLimit::~FileSizeLimit() = default;

}  // namespace TestSupport
