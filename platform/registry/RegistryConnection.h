#pragma once
// One SQLite connection to the registry database, with its prepared statements.
//
// Each thread keeps one connection (AcquireRegistryConnection) and reuses it
// while the database path and file stay the same; a connection that met an
// error is dropped and the next call opens the file anew. WAL mode lets readers
// go on while one writer writes; writers take the write lock at the start of
// their transaction (BEGIN IMMEDIATE) and wait for it up to the busy timeout.
#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr int kRegistryBusyTimeoutMs = 5000;

enum class RegistrySql {
  SelectValue,
  InsertKey,
  UpsertValue,
  DeleteValue,
  BumpChange,
  SelectChange,
  KeyExists,
  ListSubKeys,
  ListValues,
  Begin,
  Commit,
  Rollback,
  Count
};

class RegistryConnection {
 public:
  // Opens an existing database file; nullptr when it cannot be opened or is not
  // a database.
  static std::unique_ptr<RegistryConnection> Open(const std::string& path);
  // Makes a new database at `path`, already in WAL mode and with its tables,
  // and moves it into place in one step, so that no other process ever sees a
  // half-made file. True when the file exists afterwards (made by this call or
  // by another process that was faster).
  static bool Create(const std::string& path);
  ~RegistryConnection();
  RegistryConnection(const RegistryConnection&) = delete;
  RegistryConnection& operator=(const RegistryConnection&) = delete;

  // True when the tables exist; `create` makes them when they are missing.
  bool EnsureSchema(bool create);

  // The statement, prepared once and kept; nullptr on failure.
  sqlite3_stmt* Statement(RegistrySql which);
  sqlite3* Handle() const { return m_db; }

  // Marks the connection as unusable after an error, so it is not reused.
  void SetBroken() { m_broken = true; }
  bool Broken() const { return m_broken; }

 private:
  explicit RegistryConnection(sqlite3* db) : m_db(db) {}
  bool Exec(const char* sql);
  // Exec that retries while the database is busy, for the statements that
  // SQLite does not run through the busy handler (changing the journal mode).
  bool ExecWaiting(const char* sql);

  sqlite3* m_db = nullptr;
  std::array<sqlite3_stmt*, static_cast<size_t>(RegistrySql::Count)> m_statements{};
  bool m_schema = false;
  bool m_broken = false;
};

enum class RegistryAccess { Read, Write };

// The calling thread's connection to the current registry file, opened (and for
// Write created, with its tables) when needed. nullptr when the file is missing
// (Read) or cannot be opened or created.
RegistryConnection* AcquireRegistryConnection(RegistryAccess access);

// A statement in use: bound on creation, reset when it goes out of scope.
class RegistryStatement {
 public:
  RegistryStatement(RegistryConnection& connection, RegistrySql which);
  ~RegistryStatement();
  RegistryStatement(const RegistryStatement&) = delete;
  RegistryStatement& operator=(const RegistryStatement&) = delete;

  explicit operator bool() const { return m_stmt != nullptr; }
  RegistryStatement& Bind(int index, std::int64_t value);
  RegistryStatement& Bind(int index, std::string_view text);
  RegistryStatement& BindBlob(int index, const std::vector<std::uint8_t>& data);

  // SQLITE_ROW, SQLITE_DONE or an error; an error marks the connection broken.
  int Step();
  std::int64_t Int(int column) const;
  std::string Text(int column) const;
  std::vector<std::uint8_t> Blob(int column) const;

 private:
  RegistryConnection& m_connection;
  sqlite3_stmt* m_stmt = nullptr;
  bool m_bindFailed = false;
};

// BEGIN IMMEDIATE on creation, ROLLBACK when destroyed without Commit.
class RegistryWriteTransaction {
 public:
  explicit RegistryWriteTransaction(RegistryConnection& connection);
  ~RegistryWriteTransaction();
  RegistryWriteTransaction(const RegistryWriteTransaction&) = delete;
  RegistryWriteTransaction& operator=(const RegistryWriteTransaction&) = delete;

  bool Started() const { return m_open; }
  bool Commit();

 private:
  RegistryConnection& m_connection;
  bool m_open = false;
};

}  // namespace platform
