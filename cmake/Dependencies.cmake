# Every external package comes from the system. A missing one stops the
# configuration with the name of the Debian package that provides it.
function(harbolt_require found what package)
  if(NOT ${found})
    message(FATAL_ERROR
      "${what} was not found. Install it with: apt-get install ${package}\n"
      "(or run .ci/run, which installs everything the project needs)")
  endif()
endfunction()

find_package(SQLite3)
harbolt_require(SQLite3_FOUND "SQLite 3 (headers and library)" libsqlite3-dev)

find_package(LibXml2)
harbolt_require(LibXml2_FOUND "libxml2 (headers and library)" libxml2-dev)

find_package(Threads REQUIRED)

if(HARBOLT_TESTS)
  find_package(GTest)
  harbolt_require(GTest_FOUND "GoogleTest" libgtest-dev)
endif()

# Model files of the simulated host (sim/ and tools/ only).
find_package(nlohmann_json 3 QUIET)
harbolt_require(nlohmann_json_FOUND "nlohmann/json 3" nlohmann-json3-dev)
