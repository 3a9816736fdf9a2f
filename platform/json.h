// JSON documents, for the browser stores kept as JSON. The library is
// nlohmann's JSON for Modern C++ (header-only); its ordered flavour keeps the
// members of each object in the order the file had them, so that a document
// written back keeps its shape.
#pragma once

#include <nlohmann/json.hpp>

namespace json {

using Value = nlohmann::ordered_json;

}  // namespace json
