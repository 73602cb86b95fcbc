// The SQLite functions the registry uses, for a library that should not load
// SQLite before it reads a registry value: each forwards to the shared SQLite,
// loaded on the first call. A process that has SQLite loaded already gets that
// same copy, so two copies never hold locks on one database file. Without
// SQLite every call fails as a missing database would.
#include "platform/registry/SqliteOnDemand.h"

#include <dlfcn.h>
#include <sqlite3.h>

namespace {

#define NATALO_SQLITE_FUNCTIONS(X)                                                                        \
  X(open_v2) X(close) X(busy_timeout) X(exec) X(prepare_v2) X(prepare_v3) X(step) X(reset) X(finalize)   \
  X(clear_bindings) X(bind_int64) X(bind_text64) X(bind_blob64) X(bind_zeroblob) X(column_int)            \
  X(column_int64) X(column_text) X(column_blob) X(column_bytes) X(changes)

struct Sqlite {
#define NATALO_SQLITE_POINTER(name) decltype(&::sqlite3_##name) name = nullptr;
  NATALO_SQLITE_FUNCTIONS(NATALO_SQLITE_POINTER)
#undef NATALO_SQLITE_POINTER
};

const Sqlite* Loaded() {
  static const Sqlite* const loaded = []() -> const Sqlite* {
    void* library = dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return nullptr;
    static Sqlite functions;
    bool all = true;
#define NATALO_SQLITE_LOOKUP(name)                                                                       \
  functions.name = reinterpret_cast<decltype(functions.name)>(dlsym(library, "sqlite3_" #name));        \
  all = all && functions.name != nullptr;
    NATALO_SQLITE_FUNCTIONS(NATALO_SQLITE_LOOKUP)
#undef NATALO_SQLITE_LOOKUP
    return all ? &functions : nullptr;
  }();
  return loaded;
}

template <auto Function, typename Result, typename... Args>
Result Call(Result missing, Args... args) {
  const Sqlite* sqlite = Loaded();
  return sqlite != nullptr ? (sqlite->*Function)(args...) : missing;
}

}  // namespace

bool LoadSqliteOnDemand() { return Loaded() != nullptr; }

extern "C" {

int sqlite3_open_v2(const char* file, sqlite3** db, int flags, const char* vfs) {
  if (Loaded() == nullptr) {
    *db = nullptr;
    return SQLITE_CANTOPEN;
  }
  return Loaded()->open_v2(file, db, flags, vfs);
}
int sqlite3_close(sqlite3* db) { return Call<&Sqlite::close>(SQLITE_OK, db); }
int sqlite3_busy_timeout(sqlite3* db, int ms) { return Call<&Sqlite::busy_timeout>(SQLITE_MISUSE, db, ms); }
int sqlite3_exec(sqlite3* db, const char* sql, int (*callback)(void*, int, char**, char**), void* arg,
                 char** error) {
  return Call<&Sqlite::exec>(SQLITE_MISUSE, db, sql, callback, arg, error);
}
int sqlite3_prepare_v2(sqlite3* db, const char* sql, int bytes, sqlite3_stmt** stmt, const char** tail) {
  return Call<&Sqlite::prepare_v2>(SQLITE_MISUSE, db, sql, bytes, stmt, tail);
}
int sqlite3_prepare_v3(sqlite3* db, const char* sql, int bytes, unsigned int flags, sqlite3_stmt** stmt,
                       const char** tail) {
  return Call<&Sqlite::prepare_v3>(SQLITE_MISUSE, db, sql, bytes, flags, stmt, tail);
}
int sqlite3_step(sqlite3_stmt* stmt) { return Call<&Sqlite::step>(SQLITE_MISUSE, stmt); }
int sqlite3_reset(sqlite3_stmt* stmt) { return Call<&Sqlite::reset>(SQLITE_OK, stmt); }
int sqlite3_finalize(sqlite3_stmt* stmt) { return Call<&Sqlite::finalize>(SQLITE_OK, stmt); }
int sqlite3_clear_bindings(sqlite3_stmt* stmt) { return Call<&Sqlite::clear_bindings>(SQLITE_OK, stmt); }
int sqlite3_bind_int64(sqlite3_stmt* stmt, int index, sqlite3_int64 value) {
  return Call<&Sqlite::bind_int64>(SQLITE_MISUSE, stmt, index, value);
}
int sqlite3_bind_text64(sqlite3_stmt* stmt, int index, const char* text, sqlite3_uint64 bytes, void (*destroy)(void*),
                        unsigned char encoding) {
  return Call<&Sqlite::bind_text64>(SQLITE_MISUSE, stmt, index, text, bytes, destroy, encoding);
}
int sqlite3_bind_blob64(sqlite3_stmt* stmt, int index, const void* data, sqlite3_uint64 bytes,
                        void (*destroy)(void*)) {
  return Call<&Sqlite::bind_blob64>(SQLITE_MISUSE, stmt, index, data, bytes, destroy);
}
int sqlite3_bind_zeroblob(sqlite3_stmt* stmt, int index, int bytes) {
  return Call<&Sqlite::bind_zeroblob>(SQLITE_MISUSE, stmt, index, bytes);
}
int sqlite3_column_int(sqlite3_stmt* stmt, int column) { return Call<&Sqlite::column_int>(0, stmt, column); }
sqlite3_int64 sqlite3_column_int64(sqlite3_stmt* stmt, int column) {
  return Call<&Sqlite::column_int64>(sqlite3_int64{0}, stmt, column);
}
const unsigned char* sqlite3_column_text(sqlite3_stmt* stmt, int column) {
  return Call<&Sqlite::column_text>(static_cast<const unsigned char*>(nullptr), stmt, column);
}
const void* sqlite3_column_blob(sqlite3_stmt* stmt, int column) {
  return Call<&Sqlite::column_blob>(static_cast<const void*>(nullptr), stmt, column);
}
int sqlite3_column_bytes(sqlite3_stmt* stmt, int column) { return Call<&Sqlite::column_bytes>(0, stmt, column); }
int sqlite3_changes(sqlite3* db) { return Call<&Sqlite::changes>(0, db); }

}  // extern "C"
