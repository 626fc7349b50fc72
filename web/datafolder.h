#pragma once

#include "data/filesource.h"

#include <memory>
#include <string>

namespace qdc::web {

// Makes `files` the data folder `name`, in place of one loaded before under
// that name, and the folder that --data means when it is not given.
void setDataFolder(const std::string& name, std::shared_ptr<MemoryFileSource> files);

} // namespace qdc::web
