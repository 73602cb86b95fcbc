#include "platform/registry/RegistryConnection.h"

#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryLocation.h"

namespace platform {
namespace {

constexpr int kSchemaVersion = 1;

// Keys are stored with all their ancestors (the roots themselves are implicit),
// by folded full path; values by folded key path and folded name. `changes`
// counts the writes and deletes of every value for RegistryWatch.
constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS keys("
    " root INTEGER NOT NULL, path TEXT NOT NULL, parent TEXT NOT NULL, name TEXT NOT NULL,"
    " PRIMARY KEY(root, path)) WITHOUT ROWID;"
    "CREATE INDEX IF NOT EXISTS keys_parent ON keys(root, parent);"
    "CREATE TABLE IF NOT EXISTS vals("
    " root INTEGER NOT NULL, key TEXT NOT NULL, fold TEXT NOT NULL, name TEXT NOT NULL,"
    " type INTEGER NOT NULL, data BLOB NOT NULL,"
    " PRIMARY KEY(root, key, fold)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS changes("
    " root INTEGER NOT NULL, key TEXT NOT NULL, fold TEXT NOT NULL, seq INTEGER NOT NULL,"
    " PRIMARY KEY(root, key, fold)) WITHOUT ROWID;"
    "PRAGMA user_version = 1;";

constexpr std::array<const char*, static_cast<size_t>(RegistrySql::Count)> kSql = {
    "SELECT type, data FROM vals WHERE root = ?1 AND key = ?2 AND fold = ?3",
    "INSERT OR IGNORE INTO keys(root, path, parent, name) VALUES(?1, ?2, ?3, ?4)",
    "INSERT INTO vals(root, key, fold, name, type, data) VALUES(?1, ?2, ?3, ?4, ?5, ?6)"
    " ON CONFLICT(root, key, fold) DO UPDATE SET type = excluded.type, data = excluded.data",
    "DELETE FROM vals WHERE root = ?1 AND key = ?2 AND fold = ?3",
    "INSERT INTO changes(root, key, fold, seq) VALUES(?1, ?2, ?3, 1)"
    " ON CONFLICT(root, key, fold) DO UPDATE SET seq = seq + 1",
    "SELECT seq FROM changes WHERE root = ?1 AND key = ?2 AND fold = ?3",
    "SELECT 1 FROM keys WHERE root = ?1 AND path = ?2",
    "SELECT name FROM keys WHERE root = ?1 AND parent = ?2 ORDER BY path",
    "SELECT name FROM vals WHERE root = ?1 AND key = ?2 ORDER BY fold",
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
};

// The calling thread's connection and the file it belongs to. A child made by
// fork() must not use or close its parent's connection (closing could remove
// the parent's WAL files), so it abandons it.
struct ThreadConnection {
  std::unique_ptr<RegistryConnection> connection;
  std::string path;
  dev_t device = 0;
  ino_t inode = 0;
  pid_t owner = 0;

  void Drop() {
    if (owner != getpid()) {
      static_cast<void>(connection.release());
    }
    connection.reset();
  }
  ~ThreadConnection() { Drop(); }
};

// The connection of each thread is reached through a trivially destructible
// thread_local pointer and freed by a pthread key destructor when the thread
// ends. A thread_local object with a destructor would pin a shared library that
// holds this code in memory for as long as any thread that used it lives (dlclose
// would never unload it), and registering that destructor takes the loader lock,
// which deadlocks a library whose unload waits for its own thread.
thread_local ThreadConnection* t_cached = nullptr;

class ThreadConnectionKey {
 public:
  ThreadConnectionKey() : m_ok(pthread_key_create(&m_key, &Destroy) == 0) {}
  // Runs when the code is unloaded or the process ends: the current thread's
  // connection is closed; those of other live threads are left open.
  ~ThreadConnectionKey() {
    if (!m_ok) return;
    Destroy(pthread_getspecific(m_key));
    pthread_key_delete(m_key);
  }
  ThreadConnectionKey(const ThreadConnectionKey&) = delete;
  ThreadConnectionKey& operator=(const ThreadConnectionKey&) = delete;
  // Without a key the connection is kept until the process ends.
  void Attach(ThreadConnection* connection) {
    if (m_ok) pthread_setspecific(m_key, connection);
  }

 private:
  // Runs on the thread that owns the connection.
  static void Destroy(void* connection) {
    delete static_cast<ThreadConnection*>(connection);
    t_cached = nullptr;
  }
  pthread_key_t m_key{};
  bool m_ok;
};

ThreadConnectionKey g_connectionKey;

ThreadConnection& CachedConnection() {
  if (t_cached == nullptr) {
    t_cached = new ThreadConnection;
    g_connectionKey.Attach(t_cached);
  }
  return *t_cached;
}

}  // namespace

std::unique_ptr<RegistryConnection> RegistryConnection::Open(const std::string& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  std::unique_ptr<RegistryConnection> connection(new RegistryConnection(db));
  sqlite3_busy_timeout(db, kRegistryBusyTimeoutMs);
  // The first statement reads the file: a file that is no database fails here.
  // A read-only file cannot switch to WAL; it is still readable.
  if (!connection->ExecWaiting("PRAGMA journal_mode = WAL") ||
      !connection->Exec("PRAGMA synchronous = NORMAL")) {
    return nullptr;
  }
  return connection;
}

bool RegistryConnection::Create(const std::string& path) {
  if (!CreateParentFolders(path)) return false;
  const std::string temporary = path + ".new-" + std::to_string(getpid()) + "-" + std::to_string(gettid());
  bool made = false;
  if (CreatePrivateFile(temporary)) {
    {
      std::unique_ptr<RegistryConnection> connection = Open(temporary);
      made = connection && connection->EnsureSchema(true);
    }
    // Closing the only connection folded the WAL into the file; the file stays
    // in WAL mode. The move fails when another process was faster.
    made = made && renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0;
    unlink(temporary.c_str());
  }
  struct stat info {};
  return made || stat(path.c_str(), &info) == 0;
}

RegistryConnection::~RegistryConnection() {
  for (sqlite3_stmt* stmt : m_statements) sqlite3_finalize(stmt);
  sqlite3_close(m_db);
}

bool RegistryConnection::Exec(const char* sql) {
  return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool RegistryConnection::ExecWaiting(const char* sql) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRegistryBusyTimeoutMs);
  while (true) {
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) return true;
    const int primary = rc & 0xFF;
    if ((primary != SQLITE_BUSY && primary != SQLITE_LOCKED) ||
        std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

bool RegistryConnection::EnsureSchema(bool create) {
  if (m_schema) return true;
  {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, "PRAGMA user_version", -1, &stmt, nullptr) != SQLITE_OK) {
      sqlite3_finalize(stmt);
      return false;
    }
    const int rc = sqlite3_step(stmt);
    m_schema = rc == SQLITE_ROW && sqlite3_column_int(stmt, 0) >= kSchemaVersion;
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW) {
      SetBroken();
      return false;
    }
  }
  if (m_schema || !create) return m_schema;
  // Another process may be creating the tables at this moment: the write lock
  // makes one of them wait, and IF NOT EXISTS makes the second creation a no-op.
  if (!Exec("BEGIN IMMEDIATE")) return false;
  if (!Exec(kSchema) || !Exec("COMMIT")) {
    Exec("ROLLBACK");
    return false;
  }
  m_schema = true;
  return true;
}

