# SQLite and libxml2 for the Windows module: static libraries built for the
# target by scripts/windows-deps.sh into HARBOLT_WINDOWS_DEPS, linked into the
# module so that it imports nothing but system DLLs.
set(HARBOLT_WINDOWS_DEPS "${CMAKE_BINARY_DIR}/third-party/prefix" CACHE PATH
    "Prefix holding SQLite and libxml2 built for Windows (scripts/windows-deps.sh)")

find_path(HARBOLT_SQLITE_INCLUDE sqlite3.h PATHS "${HARBOLT_WINDOWS_DEPS}/include"
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_library(HARBOLT_SQLITE_LIBRARY NAMES libsqlite3.a PATHS "${HARBOLT_WINDOWS_DEPS}/lib"
             NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_path(HARBOLT_LIBXML2_INCLUDE libxml/parser.h PATHS "${HARBOLT_WINDOWS_DEPS}/include/libxml2"
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_library(HARBOLT_LIBXML2_LIBRARY NAMES libxml2.a PATHS "${HARBOLT_WINDOWS_DEPS}/lib"
             NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT HARBOLT_SQLITE_INCLUDE OR NOT HARBOLT_SQLITE_LIBRARY OR NOT HARBOLT_LIBXML2_INCLUDE
   OR NOT HARBOLT_LIBXML2_LIBRARY)
  message(FATAL_ERROR
    "SQLite and libxml2 for Windows were not found in ${HARBOLT_WINDOWS_DEPS}.\n"
    "Build them with: scripts/windows-deps.sh ${HARBOLT_WINDOWS_DEPS}\n"
    "(scripts/windows-build.sh does everything)")
endif()

add_library(SQLite::SQLite3 STATIC IMPORTED)
set_target_properties(SQLite::SQLite3 PROPERTIES
  IMPORTED_LOCATION "${HARBOLT_SQLITE_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${HARBOLT_SQLITE_INCLUDE}")

add_library(LibXml2::LibXml2 STATIC IMPORTED)
set_target_properties(LibXml2::LibXml2 PROPERTIES
  IMPORTED_LOCATION "${HARBOLT_LIBXML2_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${HARBOLT_LIBXML2_INCLUDE}"
  INTERFACE_COMPILE_DEFINITIONS LIBXML_STATIC
  INTERFACE_LINK_LIBRARIES "ws2_32;bcrypt")

# nlohmann/json (header-only) for the simulated host that the Wine tests
# load the module into: the system's headers, copied into the prefix.
find_path(HARBOLT_JSON_INCLUDE nlohmann/json.hpp PATHS "${HARBOLT_WINDOWS_DEPS}/include"
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT HARBOLT_JSON_INCLUDE)
  message(FATAL_ERROR "nlohmann/json was not found in ${HARBOLT_WINDOWS_DEPS}/include.\n"
                      "Copy it with: scripts/windows-deps.sh ${HARBOLT_WINDOWS_DEPS}")
endif()
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${HARBOLT_JSON_INCLUDE}")

find_package(Threads REQUIRED)
