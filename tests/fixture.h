#pragma once
// Shared test fixtures: temporary databases made by the same code as bsc-db.
