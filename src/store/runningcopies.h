#pragma once

class Database;

// The running-copies counter TblConfig.Qtde. Several copies change it at the
// same moment, so each change is one statement, never read-modify-write.
namespace RunningCopies {
void raise(Database& db);   // a copy starts
void lower(Database& db);   // a copy ends; never below 0
void reset(Database& db);   // the last copy ends
}
