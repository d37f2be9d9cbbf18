#pragma once

// The two engines a database may be kept in.
enum class DbEngine { SQLite, PostgreSQL };