sqlite3_stmt* RegistryConnection::Statement(RegistrySql which) {
  sqlite3_stmt*& stmt = m_statements[static_cast<size_t>(which)];
  if (stmt == nullptr && sqlite3_prepare_v3(m_db, kSql[static_cast<size_t>(which)], -1,
                                            SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt);
    stmt = nullptr;
  }
  return stmt;
}

RegistryConnection* AcquireRegistryConnection(RegistryAccess access) {
  ThreadConnection& cached = CachedConnection();
  const std::string path = GetRegistryFile();
  if (path.empty()) return nullptr;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    cached.Drop();
    if (access == RegistryAccess::Read || !RegistryConnection::Create(path) ||
        stat(path.c_str(), &info) != 0) {
      return nullptr;
    }
  }
  const bool reusable = cached.connection && !cached.connection->Broken() && cached.owner == getpid() &&
                        cached.path == path && cached.device == info.st_dev && cached.inode == info.st_ino;
  if (!reusable) {
    cached.Drop();
    cached.connection = RegistryConnection::Open(path);
    if (!cached.connection) return nullptr;
    cached.path = path;
    cached.device = info.st_dev;
    cached.inode = info.st_ino;
    cached.owner = getpid();
  }
  if (!cached.connection->EnsureSchema(access == RegistryAccess::Write)) {
    // A database without tables yet is fine for a reader, who finds nothing;
    // after any other failure the connection is not kept.
    if (access == RegistryAccess::Write || cached.connection->Broken()) cached.Drop();
    return nullptr;
  }
  return cached.connection.get();
}

