include(${CMAKE_CURRENT_LIST_DIR}/headeronly.cmake)
dropcalc_header_only_target(nlohmann_json::nlohmann_json nlohmann/json.hpp)
set(nlohmann_json_VERSION 3.11.2)
set(nlohmann_json_FOUND TRUE)
