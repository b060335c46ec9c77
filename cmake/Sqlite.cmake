# SQLite as the static library qv_sqlite, compiled from the amalgamation that scripts/lib/sqlite.sh
# makes from Debian's source (scripts/setup.sh runs it) in deps/sqlite of the build root: the folder
# $QV_BUILD_DIR names, else build/ of the source tree (qv_configure in scripts/lib/arch.sh passes it).
# Only qv_platform links it, privately, so sqlite3.h is seen by the platform layer's sources and
# nowhere above.
if(DEFINED ENV{QV_BUILD_DIR} AND NOT "$ENV{QV_BUILD_DIR}" STREQUAL "")
    set(QV_SQLITE_DEFAULT_DIR $ENV{QV_BUILD_DIR}/deps/sqlite)
else()
    set(QV_SQLITE_DEFAULT_DIR ${PROJECT_SOURCE_DIR}/build/deps/sqlite)
endif()
set(QV_SQLITE_DIR ${QV_SQLITE_DEFAULT_DIR} CACHE PATH
    "The folder with SQLite's amalgamation (sqlite3.c, sqlite3.h), made by scripts/lib/sqlite.sh")
if(NOT EXISTS ${QV_SQLITE_DIR}/sqlite3.c OR NOT EXISTS ${QV_SQLITE_DIR}/sqlite3.h)
    message(FATAL_ERROR "SQLite's amalgamation is missing from ${QV_SQLITE_DIR}: run scripts/lib/sqlite.sh "
                        "(scripts/setup.sh does), then configure again.")
endif()
file(STRINGS ${QV_SQLITE_DIR}/sqlite3.h QV_SQLITE_VERSION_LINE REGEX "^#define SQLITE_VERSION +\"")
string(REGEX REPLACE ".*\"(.*)\".*" "\\1" QV_SQLITE_VERSION "${QV_SQLITE_VERSION_LINE}")
message(STATUS "SQLite ${QV_SQLITE_VERSION} from ${QV_SQLITE_DIR}")

add_library(qv_sqlite STATIC ${QV_SQLITE_DIR}/sqlite3.c)
target_include_directories(qv_sqlite INTERFACE ${QV_SQLITE_DIR})
# Not our code: none of our warning options, so -Werror cannot break the build on a line of it.
set_property(TARGET qv_sqlite PROPERTY COMPILE_OPTIONS -O2)
# Kept out of the build: loading extension DLLs (the program loads no code by name), the
# deprecated interfaces and memory statistics (a lock taken on every allocation), and
# double-quoted words read as texts where a column name is missing. Serialized threading, so any
# thread may use any connection. Its Windows layer imports only functions Windows XP has (the
# newer ones it names are for Windows Runtime builds alone), so the imports test passes unchanged.
target_compile_definitions(qv_sqlite PRIVATE SQLITE_THREADSAFE=1 SQLITE_DQS=0 SQLITE_OMIT_LOAD_EXTENSION
    SQLITE_OMIT_DEPRECATED SQLITE_DEFAULT_MEMSTATUS=0)
