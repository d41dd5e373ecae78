#pragma once

#include "core/NameRecords.h"

#include <string>

// The JSON members listing every record of a font's name tables, each starting with ", ":
// "Records" for the table in use and, in a renamed file, "SavedRecords" for the one kept for
// the restore.
std::string nameTablesJson(const FontNameTables& tables);

// The same as readable lines, one record a line.
std::string nameTablesBlock(const FontNameTables& tables);