RegistryStatement::RegistryStatement(RegistryConnection& connection, RegistrySql which)
    : m_connection(connection), m_stmt(connection.Statement(which)) {
  if (m_stmt == nullptr) m_connection.SetBroken();
}

RegistryStatement::~RegistryStatement() {
  if (m_stmt != nullptr) {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
  }
}

RegistryStatement& RegistryStatement::Bind(int index, std::int64_t value) {
  if (m_stmt != nullptr && sqlite3_bind_int64(m_stmt, index, value) != SQLITE_OK) m_bindFailed = true;
  return *this;
}

RegistryStatement& RegistryStatement::Bind(int index, std::string_view text) {
  // A zero-length text needs a non-null pointer, or SQLite binds NULL.
  if (m_stmt != nullptr && sqlite3_bind_text64(m_stmt, index, text.empty() ? "" : text.data(), text.size(),
                                               SQLITE_TRANSIENT, SQLITE_UTF8) != SQLITE_OK) {
    m_bindFailed = true;
  }
  return *this;
}

RegistryStatement& RegistryStatement::BindBlob(int index, const std::vector<std::uint8_t>& data) {
  if (m_stmt == nullptr) return *this;
  // As with text, an empty blob must not be bound as NULL.
  const int rc = data.empty()
                     ? sqlite3_bind_zeroblob(m_stmt, index, 0)
                     : sqlite3_bind_blob64(m_stmt, index, data.data(), data.size(), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) m_bindFailed = true;
  return *this;
}

int RegistryStatement::Step() {
  if (m_stmt == nullptr || m_bindFailed) return SQLITE_MISUSE;
  const int rc = sqlite3_step(m_stmt);
  // Waiting out the busy timeout is no fault of the connection; anything else
  // (I/O error, damaged file) is, and the next call opens the file anew.
  if (rc != SQLITE_ROW && rc != SQLITE_DONE && (rc & 0xFF) != SQLITE_BUSY) m_connection.SetBroken();
  return rc;
}

std::int64_t RegistryStatement::Int(int column) const {
  return sqlite3_column_int64(m_stmt, column);
}

std::string RegistryStatement::Text(int column) const {
  const unsigned char* text = sqlite3_column_text(m_stmt, column);
  const int size = sqlite3_column_bytes(m_stmt, column);
  if (text == nullptr || size <= 0) return {};
  return std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(size));
}

std::vector<std::uint8_t> RegistryStatement::Blob(int column) const {
  const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(m_stmt, column));
  const int size = sqlite3_column_bytes(m_stmt, column);
  if (data == nullptr || size <= 0) return {};
  return std::vector<std::uint8_t>(data, data + size);
}

RegistryWriteTransaction::RegistryWriteTransaction(RegistryConnection& connection)
    : m_connection(connection) {
  RegistryStatement begin(m_connection, RegistrySql::Begin);
  m_open = begin && begin.Step() == SQLITE_DONE;
}

RegistryWriteTransaction::~RegistryWriteTransaction() {
  if (!m_open) return;
  RegistryStatement rollback(m_connection, RegistrySql::Rollback);
  if (!rollback || rollback.Step() != SQLITE_DONE) m_connection.SetBroken();
}

bool RegistryWriteTransaction::Commit() {
  if (!m_open) return false;
  RegistryStatement commit(m_connection, RegistrySql::Commit);
  if (!commit || commit.Step() != SQLITE_DONE) return false;
  m_open = false;
  return true;
}

}  // namespace platform
